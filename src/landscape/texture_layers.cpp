#include "landscape/texture_layers.h"

#include <algorithm>
#include <array>
#include <map>

#include "esm/byte_order.h"

namespace landfer {

TextureGrid unblockTextureGrid(const uint8_t vtex[512]) {
    TextureGrid grid{};
    for (int block = 0; block < 16; ++block)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                int position = 16 * block + 4 * r + c;
                int row = 4 * (block / 4) + r, column = 4 * (block % 4) + c;
                grid[16 * row + column] = readUint16(vtex + 2 * position);
            }
    return grid;
}

uint32_t textureFormId(const LandTextureTable& table, uint32_t textureNumber) {
    auto entry = table.find(textureNumber);
    return entry != table.end() ? entry->second : 0;
}

void noteUnpaintedSquares(const LandTextureTable& table, const uint8_t vtex[512], Losses& losses) {
    std::map<uint32_t, long> squares;
    for (int square = 0; square < 256; ++square) {
        uint32_t number = readUint16(vtex + 2 * square);
        if (number != 0 && textureFormId(table, number) == 0) ++squares[number];
    }
    for (const auto& [number, count] : squares) losses.noteUnpaintedSquares(number, count);
}

QuadTextureGrid sampleQuadTextures(const LandTextureTable& table, const TextureGrid& grid, Quad quad) {
    // A quad covers 8 x 8 of the land's 16 x 16 squares.
    int rowBase = quadFirstRow(quad, 8), colBase = quadFirstColumn(quad, 8);
    auto square = [](int p) { return static_cast<int>(p * 0.242); };
    QuadTextureGrid out{};
    for (int i = 0; i < 34; ++i)
        for (int j = 0; j < 34; ++j)
            out[34 * i + j] = textureFormId(table, grid[16 * (rowBase + square(i)) + colBase + square(j)]);
    return out;
}

void writeQuadrantLayers(const QuadTextureGrid& grid, Quad quadrant, std::vector<uint8_t>& out) {
    int rowStart = quadFirstRow(quadrant, 17), colStart = quadFirstColumn(quadrant, 17);
    auto at = [&](int r, int c) { return grid[34 * (rowStart + r) + colStart + c]; };
    // At most one layer, and one position in it, per point of the 17 x 17 quadrant.
    std::array<uint32_t, 17 * 17> layers;
    size_t layerCount = 0;
    for (int r = 0; r < 17; ++r)
        for (int c = 0; c < 17; ++c) {
            uint32_t formId = at(r, c);
            if (formId != 0 && std::find(layers.begin(), layers.begin() + layerCount, formId) == layers.begin() + layerCount)
                layers[layerCount++] = formId;
        }
    for (size_t layer = 0; layer < layerCount; ++layer) {
        appendType(out, "ATXT");
        appendUint16(out, 8);
        appendUint32(out, layers[layer]);
        out.push_back(static_cast<uint8_t>(quadIndex(quadrant)));
        out.push_back(0x79);
        appendUint16(out, static_cast<uint32_t>(layer));
        std::array<uint16_t, 17 * 17> positions;
        size_t positionCount = 0;
        for (int r = 0; r < 17; ++r)
            for (int c = 0; c < 17; ++c)
                if (at(r, c) == layers[layer]) positions[positionCount++] = static_cast<uint16_t>(17 * r + c);
        appendType(out, "VTXT");
        appendUint16(out, static_cast<uint32_t>(8 * positionCount));
        for (size_t p = 0; p < positionCount; ++p) {
            uint16_t position = positions[p];
            appendUint16(out, position);
            appendUint16(out, 0);
            appendUint32(out, 0x3F800000);  // opacity 1.0
        }
    }
}

}  // namespace landfer
