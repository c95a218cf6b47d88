// Placed references: an NPC that the run has converted, placed in an
// exterior cell, becomes an ACHR in the quad cell that holds its position.
#pragma once

#include <cstddef>

#include "esm/record_reader.h"
#include "landscape/landscape.h"

namespace landfer {

// reference: from an FRMR subrecord to the end of the cell's data. Returns
// how many bytes the cell converter steps over before going on.
// gridX, gridY: the Morrowind grid of the cell.
size_t convertPlacedReference(Landscape& land, RecordData reference, int32_t gridX, int32_t gridY);

}  // namespace landfer
