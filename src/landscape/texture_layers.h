// Texture layers. Morrowind paints a land with one texture per square of a
// 16 x 16 grid (VTEX); Oblivion paints each quadrant (17 x 17 vertices) of
// a land with layers: ATXT names a texture, VTXT lists its vertices.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <unordered_map>

#include "landscape/quad.h"
#include "lookup/losses.h"

namespace landfer {

// Texture number (LTEX index + 1) to Oblivion land texture FormID; 0 for a
// texture the lookup file does not know.
using LandTextureTable = std::unordered_map<uint32_t, uint32_t>;
// The FormID of a texture number, 0 when it has none.
uint32_t textureFormId(const LandTextureTable& table, uint32_t textureNumber);

using TextureGrid = std::array<uint16_t, 256>;      // 16 x 16, row 0 (south) first
using QuadTextureGrid = std::array<uint32_t, 34 * 34>;  // FormIDs, row 0 first

// VTEX stores 16 blocks of 4 x 4 squares; this puts them in row order.
TextureGrid unblockTextureGrid(const uint8_t vtex[512]);

// Counts the squares of a land's VTEX that go unpainted: those of a texture
// number without an Oblivion land texture (0, the default ground, is none).
void noteUnpaintedSquares(const LandTextureTable& table, const uint8_t vtex[512], Losses& losses);

// The FormIDs of a quad, sampled on a 34 x 34 grid.
QuadTextureGrid sampleQuadTextures(const LandTextureTable& table, const TextureGrid& grid, Quad quad);

// The ATXT/VTXT pairs of a quadrant of a quad's land (its 17 x 17
// vertices), appended to out; one layer per texture in order of first
// appearance, every vertex at full opacity.
void writeQuadrantLayers(const QuadTextureGrid& grid, Quad quadrant, std::vector<uint8_t>& out);

}  // namespace landfer
