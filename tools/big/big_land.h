// The land of the big plugin: one continuous landscape over the whole
// block of cells (neighbouring lands share their edge vertices), rolling
// hills with a few cliffs, normals from the slopes, vertex colours and
// patches of 8 to 20 land textures per cell.
#pragma once

#include <cstdint>

#include "tes3_land.h"

namespace big {

// textureCount: how many land textures (numbers 1 to textureCount) exist.
tes3::Record bigLand(int32_t gridX, int32_t gridY, int textureCount);

// The height of the land in game units (8 to a height unit) at a world
// position, that of the vertex nearest to it: where a placed object stands.
float groundHeight(float x, float y);

}  // namespace big
