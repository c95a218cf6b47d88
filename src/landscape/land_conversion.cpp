#include "landscape/land_conversion.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "landscape/landscape.h"
#include "landscape/texture_layers.h"
#include "esm/byte_order.h"
#include "esm/compression.h"
#include "esm/fatal_error.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

// Sizes of the input's subrecords: VNML and VCLR (three bytes a vertex),
// VHGT (offset, a delta a vertex, three more bytes), VTEX (16 x 16 numbers).
constexpr size_t normalsSize = inputSide * inputSide * 3;
constexpr size_t heightsSize = 4 + inputSide * inputSide + 3;
constexpr size_t texturesSize = 512;
// And of the quad's: DATA (flags), VNML and VCLR, VHGT.
constexpr uint16_t landFlagsSize = 4;
constexpr uint16_t quadGridSize = quadSide * quadSide * 3;
constexpr uint16_t quadHeightsSize = 4 + quadSide * quadSide + 3;
// A quad's vertex window starts 32 vertices from the land's south or west edge.
constexpr int quadStep = quadSide - 1;
// Room for DATA, VNML, VHGT, VCLR and four quadrants of layers, so that
// building a quad seldom allocates.
constexpr size_t typicalQuadSize = 7658 + 4 * 2332;

// A subrecord's 33 x 33 window of a 65 x 65 grid of 3-byte elements.
void appendWindow(std::vector<uint8_t>& out, const uint8_t* grid, Quad quad) {
    for (int i = 0; i < quadSide; ++i) {
        const uint8_t* row = grid + 3 * ((quadFirstRow(quad, quadStep) + i) * inputSide + quadFirstColumn(quad, quadStep));
        out.insert(out.end(), row, row + 3 * quadSide);
    }
}

void appendHeader(std::vector<uint8_t>& out, const char* type, uint16_t size) {
    appendType(out, type);
    appendUint16(out, size);
}

// Fills data (its storage reused from quad to quad) with a quad's LAND data.
}  // namespace

MovedHeights buildQuadData(const LandTextureTable& textures, const LandInput& input, Quad quad, std::vector<uint8_t>& data) {
    data.clear();
    data.reserve(typicalQuadSize);
    appendHeader(data, "DATA", landFlagsSize);
    const uint8_t flags[landFlagsSize] = {0x1F, 0, 0, 0};
    data.insert(data.end(), flags, flags + landFlagsSize);
    appendHeader(data, "VNML", quadGridSize);
    appendWindow(data, input.normals, quad);

    QuadHeights heights =
        encodeQuadHeights(readFloat(input.heights), reinterpret_cast<const int8_t*>(input.heights + 4), quad);
    appendHeader(data, "VHGT", quadHeightsSize);
    appendFloat(data, heights.offset);
    for (int8_t delta : heights.deltas) data.push_back(static_cast<uint8_t>(delta));
    const uint8_t* trailing = input.heights + 4 + inputSide * inputSide;
    data.insert(data.end(), trailing, trailing + 3);

    if (input.colours != nullptr) {
        appendHeader(data, "VCLR", quadGridSize);
        appendWindow(data, input.colours, quad);
    }
    if (input.textures != nullptr) {
        QuadTextureGrid grid = sampleQuadTextures(textures, unblockTextureGrid(input.textures), quad);
        for (Quad quadrant : allQuads) writeQuadrantLayers(grid, quadrant, data);
    }
    return heights.moved;
}

namespace {

void noteMoved(MovedHeights& moved, int32_t error) {
    if (error == 0) return;
    ++moved.vertices;
    moved.largestError = std::max(moved.largestError, error < 0 ? -error : error);
}

// Reads the record; false (after any message) when it is not converted.
bool readLand(const Reporter& reporter, Losses& losses, RecordData record, LandInput& input) {
    SubrecordCursor cursor(record);
    if (!cursor.nextIs("INTV")) return false;
    Subrecord grid = cursor.next();
    grid.require(8);
    input.gridX = readInt32(grid.data);
    input.gridY = readInt32(grid.data + 4);
    if (cursor.nextIs("DATA")) cursor.next();
    if (!cursor.nextIs("VNML")) return false;
    Subrecord normals = cursor.next();
    normals.require(normalsSize);
    input.normals = normals.data;
    if (!cursor.nextIs("VHGT")) {
        reporter.report("Unable to find VHGT!!!\n");
        return false;
    }
    Subrecord heights = cursor.next();
    heights.require(heightsSize);
    input.heights = heights.data;
    while (!cursor.atEnd()) {
        Subrecord sub = cursor.next();
        bool colours = sub.is("VCLR"), textures = sub.is("VTEX");
        if (!colours && !textures) continue;
        size_t needed = colours ? normalsSize : texturesSize;
        if (sub.size < needed) {
            // The land is still converted, without this subrecord.
            reporter.report("The LAND record at grid (%d, %d) is malformed (its %.4s subrecord holds %zu of %zu bytes): "
                            "the land is converted without it.\n",
                            input.gridX, input.gridY, sub.type.data(), sub.size, needed);
            losses.note(LossKind::leftOutLandscape,
                        formatText("%.4s of LAND (%d, %d)", sub.type.data(), input.gridX, input.gridY));
            continue;
        }
        (colours ? input.colours : input.textures) = sub.data;
    }
    return true;
}

}  // namespace

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
    double scaledOffset = static_cast<double>(static_cast<float>(8.0f * offset));
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

void Landscape::convertLand(RecordData record) {
    LandInput input;
    if (!readLand(services_.reporter, services_.losses, record, input)) return;
    if (!gridFitsWorld(input.gridX, input.gridY)) {
        services_.reporter.report("The LAND record at grid (%d, %d) cannot be converted: only grids from "
                   "-131072 to 131071 fit Oblivion's world. Ignoring!\n",
                   input.gridX, input.gridY);
        services_.losses.note(LossKind::leftOutLandscape, formatText("LAND (%d, %d)", input.gridX, input.gridY));
        return;
    }
    long found = world_.find(input.gridX, input.gridY);
    if (found >= 0 && world_.hasLand(static_cast<size_t>(found))) {
        // Oblivion's world holds one cell, and one land, per grid.
        services_.reporter.report("The LAND record at grid (%d, %d) repeats the land of that grid. Ignoring!\n", input.gridX,
                   input.gridY);
        services_.losses.note(LossKind::leftOutLandscape, formatText("second LAND (%d, %d)", input.gridX, input.gridY));
        return;
    }
    ++landCount_;
    if (input.textures != nullptr) noteUnpaintedSquares(landTextureTable_, input.textures, services_.losses);

    // A land whose cell is not in the plugin gets unnamed cells, with water.
    size_t cell = found >= 0 ? static_cast<size_t>(found) : stageCell(input.gridX, input.gridY, "", cellHasWater);
    if (found < 0) cellsMadeForLand_.insert(cell);
    // The quads are built first, then compressed together, then staged
    // in the world behind their cells.
    MovedHeights moved;
    for (Quad quad : allQuads) {
        MovedHeights quadMoved = buildQuadData(landTextureTable_, input, quad, quadData_[quadIndex(quad)]);
        moved.vertices += quadMoved.vertices;
        moved.largestError = std::max(moved.largestError, quadMoved.largestError);
    }
    if (moved.vertices > 0)
        services_.losses.note(LossKind::clampedHeights,
                              formatText("LAND (%d, %d), up to %ld units", input.gridX, input.gridY,
                                         8L * moved.largestError),
                              moved.vertices);
    services_.deflater.compress(quadData_.data(), quadBodies_.data(), 4);
    world_.attachLand(cell, quadBodies_, services_.formIds);
}

}  // namespace landfer
