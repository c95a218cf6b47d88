// The four parts of a square, in the order both games list them: SW, SE,
// NW, NE. A Morrowind exterior cell is twice as wide as an Oblivion cell,
// so it becomes four Oblivion cells (quads); the same split cuts a quad's
// land into the four quadrants that Oblivion paints separately.
#pragma once

#include <array>
#include <cstdint>

namespace landfer {

enum class Quad : uint8_t { SW = 0, SE = 1, NW = 2, NE = 3 };

constexpr std::array<Quad, 4> allQuads = {Quad::SW, Quad::SE, Quad::NW, Quad::NE};

// Its place in the order above: the index of arrays kept per quad, and
// the quadrant number of a texture layer.
constexpr int quadIndex(Quad quad) { return static_cast<int>(quad); }
// 1 for the eastern half (SE, NE), 0 for the western.
constexpr int quadColumn(Quad quad) { return quadIndex(quad) & 1; }
// 1 for the northern half (NW, NE), 0 for the southern.
constexpr int quadRow(Quad quad) { return quadIndex(quad) >> 1; }

// The quad's editor ID suffix: " SW" and so on.
constexpr const char* quadSuffix(Quad quad) {
    constexpr const char* suffixes[4] = {" SW", " SE", " NW", " NE"};
    return suffixes[quadIndex(quad)];
}

// The Oblivion grid of a quad of the Morrowind cell at (gridX, gridY).
constexpr int64_t quadGridX(int32_t gridX, Quad quad) { return 2 * static_cast<int64_t>(gridX) + quadColumn(quad); }
constexpr int64_t quadGridY(int32_t gridY, Quad quad) { return 2 * static_cast<int64_t>(gridY) + quadRow(quad); }

// The first row and column of a quad's window in a grid of `side` points
// per Morrowind cell side, whose quads start `half` points apart (65
// vertices, half 32; 16 texture squares, half 8).
constexpr int quadFirstRow(Quad quad, int half) { return quadRow(quad) * half; }
constexpr int quadFirstColumn(Quad quad, int half) { return quadColumn(quad) * half; }

}  // namespace landfer
