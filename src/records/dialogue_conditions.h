// The conditions of a converted response: what decides in Morrowind who
// says a response and when (speaker, race, class, sex, disposition, cell,
// the filters) as Oblivion conditions (CTDA). A response with anything
// Oblivion's conditions cannot say, or that names what the output lacks,
// gets no conditions but the reason it is left out: a response is never
// said under looser conditions than its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lookup/class_table.h"
#include "lookup/item_table.h"
#include "records/dialogue_records.h"
#include "services/converted_cells.h"
#include "services/converted_ids.h"
#include "services/converted_npcs.h"

namespace landfer {

// One CTDA: the operator and flags byte, the value, the function and its parameters.
struct Condition {
    uint8_t typeFlags = 0;
    float value = 0;
    uint16_t function = 0;
    uint32_t parameter1 = 0, parameter2 = 0;
};

// What the conditions refer to: the output's NPCs, cells, journal quests
// and globals, and the lookups of classes and items.
struct DialogueSources {
    const ConvertedNpcs& npcs;
    const ConvertedCells& cells;
    const ConvertedIds& journalQuests;
    const ConvertedIds& globals;
    ClassTable& classes;
    ItemTable& items;
};

struct ConvertedConditions {
    std::vector<Condition> conditions;
    std::string lostReason;    // why the response is left out; empty when it is converted
    bool scriptOnly = false;  // left out because only a script (a choice) reaches it
};

ConvertedConditions convertConditions(const MorrowindResponse& response, DialogueSources& sources);

}  // namespace landfer
