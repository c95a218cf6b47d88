// Land: each Morrowind LAND (65 x 65 vertices) becomes four compressed
// Oblivion LAND records (33 x 33 each), one behind each quad cell of its grid.
#pragma once

#include <array>
#include <cstdint>

#include "esm/record_reader.h"

namespace landfer {

constexpr int inputSide = 65;
constexpr int quadSide = 33;

// The VHGT of one quad: its height offset and 33 x 33 deltas. The first
// delta of a row is relative to the first vertex of the row below, every
// other delta to the vertex before it. Deltas are encoded from the true
// heights, each clamped to a signed byte, so an unreachable step costs
// only the vertices that cannot be reached.
struct QuadHeights {
    float offset = 0.0f;
    std::array<int8_t, quadSide * quadSide> deltas{};
};
QuadHeights encodeQuadHeights(float offset, const int8_t* deltas, int quad);

}  // namespace landfer
