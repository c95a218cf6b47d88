// A quadrant's paint: the base texture, at most eight layers, and the
// textures left to the base, as planned and as written.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "esm/byte_order.h"
#include "landscape/texture_layers.h"
#include "written_subrecords.h"

using namespace landfer;

namespace {

// A quad grid whose quadrant 0 (SW) holds texture(position 0..288), the rest nothing.
QuadTextureGrid quadrantOf(const std::function<uint32_t(int)>& texture) {
    QuadTextureGrid grid{};
    for (int r = 0; r < 17; ++r)
        for (int c = 0; c < 17; ++c) grid[34 * r + c] = texture(17 * r + c);
    return grid;
}

// Texture k (FormID 0x100 + k) on counts[k] vertices, one after the other.
QuadTextureGrid runsOf(const std::vector<int>& counts) {
    std::vector<uint32_t> positions;
    for (size_t k = 0; k < counts.size(); ++k)
        positions.insert(positions.end(), static_cast<size_t>(counts[k]), 0x100 + static_cast<uint32_t>(k));
    positions.resize(289, 0);
    return quadrantOf([&positions](int p) { return positions[p]; });
}

std::vector<uint8_t> layersOf(const QuadTextureGrid& grid, Quad quadrant) {
    return writtenSubrecords([&](RecordWriter& record) { writeQuadrantLayers(grid, quadrant, record); });
}

std::vector<uint32_t> ids(std::initializer_list<int> ks) {
    std::vector<uint32_t> out;
    for (int k : ks) out.push_back(0x100 + static_cast<uint32_t>(k));
    return out;
}

}  // namespace

TEST(TextureLayers, OneTextureIsTheBaseAlone) {
    QuadTextureGrid grid = quadrantOf([](int) { return 0xA1u; });
    QuadrantPaint paint = planQuadrant(grid, Quad::SW);
    EXPECT_EQ(paint.base, 0xA1u);
    EXPECT_TRUE(paint.layers.empty());
    std::vector<uint8_t> out = layersOf(grid, Quad::SW);
    EXPECT_EQ(out, (std::vector<uint8_t>{'B', 'T', 'X', 'T', 8, 0, 0xA1, 0, 0, 0, 0, 0x79, 0, 0}));
    // The other quadrants hold no known texture: neither a base nor a layer.
    for (Quad quadrant : {Quad::SE, Quad::NW, Quad::NE}) {
        EXPECT_EQ(planQuadrant(grid, quadrant).base, 0u);
        EXPECT_TRUE(layersOf(grid, quadrant).empty());
    }
}

TEST(TextureLayers, TheMostCoveringIsTheBaseAndTheOthersLayersInOrderOfFirstAppearance) {
    // Rows 0-8 A; rows 9-16 B, but C in column 0: C is met before B.
    QuadTextureGrid grid = quadrantOf([](int p) { return p < 9 * 17 ? 0xAu : p % 17 == 0 ? 0xCu : 0xBu; });
    QuadrantPaint paint = planQuadrant(grid, Quad::SW);
    EXPECT_EQ(paint.base, 0xAu);
    EXPECT_EQ(paint.layers, (std::vector<uint32_t>{0xC, 0xB}));
    EXPECT_TRUE(paint.dropped.empty());

    EXPECT_TRUE(layersOf(grid, Quad::NW).empty());  // quadrant 2 is empty in this grid
    std::vector<uint8_t> out = layersOf(grid, Quad::SW);
    ASSERT_EQ(out.size(), 14u + 14u + 6u + 8u * 8u + 14u + 6u + 8u * 128u);
    EXPECT_EQ(std::string(out.begin(), out.begin() + 4), "BTXT");
    EXPECT_EQ(std::string(out.begin() + 14, out.begin() + 18), "ATXT");
    EXPECT_EQ(readUint32(out.data() + 20), 0xCu);
    EXPECT_EQ(readUint16(out.data() + 26), 0u);  // layer 0
    EXPECT_EQ(std::string(out.begin() + 28, out.begin() + 32), "VTXT");
    EXPECT_EQ(readUint16(out.data() + 32), 64u);
    EXPECT_EQ(readUint16(out.data() + 34), 9u * 17u);  // the first C vertex
    size_t second = 34 + 64;
    EXPECT_EQ(std::string(out.begin() + second, out.begin() + second + 4), "ATXT");
    EXPECT_EQ(readUint32(out.data() + second + 6), 0xBu);
    EXPECT_EQ(readUint16(out.data() + second + 12), 1u);  // layer 1
}

TEST(TextureLayers, ATieForTheBaseGoesToTheFirstMet) {
    // Vertex 0 unknown, then B and A alternate: 144 vertices each.
    QuadTextureGrid grid = quadrantOf([](int p) { return p == 0 ? 0u : p % 2 == 1 ? 0xBu : 0xAu; });
    QuadrantPaint paint = planQuadrant(grid, Quad::SW);
    EXPECT_EQ(paint.base, 0xBu);
    EXPECT_EQ(paint.layers, (std::vector<uint32_t>{0xA}));
}

TEST(TextureLayers, OfSixteenTexturesTheEightCoveringMostKeepTheirLayers) {
    // Texture 0 covers most; of the others, 11 and 12 tie for the eighth place: 11 is met first.
    QuadTextureGrid grid = runsOf({70, 10, 30, 10, 25, 10, 20, 10, 18, 16, 14, 11, 11, 10, 9, 15});
    QuadrantPaint paint = planQuadrant(grid, Quad::SW);
    EXPECT_EQ(paint.base, 0x100u);
    EXPECT_EQ(paint.layers, ids({2, 4, 6, 8, 9, 10, 11, 15}));
    EXPECT_EQ(paint.dropped, ids({1, 3, 5, 7, 12, 13, 14}));
    std::vector<uint8_t> out = layersOf(grid, Quad::SW);
    // The base's and the dropped textures' vertices are in no VTXT.
    size_t listed = 0, atxt = 0;
    for (size_t p = 14; p < out.size();) {
        size_t size = readUint16(out.data() + p + 4);
        std::string type(out.begin() + p, out.begin() + p + 4);
        if (type == "VTXT") listed += size / 8;
        if (type == "ATXT") {
            EXPECT_EQ(readUint16(out.data() + p + 12), atxt);
            ++atxt;
        }
        p += 6 + size;
    }
    EXPECT_EQ(atxt, 8u);
    EXPECT_EQ(listed, 30u + 25 + 20 + 18 + 16 + 14 + 11 + 15);
}

TEST(TextureLayers, SquaresOfDroppedLayersAreALossOfTheirOwn) {
    // VTEX stores block 0 (the SW quad's quadrant 0) first: numbers 1 to 16 there, 1 elsewhere.
    uint8_t vtex[512] = {};
    for (int square = 0; square < 256; ++square) vtex[2 * square] = static_cast<uint8_t>(square < 16 ? square + 1 : 1);
    LandTextureTable table;
    for (uint32_t number = 1; number <= 16; ++number) table[number] = 0x100 + number;
    Losses losses;
    noteUnpaintedSquares(table, vtex, losses);
    // Square (0, 0) covers 25 vertices, the rest of row 0 and column 0 20, the others 16: number 1
    // is the base, 2-5, 9 and 13 keep layers, and of the others 6 and 7, met first.
    std::vector<LossEntry> lost = losses.entries(LossKind::textureLayer);
    ASSERT_EQ(lost.size(), 7u);
    const char* expected[] = {"00000108", "0000010A", "0000010B", "0000010C", "0000010E", "0000010F", "00000110"};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(lost[i].identifier, expected[i]);
        EXPECT_EQ(lost[i].count, 1);
    }
    EXPECT_EQ(losses.total(LossKind::textureLayer), 7);
    EXPECT_EQ(losses.total(LossKind::landTexture), 0);
}

namespace {

// The textures of a quadrant's vertices in order of first appearance, with their counts.
std::vector<std::pair<uint32_t, int>> texturesMet(const QuadTextureGrid& grid, Quad quadrant) {
    std::vector<std::pair<uint32_t, int>> met;
    for (int r = 0; r < 17; ++r)
        for (int c = 0; c < 17; ++c) {
            uint32_t formId = grid[34 * (17 * quadRow(quadrant) + r) + 17 * quadColumn(quadrant) + c];
            if (formId == 0) continue;
            auto found = std::find_if(met.begin(), met.end(), [formId](const auto& t) { return t.first == formId; });
            if (found != met.end())
                ++found->second;
            else
                met.push_back({formId, 1});
        }
    return met;
}

int countOf(const std::vector<std::pair<uint32_t, int>>& met, uint32_t formId) {
    return std::find_if(met.begin(), met.end(), [formId](const auto& t) { return t.first == formId; })->second;
}

// The plan holds what its comment promises, and the written layers list
// exactly each layer's vertices, row by row.
void expectPaintedAsPlanned(const QuadTextureGrid& grid, Quad quadrant) {
    std::vector<std::pair<uint32_t, int>> met = texturesMet(grid, quadrant);
    QuadrantPaint paint = planQuadrant(grid, quadrant);
    ASSERT_FALSE(met.empty());
    int most = 0;
    for (const auto& texture : met) most = std::max(most, texture.second);
    auto firstOfTheMost = std::find_if(met.begin(), met.end(), [most](const auto& t) { return t.second == most; });
    EXPECT_EQ(paint.base, firstOfTheMost->first);
    ASSERT_EQ(paint.layers.size(), std::min(met.size() - 1, maxQuadrantLayers));
    ASSERT_EQ(paint.layers.size() + paint.dropped.size(), met.size() - 1);
    for (uint32_t kept : paint.layers)
        for (uint32_t dropped : paint.dropped) EXPECT_GE(countOf(met, kept), countOf(met, dropped));

    std::vector<uint8_t> out = layersOf(grid, quadrant);
    EXPECT_EQ(PlannedQuadrant(grid, quadrant).size(), out.size());  // what a quad's record is sized by
    ASSERT_EQ(readUint32(out.data() + 6), paint.base);
    size_t p = 14;
    for (size_t layer = 0; layer < paint.layers.size(); ++layer) {
        ASSERT_EQ(std::string(out.begin() + p, out.begin() + p + 4), "ATXT");
        EXPECT_EQ(readUint32(out.data() + p + 6), paint.layers[layer]);
        EXPECT_EQ(out[p + 10], quadIndex(quadrant));
        EXPECT_EQ(readUint16(out.data() + p + 12), layer);
        p += 14;
        std::vector<uint8_t> expected;
        for (int v = 0; v < 289; ++v) {
            int row = 17 * quadRow(quadrant) + v / 17, column = 17 * quadColumn(quadrant) + v % 17;
            if (grid[34 * row + column] != paint.layers[layer]) continue;
            appendUint32(expected, static_cast<uint32_t>(v));
            appendUint32(expected, 0x3F800000);
        }
        ASSERT_EQ(std::string(out.begin() + p, out.begin() + p + 4), "VTXT");
        ASSERT_EQ(readUint16(out.data() + p + 4), expected.size());
        EXPECT_EQ(std::vector<uint8_t>(out.begin() + p + 6, out.begin() + p + 6 + expected.size()), expected);
        p += 6 + expected.size();
    }
    EXPECT_EQ(p, out.size());
}

}  // namespace

TEST(TextureLayers, RandomQuadrantsArePaintedAsPlanned) {
    std::mt19937 random(1210);
    for (int round = 0; round < 60; ++round) {
        // From one texture to twenty, some vertices unknown: in runs along
        // rows or in rows alike, as squares make them, or scattered.
        std::uniform_int_distribution<uint32_t> texture(0, 1 + static_cast<uint32_t>(round % 20));
        QuadTextureGrid grid{};
        for (size_t v = 0; v < grid.size(); ++v) {
            bool alongRow = round % 3 == 0 && v % 4 != 0, likeBelow = round % 3 == 1 && v >= 34 && v / 34 % 4 != 0;
            grid[v] = alongRow ? grid[v - 1] : likeBelow ? grid[v - 34] : texture(random);
        }
        grid[34 * 8 + 8] = grid[34 * 8 + 25] = grid[34 * 25 + 8] = grid[34 * 25 + 25] = 0x500;  // no quadrant empty
        for (Quad quadrant : allQuads) expectPaintedAsPlanned(grid, quadrant);
    }
}
