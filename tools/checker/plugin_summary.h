// What a plugin holds, in a few lines for the modder.
#pragma once

#include <cstdio>

#include "tes4_reader.h"
#include "world_lands.h"

namespace inspect {

void printSummary(FILE* out, const tes4::File& file, const WorldLands& world);

}  // namespace inspect
