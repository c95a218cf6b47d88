// The lookup files the big plugin draws its ids from, and their enlarged
// form: the files of a lookup directory grown to a few thousand lines by
// entries of the generator's own ids ("lf_big_..."), each reusing the
// FormID of an existing line.
#pragma once

#include <string>
#include <vector>

namespace big {

struct LookupIds {
    std::vector<std::string> items;         // first fields of armour, clothing and weapons
    std::vector<std::string> classes;       // first fields of classes.dat
    std::vector<std::string> textureFiles;  // third fields of ltex.dat
    // First fields of objects.dat (prefixes with their "*") before its
    // sections, if it is there, without the generated lines: the forests
    // are of real trees, statics and flora.
    std::vector<std::string> objects;
};

// Rewrites the lookup files of directory with `lines` generated lines each
// (earlier generated lines are replaced, so enlarging twice is the same).
void enlargeLookupFiles(const std::string& directory, int lines);

LookupIds readLookupIds(const std::string& directory);

}  // namespace big
