// Checks of single records, and of what records say of one another:
// editor IDs unique without regard to case, the plugin's statics, placed
// NPCs (ACHR) and placed objects (REFR) with their base objects, and the
// world's bounds against its exterior cells.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "tes4_reader.h"

namespace inspect {

// The Persistent record flag: of placed NPCs and of the world's persistent cell.
constexpr uint32_t persistentFlag = 0x400;

// A record's editor ID (EDID up to its terminating 0), or an empty text.
std::string editorId(const tes4::Entry& record);

// The editor finds records by editor ID, comparing them without regard to case.
class EditorIds {
public:
    // A problem when an earlier record has the same editor ID.
    std::string note(const tes4::Entry& record);

private:
    std::map<std::string, uint32_t> formIds_;  // by lower-case editor ID
};

// What a record of its type must hold by itself: a STAT its EDID and MODL,
// an ACHR the Persistent flag, a REFR its NAME, DATA, optional XSCL, XLOC,
// XOWN and XCNT of their sizes and no Persistent flag, a CONT its EDID,
// 5-byte DATA and 8-byte CNTO entries, a LIGH its EDID, 32-byte DATA with
// a radius and FNAM, an ACTI its EDID.
std::string recordProblem(const tes4::Entry& record);

// The base object of an ACHR (an NPC_) or a REFR (a STAT, CONT, LIGH,
// ACTI, DOOR or BOOK), and a REFR's owner (an NPC_): one of the plugin's
// own, or of Oblivion.esm (FormID with top byte 00).
std::string placedBaseProblem(const tes4::Entry& placed, const std::map<uint32_t, const tes4::Entry*>& records);

// The items a record names: a container's contents (CNTO) and a lock's key
// (XLOC), each an item of the plugin or of Oblivion.esm.
std::string namedItemsProblem(const tes4::Entry& record, const std::map<uint32_t, const tes4::Entry*>& records);

using CellGrids = std::set<std::pair<int32_t, int32_t>>;

// NAM0 and NAM9: the corners of the exterior cells' extent in game units,
// 4096 to a cell, as floats. Nothing is asked of a world without cells.
std::string worldBoundsProblem(const tes4::Entry& world, const CellGrids& grids);

}  // namespace inspect
