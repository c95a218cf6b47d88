// Cells: each Morrowind exterior cell becomes four Oblivion cells (quads),
// staged until its land comes; interior cells are dropped.
#pragma once

#include "esm/record_reader.h"
#include "run/run_state.h"

namespace landfer {

// Returns 0; interior and malformed cells are not converted.
int convertCell(RunState& run, RecordData record);

}  // namespace landfer
