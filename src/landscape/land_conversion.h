// Land: each Morrowind LAND (65 x 65 vertices) becomes four compressed
// Oblivion LAND records (33 x 33 each), one behind each quad cell of its grid.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "landscape/quad.h"
#include "landscape/texture_layers.h"

#include "esm/problem.h"
#include "esm/record_reader.h"
#include "esm/reporter.h"
#include "services/losses.h"
#include "esm/record_writer.h"

namespace landfer {

constexpr int inputSide = 65;
constexpr int quadSide = 33;
// Sizes of the input's subrecords: VNML and VCLR (three bytes a vertex),
// VHGT (offset, a delta a vertex, three more bytes), VTEX (16 x 16 numbers).
constexpr size_t normalsSize = inputSide * inputSide * 3;
constexpr size_t heightsSize = 4 + inputSide * inputSide + 3;
constexpr size_t texturesSize = 512;

// The parts of a Morrowind LAND that its quads are built from, pointing
// into the record's data: VNML and VCLR (65 x 65 x 3 bytes), VHGT (offset,
// 65 x 65 deltas, 3 more bytes), VTEX (512 bytes). Colours and textures may
// be missing (null).
struct LandInput {
    int32_t gridX = 0, gridY = 0;
    const uint8_t* normals = nullptr;
    const uint8_t* heights = nullptr;
    const uint8_t* colours = nullptr;
    const uint8_t* textures = nullptr;
};

// The vertices of a quad whose height had to move: a step between
// neighbours beyond a signed byte of deltas, and the largest error, in
// height units (8 game units each).
struct MovedHeights {
    long vertices = 0;
    int32_t largestError = 0;
};

// The data of the LAND record of a quad, into a record begun: DATA, VNML,
// VHGT, VCLR and the texture layers.
MovedHeights writeQuadData(const LandTextureTable& textures, const LandInput& input, Quad quad, RecordWriter& record);

// The VHGT of one quad: its height offset and 33 x 33 deltas. The first
// delta of a row is relative to the first vertex of the row below, every
// other delta to the vertex before it. Deltas are encoded from the true
// heights, each clamped to a signed byte, so an unreachable step costs
// only the vertices that cannot be reached.
struct QuadHeights {
    float offset = 0.0f;
    std::array<int8_t, quadSide * quadSide> deltas{};
    MovedHeights moved;
};
QuadHeights encodeQuadHeights(float offset, const int8_t* deltas, Quad quad);

// Reads a LAND record's parts; false (after any message) when it cannot be converted.
bool readLand(ProblemSink& problems, RecordData record, LandInput& input);
// The land's height offset as the quads' offsets are built from it: 8 x H
// rounded to a float, infinite for an H beyond about 4.25e37.
float scaledHeightOffset(float offset);
// Whether every quad's offset comes out finite: the scaled offset is, and
// each quad's offset is an eighth of it plus the sum of at most 65 deltas.
bool heightOffsetConverts(float offset);

}  // namespace landfer
