// Pictures of the world's land: one pixel per vertex, north up, the shared
// edge vertices of neighbouring cells drawn once.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "png_image.h"
#include "world_lands.h"

namespace inspect {

// Largest picture drawn, in pixels on a side.
constexpr size_t maxImageSide = 16384;

// False (with a reason) when the world is empty or too large to draw.
bool imageSize(const WorldLands& world, size_t& width, size_t& height, std::string& problem);

// Greyscale heights, hill-shaded with light from the north-west.
RgbImage drawHeightmap(const WorldLands& world, size_t width, size_t height);

// One colour per land texture FormID; `legend` receives the colours used.
RgbImage drawTextureMap(const WorldLands& world, size_t width, size_t height, std::map<uint32_t, Rgb>& legend);

}  // namespace inspect
