// Books: each Morrowind BOOK becomes an Oblivion BOOK with the same
// identifier, name and text, and one fixed book model and icon.
#pragma once

#include "esm/record_reader.h"
#include "run/run_state.h"

namespace landfer {

// Returns 0 after writing the record, 1 when it is skipped.
int convertBook(RunState& run, RecordData record);

}  // namespace landfer
