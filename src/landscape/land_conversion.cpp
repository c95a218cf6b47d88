#include "landscape/land_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "landscape/texture_layers.h"
#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/plugin_writer.h"
#include "esm/record_writer.h"

namespace landfer {

namespace {

// A quad's vertex window starts 32 vertices from the land's south or west edge.
constexpr int quadStep = quadSide - 1;
// VNML and VCLR of a quad; its VHGT with its header: offset, deltas, 3 more bytes.
constexpr size_t windowSize = 3 * quadSide * quadSide;
constexpr size_t quadHeightsSize = subrecordHeaderSize + 4 + quadSide * quadSide + 3;

// A subrecord's 33 x 33 window of a 65 x 65 grid of 3-byte elements.
void appendWindow(std::vector<uint8_t>& out, const uint8_t* grid, Quad quad) {
    for (int i = 0; i < quadSide; ++i) {
        const uint8_t* row = grid + 3 * ((quadFirstRow(quad, quadStep) + i) * inputSide + quadFirstColumn(quad, quadStep));
        out.insert(out.end(), row, row + 3 * quadSide);
    }
}

}  // namespace

MovedHeights writeQuadData(const LandTextureTable& textures, const LandInput& input, Quad quad, RecordWriter& record) {
    // The layers are planned first, so that the record's storage is sized
    // once, not grown subrecord by subrecord.
    std::array<PlannedQuadrant, 4> layers;
    size_t size = windowSize + quadHeightsSize + (input.colours != nullptr ? subrecordHeaderSize + windowSize : 0);
    if (input.textures != nullptr) {
        QuadTextureGrid grid = sampleQuadTextures(textures, unblockTextureGrid(input.textures), quad);
        for (Quad quadrant : allQuads) {
            layers[quadIndex(quadrant)].plan(grid, quadrant);
            size += layers[quadIndex(quadrant)].size();
        }
    }
    record.uint32("DATA", 0x1F);  // the land's flags
    std::vector<uint8_t>& data = record.subrecord("VNML");
    data.reserve(data.size() + size);
    appendWindow(data, input.normals, quad);

    QuadHeights heights =
        encodeQuadHeights(readFloat(input.heights), reinterpret_cast<const int8_t*>(input.heights + 4), quad);
    std::vector<uint8_t>& vhgt = record.subrecord("VHGT");
    appendFloat(vhgt, heights.offset);
    const uint8_t* deltas = reinterpret_cast<const uint8_t*>(heights.deltas.data());
    vhgt.insert(vhgt.end(), deltas, deltas + heights.deltas.size());
    const uint8_t* trailing = input.heights + 4 + inputSide * inputSide;
    vhgt.insert(vhgt.end(), trailing, trailing + 3);

    if (input.colours != nullptr) appendWindow(record.subrecord("VCLR"), input.colours, quad);
    for (const PlannedQuadrant& quadrant : layers) quadrant.write(record);
    return heights.moved;
}

namespace {

void noteMoved(MovedHeights& moved, int32_t error) {
    if (error == 0) return;
    ++moved.vertices;
    moved.largestError = std::max(moved.largestError, error < 0 ? -error : error);
}

// The true heights (relative to the land's offset) of the quad's first
// column, from its 33 rows: a row's first delta is relative to the first
// vertex of the row below, every other to the vertex before it.
std::array<int32_t, quadSide> firstColumnHeights(const int8_t* deltas, int rowBase, int columnBase) {
    std::array<int32_t, quadSide> heights;
    int32_t rowStart = 0;
    for (int r = 0; r < rowBase + quadSide; ++r) {
        rowStart += deltas[r * inputSide];
        if (r < rowBase) continue;
        int32_t height = rowStart;
        for (int c = 1; c <= columnBase; ++c) height += deltas[r * inputSide + c];
        heights[r - rowBase] = height;
    }
    return heights;
}

int8_t clampDelta(int32_t value) { return static_cast<int8_t>(std::clamp(value, -128, 127)); }

// The rest of a row whose first vertex missed its height: each delta
// reaches for the true height from where the last one ended.
void encodeRowAfterMiss(const int8_t* deltas, int32_t height, int32_t encoded, int8_t* out, MovedHeights& moved) {
    for (int j = 1; j < quadSide; ++j) {
        height += deltas[j];
        int8_t delta = clampDelta(height - encoded);
        out[j] = delta;
        encoded += delta;
        noteMoved(moved, height - encoded);
    }
}

}  // namespace

float scaledHeightOffset(float offset) { return 8.0f * offset; }

bool heightOffsetConverts(float offset) { return std::isfinite(scaledHeightOffset(offset)); }

QuadHeights encodeQuadHeights(float offset, const int8_t* deltas, Quad quad) {
    int rb = quadFirstRow(quad, quadStep), cb = quadFirstColumn(quad, quadStep);
    std::array<int32_t, quadSide> firstColumn = firstColumnHeights(deltas, rb, cb);

    // The offset is the height below the quad's first vertex (its first
    // delta stays as it was), or, for the NE quad, that vertex itself.
    int32_t firstDelta = quad == Quad::NE ? 0 : deltas[rb * inputSide];
    int32_t offsetSum = firstColumn[0] - firstDelta;
    QuadHeights out;
    double scaledOffset = static_cast<double>(scaledHeightOffset(offset));
    out.offset = static_cast<float>((scaledOffset + 8.0 * offsetSum) * 0.125);

    int32_t previousRowStart = offsetSum;
    for (int i = 0; i < quadSide; ++i) {
        int8_t* encodedRow = out.deltas.data() + i * quadSide;
        const int8_t* row = deltas + (rb + i) * inputSide + cb;
        encodedRow[0] = clampDelta(firstColumn[i] - previousRowStart);
        previousRowStart += encodedRow[0];
        // From a first vertex at its height, every step along the row is
        // the input's own delta (it never starts a row), so the row is
        // copied; only a row that starts off its height is encoded anew.
        if (previousRowStart == firstColumn[i]) {
            std::memcpy(encodedRow + 1, row + 1, quadSide - 1);
            continue;
        }
        noteMoved(out.moved, firstColumn[i] - previousRowStart);
        encodeRowAfterMiss(row, firstColumn[i], previousRowStart, encodedRow, out.moved);
    }
    return out;
}

}  // namespace landfer
