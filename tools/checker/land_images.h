// Pictures of the world's land: one pixel per vertex, north up, the shared
// edge vertices of neighbouring cells drawn once.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "png_image.h"
#include "world_lands.h"

namespace inspect {

// Largest picture drawn, in pixels. Drawing takes at most 7 bytes a pixel
// (the heights as floats and the picture), so a picture stays under 300 MiB
// and takes a few seconds; a world whose cells lie far apart is not drawn.
constexpr size_t maxImagePixels = size_t{40} << 20;

// The picture's size, one pixel per vertex. False (with a reason) when the
// world is empty or its picture would have more than maxPixels pixels.
bool imageSize(const WorldLands& world, size_t& width, size_t& height, std::string& problem,
               size_t maxPixels = maxImagePixels);

// Greyscale heights, hill-shaded with light from the north-west, with a red
// dot on each placed object.
RgbImage drawHeightmap(const WorldLands& world, size_t width, size_t height);

// One colour per land texture FormID; `legend` receives the colours used.
RgbImage drawTextureMap(const WorldLands& world, size_t width, size_t height, std::map<uint32_t, Rgb>& legend);

}  // namespace inspect
