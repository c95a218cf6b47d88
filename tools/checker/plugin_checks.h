// Soundness checks of a TES4 plugin beyond what reading it already proves
// (sizes, inflation): the file header, the group nesting the converter
// writes, unique FormIDs, placed NPCs' base objects and LAND layouts.
#pragma once

#include <string>

#include "tes4_reader.h"

namespace inspect {

// The first problem found, as "at byte N: what", or an empty text.
std::string findFirstProblem(const tes4::File& file);

}  // namespace inspect
