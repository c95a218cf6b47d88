// What the converter takes from a Morrowind NPC_ record.
//
// The subrecords are expected in a fixed order, each optional:
//   NAME MODL FNAM RNAM CNAM ANAM BNAM KNAM SCRI NPDT FLAG NPCO* NPCS* AIDT
// A subrecord out of that order, or of another type, ends what is taken:
// every later type then counts as absent. Nothing after AIDT is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "esm/record_reader.h"

namespace landfer {

struct NpcInventoryEntry {
    int32_t count = 0;  // negative for items that restock
    std::string itemId;
};

struct MorrowindNpc {
    std::string editorId;
    std::string fullName;
    std::string raceId;  // empty without RNAM
    std::string classId;
    std::string scriptId;

    int16_t level = 0;
    bool autoCalculated = false;  // the short form of NPDT
    int8_t attributes[8] = {};    // Strength .. Luck
    int8_t skills[27] = {};       // in Morrowind's skill order
    uint16_t health = 0;
    uint16_t spellPoints = 0;
    uint16_t fatigue = 0;

    bool female = false;
    bool essential = false;
    bool respawns = false;

    std::vector<NpcInventoryEntry> inventory;  // every NPCO, in input order

    bool hasAi = false;
    int8_t hello = 0;
    int8_t flee = 0;
    int8_t alarm = 0;
};

// The editor id of the player's own record, which is not converted.
constexpr const char* playerEditorId = "player";

// Reads the record. For the player record only the editor id is read.
// Raises MalformedRecord when a subrecord runs past the end of the record
// or is shorter than what is read from it.
MorrowindNpc readNpcRecord(RecordData record);

}  // namespace landfer
