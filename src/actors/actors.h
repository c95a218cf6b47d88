// The actors: Morrowind NPC_ records become compressed Oblivion NPC_
// records, with race through the race table, class and inventory through
// the lookup files and face data from lfdat/. Each is listed in the NPC
// index (in memory) for the placed references; the records wait in
// the run's "npc_records.tmp" for their top group.
#pragma once

#include <cstdint>
#include <vector>

#include "actors/npc_index.h"
#include "actors/npc_record.h"
#include "esm/compression.h"
#include "esm/record_reader.h"
#include "esm/staged_records.h"
#include "services/converted_ids.h"
#include "services/lookups.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class Actors {
public:
    static constexpr const char* recordsFileName = "npc_records.tmp";

    // The books converted so far, for the inventories that hold one.
    Actors(RecordOutput output, Problems& problems, Lookups lookups, const ConvertedIds& books)
        : output_(output),
          problems_(problems),
          lookups_(lookups),
          books_(books),
          records_(output.staging.path(recordsFileName), "NPC_") {}

    // Converts one NPC. The player's own record is counted but not converted.
    void convertNpc(RecordData record);

    const NpcIndex& npcIndex() const { return npcIndex_; }
    // The top group of every NPC converted, appended to the output.
    void writeNpcGroup() { records_.copyInto(output_.plugin); }

    int npcCount() const { return npcCount_; }
    int inventorySwapCount() const { return inventorySwapCount_; }

private:
    RecordOutput output_;
    Problems& problems_;
    Lookups lookups_;
    const ConvertedIds& books_;
    NpcIndex npcIndex_;
    // Its writer builds every NPC in the same storage.
    StagedRecords records_;
    int npcCount_ = 0;
    int inventorySwapCount_ = 0;
};

}  // namespace landfer
