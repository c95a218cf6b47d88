// The Oblivion item that takes the place of a Morrowind inventory item.
//
// The mapping lives in text files in the lookup directory, searched in the
// order armour.dat, clothing.dat, weapons.dat and misc.dat (everything
// else; it may be missing, which counts as empty). Each line is
//   morrowind id,free text,free text,FORMID
// with the Oblivion FormID as eight hexadecimal digits right after the
// third comma; anything behind them is ignored. Ids match whole, without
// regard to letter case (Morrowind's ids are case-insensitive); the first
// matching line wins.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lookup/lookup_table.h"

namespace landfer {

class ItemTable : public LookupTable {
public:
    using LookupTable::LookupTable;

    // True and the FormID when a lookup file holds itemId. Each file is read
    // once, when a lookup first needs it; one of the first three that cannot
    // be opened is fatal. Corrupt lines of the id met before its first good
    // line are reported once, at the first lookup of the id.
    bool find(std::string_view itemId, uint32_t& formId);

    static constexpr int fileCount = 4;

private:
    struct Entry {
        std::vector<std::string> corruptLines;  // without their line breaks; emptied once reported
        bool found = false;
        uint32_t formId = 0;
    };
    struct File {
        bool loaded = false;
        std::string path;
        std::unordered_map<std::string, Entry> ids;
    };
    void load(int index);

    File files_[fileCount];
    std::string key_;  // reused, so that a lookup allocates nothing
};

}  // namespace landfer
