// The lands of the plugin's world, decoded and placed by their cells' grid.
#pragma once

#include <cstdint>
#include <vector>

#include "tes4_reader.h"

namespace inspect {

constexpr int landSide = 33;  // vertices on a side of one Oblivion land

struct DecodedLand {
    int32_t gridX = 0, gridY = 0;
    // Heights of the 33 x 33 vertices, row 0 (south) first, in game units.
    std::vector<float> heights;
    // Land texture FormID of each vertex; 0 where no layer covers it.
    std::vector<uint32_t> textures;
    int baseTextures = 0;  // quadrants with a BTXT
    int mostLayers = 0;  // the most ATXT layers of one quadrant
};

// A placed object (REFR) in a cell's temporary children.
struct PlacedObject {
    uint32_t formId = 0, base = 0;
    int32_t cellX = 0, cellY = 0;  // its cell's grid
    float x = 0, y = 0;  // its position in game units
    // Whether the position lies in its cell's area (4096 units a side).
    bool insideItsCell() const;
};

struct WorldLands {
    std::vector<DecodedLand> lands;
    std::vector<PlacedObject> objects;
    size_t cells = 0;  // exterior cells
    int32_t minX = 0, maxX = -1, minY = 0, maxY = -1;  // extent of the world's cells
    bool empty() const { return maxX < minX; }
};

// Every LAND record and placed object inside an exterior cell of the world
// (not its persistent cell), with its cell's XCLC grid.
WorldLands decodeWorldLands(const tes4::File& file);

}  // namespace inspect
