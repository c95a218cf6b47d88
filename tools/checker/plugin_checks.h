// Soundness checks of a TES4 plugin beyond what reading it already proves
// (sizes, inflation): the file header and its record count, one top group
// per type in Oblivion's order, the world's persistent cell with the placed
// NPCs, its blocks, sub-blocks and cells with their temporary children (land,
// then placed objects) as Oblivion's tools lay them out, the world's bounds,
// unique FormIDs, editor IDs and cell grids, 1-byte cell DATA, the base
// objects of placed NPCs and objects, statics and LAND layouts, and the
// dialogue: topics with their responses, quests, conditions and add-topics.
#pragma once

#include <string>

#include "tes4_reader.h"

namespace inspect {

// The first problem found, as "at byte N: what", or an empty text.
std::string findFirstProblem(const tes4::File& file);

}  // namespace inspect
