// Morrowind NPC_ records to compressed Oblivion NPC_ records.
#pragma once

#include "esm/record_reader.h"
#include "run/run_state.h"

namespace landfer {

// Converts one NPC: race through the race table, class and inventory
// through the lookup files, face data from lfdat/, and lists it in
// "npcs.tmp". The player's own record is counted but not converted.
int convertNpc(RunState& run, RecordData record);

}  // namespace landfer
