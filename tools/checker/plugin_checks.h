// Soundness checks of a TES4 plugin beyond what reading it already proves
// (sizes, inflation): the file header and its record count, one top group
// per type in Oblivion's order, the world's blocks, sub-blocks and cells
// with their children as Oblivion's tools lay them out, unique FormIDs and
// cell grids, 1-byte cell DATA, placed NPCs' base objects and LAND layouts.
#pragma once

#include <string>

#include "tes4_reader.h"

namespace inspect {

// The first problem found, as "at byte N: what", or an empty text.
std::string findFirstProblem(const tes4::File& file);

}  // namespace inspect
