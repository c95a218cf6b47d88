// The data of an Oblivion NPC_ record, built from what was read from the
// Morrowind record and what the lookups chose for it; no file is touched.
// The face data follows it in the record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actors/npc_record.h"
#include "esm/record_writer.h"
#include "lookup/race_table.h"
#include "services/item_choice.h"

namespace landfer {

struct NpcChoices {
    std::string editorId;  // the Morrowind id, numbered where an earlier record of the plugin has it
    const RaceRow* race = nullptr;  // never null: a race outside the table is Imperial
    uint32_t classFormId = 0;
    std::vector<InventoryItem> inventory;  // the items found, in input order
};

// EDID FULL MODL MODB ACBS RNAM CNTO* AIDT CNAM DATA, into a record begun.
void writeNpcData(const MorrowindNpc& npc, const NpcChoices& choices, RecordWriter& record);

}  // namespace landfer
