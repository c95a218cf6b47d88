#include "landscape/land_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "landscape/texture_layers.h"
#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/record_writer.h"

namespace landfer {

namespace {

// A quad's vertex window starts 32 vertices from the land's south or west edge.
constexpr int quadStep = quadSide - 1;

// A subrecord's 33 x 33 window of a 65 x 65 grid of 3-byte elements.
void appendWindow(std::vector<uint8_t>& out, const uint8_t* grid, Quad quad) {
    for (int i = 0; i < quadSide; ++i) {
        const uint8_t* row = grid + 3 * ((quadFirstRow(quad, quadStep) + i) * inputSide + quadFirstColumn(quad, quadStep));
        out.insert(out.end(), row, row + 3 * quadSide);
    }
}

}  // namespace

MovedHeights writeQuadData(const LandTextureTable& textures, const LandInput& input, Quad quad, RecordWriter& record) {
    record.uint32("DATA", 0x1F);  // the land's flags
    appendWindow(record.subrecord("VNML"), input.normals, quad);

    QuadHeights heights =
        encodeQuadHeights(readFloat(input.heights), reinterpret_cast<const int8_t*>(input.heights + 4), quad);
    std::vector<uint8_t>& vhgt = record.subrecord("VHGT");
    appendFloat(vhgt, heights.offset);
    for (int8_t delta : heights.deltas) vhgt.push_back(static_cast<uint8_t>(delta));
    const uint8_t* trailing = input.heights + 4 + inputSide * inputSide;
    vhgt.insert(vhgt.end(), trailing, trailing + 3);

    if (input.colours != nullptr) appendWindow(record.subrecord("VCLR"), input.colours, quad);
    if (input.textures != nullptr) {
        QuadTextureGrid grid = sampleQuadTextures(textures, unblockTextureGrid(input.textures), quad);
        for (Quad quadrant : allQuads) writeQuadrantLayers(grid, quadrant, record);
    }
    return heights.moved;
}

namespace {

void noteMoved(MovedHeights& moved, int32_t error) {
    if (error == 0) return;
    ++moved.vertices;
    moved.largestError = std::max(moved.largestError, error < 0 ? -error : error);
}

}  // namespace

float scaledHeightOffset(float offset) { return 8.0f * offset; }

bool heightOffsetConverts(float offset) { return std::isfinite(scaledHeightOffset(offset)); }

QuadHeights encodeQuadHeights(float offset, const int8_t* deltas, Quad quad) {
    // True heights of the input grid, relative to its offset.
    std::array<int32_t, inputSide * inputSide> height;
    int32_t rowStart = 0;
    for (int r = 0; r < inputSide; ++r) {
        rowStart += deltas[r * inputSide];
        int32_t h = rowStart;
        height[r * inputSide] = h;
        for (int c = 1; c < inputSide; ++c) {
            h += deltas[r * inputSide + c];
            height[r * inputSide + c] = h;
        }
    }
    int rb = quadFirstRow(quad, quadStep), cb = quadFirstColumn(quad, quadStep);
    auto input = [&](int i, int j) { return height[(rb + i) * inputSide + cb + j]; };

    // The offset is the height below the quad's first vertex (its first
    // delta stays as it was), or, for the NE quad, that vertex itself.
    int32_t firstDelta = quad == Quad::NE ? 0 : deltas[rb * inputSide];
    int32_t offsetSum = input(0, 0) - firstDelta;
    QuadHeights out;
    double scaledOffset = static_cast<double>(scaledHeightOffset(offset));
    out.offset = static_cast<float>((scaledOffset + 8.0 * offsetSum) * 0.125);

    auto clampDelta = [](int32_t value) { return static_cast<int8_t>(std::clamp(value, -128, 127)); };
    int32_t previousRowStart = offsetSum;
    for (int i = 0; i < quadSide; ++i) {
        int8_t first = clampDelta(input(i, 0) - previousRowStart);
        out.deltas[i * quadSide] = first;
        int32_t encoded = previousRowStart + first;
        previousRowStart = encoded;
        noteMoved(out.moved, input(i, 0) - previousRowStart);
        for (int j = 1; j < quadSide; ++j) {
            int8_t delta = clampDelta(input(i, j) - encoded);
            out.deltas[i * quadSide + j] = delta;
            encoded += delta;
            noteMoved(out.moved, input(i, j) - encoded);
        }
    }
    return out;
}

}  // namespace landfer
