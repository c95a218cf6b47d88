// The Oblivion land texture of a Morrowind texture file, from lfdat/ltex.dat.
//
// Each line is "field1,field2,texture file,FORMID"; fields 3 and 4 end at a
// comma, a carriage return or the end of the line. Lines starting with '#',
// and lines without three commas or an eight-digit FormID, are passed over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "esm/reporter.h"

namespace landfer {

class LandTextureFiles {
public:
    LandTextureFiles(std::string lookupDirectory, const Reporter& reporter)
        : path_(std::move(lookupDirectory) + "/ltex.dat"), reporter_(reporter) {}

    // The first line naming the file exactly, else the first naming it in
    // other letter case. The file is read at the first lookup; one that
    // cannot be opened is reported at every lookup, which then finds nothing.
    bool find(std::string_view textureFileName, uint32_t& formId);

private:
    std::string path_;
    const Reporter& reporter_;
    bool loaded_ = false;
    std::unordered_map<std::string, uint32_t> exactNames_;
    std::unordered_map<std::string, uint32_t> foldedNames_;
};

}  // namespace landfer
