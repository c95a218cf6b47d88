// The Oblivion stand-in for a Morrowind object placed in the world, from
// lfdat/objects.dat (optional: a missing file counts as empty).
//
// One entry per line:
//   morrowind id,Oblivion editor id,FORMID[,scale factor[,z offset]]
// The id matches a reference's base id without regard to letter case; an id
// ending in "*" is a prefix of base ids. An exact line wins over prefix
// lines, a longer prefix over a shorter one, and of two lines with the same
// id the first. FORMID is an Oblivion.esm FormID of eight hexadecimal
// digits; the scale factor (default 1) multiplies the reference's scale and
// the z offset (game units, default 0) is added to its height. The editor
// id is for whoever maintains the file. Lines starting with "#" and blank
// lines are comments; a UTF-8 byte order mark before the first line is
// skipped. A line that breaks these rules is reported once, with the file
// and its line number, and takes no part.
//
// A section line "[DOOR]" (or "[LIGH]", "[CONT]", "[ACTI]") says that the
// lines after it, up to the next section, name Oblivion.esm records of that
// type (a door placed as one opens and teleports, a light shines, a
// container opens); before the first section they name trees, statics
// and flora, placed alike. A lone "*" in a section names the record every
// object of that type that no other line names becomes: the doors a plugin
// makes itself, which no list of the base game's doors can hold.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/lookup_table.h"

namespace landfer {

struct StandIn {
    std::string editorId;
    uint32_t formId = 0;
    float scale = 1.0f;
    float zOffset = 0.0f;
    // The Oblivion record type of its section ("DOOR"), zeros outside one.
    std::array<char, 4> type{};
    bool is(std::string_view recordType) const { return std::string_view(type.data(), 4) == recordType; }
};

class ObjectTable : public LookupTable {
public:
    using LookupTable::LookupTable;

    // The stand-in for a base id, or null when no line names it. The file
    // is read at the first lookup; the pointer stays valid while the table lives.
    const StandIn* find(std::string_view morrowindId) const;
    // The stand-in of a section's lone "*" line ("DOOR"), or null.
    const StandIn* anyOf(std::string_view recordType) const;

private:
    // Keys in folded case; std::less<> lets a lookup compare string_views.
    using Entries = std::map<std::string, StandIn, std::less<>>;

    void load() const;
    void addLine(const std::string& line, size_t number) const;

    mutable bool loaded_ = false;
    mutable Entries exact_;
    mutable Entries prefixes_;            // without their "*"
    mutable Entries anyOfType_;           // by the section's record type
    mutable std::vector<size_t> prefixLengths_;  // the prefixes' lengths, longest first
    mutable std::string key_;             // reused, so that a lookup allocates nothing
    mutable std::array<char, 4> section_{};  // the type of the section being read
};

}  // namespace landfer
