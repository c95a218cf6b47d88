// Placed references: an NPC that the run has converted, placed in an
// exterior cell, becomes an ACHR in the quad cell that holds its position.
#pragma once

#include <cstddef>

#include "esm/record_reader.h"
#include "run/run_state.h"

namespace landfer {

// reference: from an FRMR subrecord to the end of the cell's data. Returns
// how many bytes the cell converter steps over before going on.
size_t convertPlacedReference(RunState& run, RecordData reference);

// The FormID of the NPC converted from this ID, from the entries of
// "npcs.tmp" held in memory; the whole ID must match, letter case included.
bool findConvertedNpc(RunState& run, const std::string& id, uint8_t formId[4]);

}  // namespace landfer
