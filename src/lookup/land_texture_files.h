// The Oblivion land texture of a Morrowind texture file, from lfdat/ltex.dat.
//
// Each line is "field1,field2,texture file,FORMID"; fields 3 and 4 end at a
// comma, a carriage return or the end of the line. Lines starting with '#'
// and empty lines are passed over; lines without three commas or an
// eight-digit FormID are reported as corrupt, once, when the file is read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "lookup/lookup_table.h"

namespace landfer {

class LandTextureFiles : public LookupTable {
public:
    using LookupTable::LookupTable;

    // The first line naming the file exactly, else the first naming it in
    // other letter case. The file is read at the first lookup; one that
    // cannot be opened is reported then, once, and no lookup finds anything.
    bool find(std::string_view textureFileName, uint32_t& formId);

private:
    void load();

    std::string path_ = path("ltex.dat");
    bool loaded_ = false;
    std::unordered_map<std::string, uint32_t> exactNames_;
    std::unordered_map<std::string, uint32_t> foldedNames_;
};

}  // namespace landfer
