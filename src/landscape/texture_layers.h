// Texture layers. Morrowind paints a land with one texture per square of a
// 16 x 16 grid (VTEX); Oblivion paints each quadrant (17 x 17 vertices, 4 x 4
// Morrowind squares) of a land with a base texture (BTXT) under at most
// eight layers (ATXT names a texture, VTXT lists its vertices).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <unordered_map>

#include "esm/record_writer.h"
#include "landscape/quad.h"
#include "services/losses.h"

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

// Counts the squares of a land's VTEX that lose their texture: those of a
// texture number without an Oblivion land texture (0, the default ground, is
// none), and those of a texture left without a layer in a quadrant of more
// than nine textures, drawn with the quadrant's base instead.
// A master's land names its textures by the master's numbers: with
// `masterFiles` (the master's texture number to file), the squares count for those files.
void noteUnpaintedSquares(const LandTextureTable& table, const uint8_t vtex[512], Losses& losses,
                          const std::unordered_map<uint32_t, std::string>* masterFiles = nullptr);

// The FormIDs of quad 1 to 4 (SW, SE, NW, NE), sampled on a 34 x 34 grid.
QuadTextureGrid sampleQuadTextures(const LandTextureTable& table, const TextureGrid& grid, Quad quad);

constexpr size_t maxQuadrantLayers = 8;  // ATXT layers 0 to 7 above the base

// How a quadrant of a quad is painted. The texture
// covering the most vertices (the first met, row by row, on a tie) is the
// base; every other texture a layer, numbered in order of first appearance.
// Of more than eight others, the eight covering the most vertices (ties as
// above) keep their layers; the rest are dropped and show the base.
struct QuadrantPaint {
    uint32_t base = 0;  // 0: the quadrant has no known texture, and no layer
    std::vector<uint32_t> layers;  // FormIDs of layer 0, 1, ...
    std::vector<uint32_t> dropped;  // in order of first appearance
};
QuadrantPaint planQuadrant(const QuadTextureGrid& grid, Quad quadrant);

// The BTXT, then the ATXT/VTXT pairs of quadrant 0 to 3, into a record
// begun; every layer's vertex at full opacity, the base's vertices in no VTXT.
void writeQuadrantLayers(const QuadTextureGrid& grid, Quad quadrant, RecordWriter& record);

constexpr int quadrantVertices = 17 * 17;  // of a quadrant

// A quadrant's paint planned before it is written (planQuadrant and
// writeQuadrantLayers in one), so that a quad's record can be sized before
// any of its data is written. Planned for every quadrant of every land:
// fixed arrays, no allocation. One planned with no grid paints nothing.
class PlannedQuadrant {
public:
    // The textures of the vertices in order of first appearance, row by
    // row, with the vertices each covers, and the runs of vertices along a
    // row that show one texture (vertices of no known texture in none). A
    // row crosses a few squares, so a quadrant holds far fewer runs than vertices.
    struct Textures {
        struct Run {
            uint16_t first;  // 17 x row + column
            uint16_t length;
            uint16_t texture;
        };
        std::array<uint32_t, quadrantVertices> formIds;
        std::array<int, quadrantVertices> vertices;
        uint16_t count = 0;
        std::array<Run, quadrantVertices> runs;
        uint16_t runCount = 0;
    };
    // What becomes of each texture: the base, a layer (0, 1, ...) or dropped.
    static constexpr int baseTexture = -1, droppedTexture = -2;
    struct Plan {
        uint32_t base = 0;  // 0: no known texture
        std::array<int, quadrantVertices> layerOf;  // by texture index
        int layerCount = 0;
    };

    PlannedQuadrant() = default;
    PlannedQuadrant(const QuadTextureGrid& grid, Quad quadrant) { plan(grid, quadrant); }
    // Plans the quadrant anew, in place.
    void plan(const QuadTextureGrid& grid, Quad quadrant);
    QuadrantPaint paint() const;
    // The bytes that write() adds, subrecord headers included.
    size_t size() const;
    void write(RecordWriter& record) const;

private:
    Quad quadrant_ = Quad::SW;
    Textures textures_;
    Plan plan_;
};

}  // namespace landfer
