// The Oblivion class of a Morrowind NPC, from lfdat/classes.dat.
//
// One entry per line: the Morrowind class id, a comma, the Oblivion class
// FormID as eight hexadecimal digits; the rest of the line is ignored. The
// file is read as binary, so a carriage return before the line feed is
// simply part of that ignored rest.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "lookup/lookup_table.h"

namespace landfer {

// Commoner, for class ids the file does not hold.
constexpr uint32_t defaultClassFormId = 0x00023C0D;

class ClassTable : public LookupTable {
public:
    using LookupTable::LookupTable;

    // The FormID of the first line whose class id equals classId (without
    // regard to letter case, as Morrowind's ids), or the default class.
    // Malformed lines take no part; each is reported once, at the first
    // lookup that reads up to it (up to its match, or the whole file without
    // one). The file is read at the first lookup; a missing file is fatal.
    // `found`, when given, tells whether a line matched.
    uint32_t find(std::string_view classId, bool* found = nullptr);

private:
    void load();

    std::string path_ = path("classes.dat");
    bool loaded_ = false;
    // The first line of each class id, and every corrupt line, each with its line number.
    std::unordered_map<std::string, std::pair<size_t, uint32_t>> firstLines_;
    std::vector<std::pair<size_t, std::string>> corruptLines_;  // with their line breaks
    size_t reportedCorruptLines_ = 0;  // the first ones, reported already
    std::string key_;
};

}  // namespace landfer
