// Global variables: each Morrowind GLOB becomes an Oblivion GLOB with the
// same identifier, type character and value.
#pragma once

#include "esm/record_reader.h"
#include "run/run_state.h"

namespace landfer {

// Returns 0 after writing the record, 1 when it is skipped.
int convertGlobal(RunState& run, RecordData record);

}  // namespace landfer
