// A quad's VHGT from the land's deltas: every delta is the step to the true
// height from where the encoding stands, clamped to a signed byte, and the
// vertices left off their height are counted with the largest error.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <vector>

#include "landscape/land_conversion.h"

using namespace landfer;

namespace {

// The true heights of a 65 x 65 land from its deltas, relative to its offset.
std::vector<int32_t> trueHeights(const std::vector<int8_t>& deltas) {
    std::vector<int32_t> height(65 * 65);
    for (int r = 0; r < 65; ++r)
        for (int c = 0; c < 65; ++c)
            height[65 * r + c] =
                deltas[65 * r + c] + (c > 0 ? height[65 * r + c - 1] : r > 0 ? height[65 * (r - 1)] : 0);
    return height;
}

// Deltas drawn from [-limit, limit]. With a wide limit the eastern quads'
// rows often start more than a byte's step above or below the row before.
std::vector<int8_t> randomDeltas(std::mt19937& random, int limit) {
    std::uniform_int_distribution<int> any(-limit, limit);
    std::vector<int8_t> deltas(65 * 65);
    for (int8_t& delta : deltas) delta = static_cast<int8_t>(any(random));
    return deltas;
}

void expectEncodedFaithfully(const std::vector<int8_t>& deltas, Quad quad) {
    std::vector<int32_t> height = trueHeights(deltas);
    QuadHeights out = encodeQuadHeights(0.0f, deltas.data(), quad);
    int rb = quadRow(quad) * 32, cb = quadColumn(quad) * 32;
    int32_t offsetSum = static_cast<int32_t>(out.offset);
    ASSERT_EQ(offsetSum, height[65 * rb + cb] - (quad == Quad::NE ? 0 : deltas[65 * rb])) << quadIndex(quad);
    long moved = 0;
    int32_t largest = 0, rowStart = offsetSum;
    for (int i = 0; i < 33; ++i) {
        int32_t at = rowStart;
        for (int j = 0; j < 33; ++j) {
            int32_t wanted = height[65 * (rb + i) + cb + j];
            int32_t delta = out.deltas[33 * i + j];
            ASSERT_EQ(delta, std::clamp(wanted - at, -128, 127)) << quadIndex(quad) << " " << i << " " << j;
            at += delta;
            if (j == 0) rowStart = at;
            moved += at != wanted;
            largest = std::max(largest, std::abs(wanted - at));
        }
    }
    EXPECT_EQ(out.moved.vertices, moved) << quadIndex(quad);
    EXPECT_EQ(out.moved.largestError, largest) << quadIndex(quad);
}

}  // namespace

TEST(QuadHeights, EveryDeltaIsTheClampedStepToTheTrueHeight) {
    std::mt19937 random(20261210);
    long steepLands = 0;
    for (int land = 0; land < 40; ++land) {
        // Gentle lands, and lands whose rows climb past a byte's reach at column 32.
        std::vector<int8_t> deltas = randomDeltas(random, land % 2 ? 127 : 3);
        for (Quad quad : allQuads) expectEncodedFaithfully(deltas, quad);
        steepLands += encodeQuadHeights(0.0f, deltas.data(), Quad::SE).moved.vertices > 0;
    }
    EXPECT_GT(steepLands, 0);  // the clamping was exercised
}
