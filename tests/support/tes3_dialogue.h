// Morrowind dialogue responses for the tests: an INFO with any of the
// fields that choose who says it and when.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tes3_builder.h"

namespace tes3 {

// One SCVR filter: its text (slot, kind, details, comparison, name) and an INTV value.
struct Filter {
    std::string rule;
    int32_t value = 0;
};

struct ResponseFields {
    std::string id, previous, next, text;
    uint8_t type = 0;  // the topic's type, repeated
    int32_t disposition = 0;
    int8_t npcRank = -1, sex = -1, pcRank = -1;
    std::string speaker, race, className, faction, cell, pcFaction, sound, script;
    std::vector<Filter> filters;
    bool deleted = false;
};

Record dialogueResponse(const ResponseFields& fields);

}  // namespace tes3
