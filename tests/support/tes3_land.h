// Landscape inputs for the tests: exterior cells, LAND records built from
// a height function, LTEX records; and a reader of TES3 plugins, to compare
// the output with the input it came from.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tes3_builder.h"

namespace tes3 {

// A CELL with NAME, DATA (flags, grid) and the given extra subrecords after it.
Record cell(std::string_view name, int32_t gridX, int32_t gridY, uint32_t flags = 0);

// True heights of a 65 x 65 land, in height units; row 0 south, column 0 west.
using HeightFunction = std::function<int32_t(int row, int column)>;

struct LandOptions {
    bool colours = false;
    std::vector<uint16_t> vtex;  // 256 numbers in stored order, or empty
    float offset = 0.0f;
    // 65 x 65 x 3 bytes each, replacing the built-in patterns when given.
    Bytes normalBytes;
    Bytes colourBytes;
};

// A LAND whose deltas encode heights(r, c) exactly (each step must fit a signed byte).
Record land(int32_t gridX, int32_t gridY, const HeightFunction& heights, const LandOptions& options = LandOptions());

Record landTexture(std::string_view id, int32_t index, std::string_view file);

// References, to append to a CELL with raw(). FRMR is the object index in
// its low 24 bits, the master (N-th of the MAST list, 0 for the file's own) in the high byte.
constexpr uint32_t frmr(uint32_t master, uint32_t index) { return master << 24 | index; }
// FRMR, NAME, the extra subrecords, DATA (the position, rotation 0).
Bytes reference(uint32_t number, std::string_view id, float x, float y, float z = 0, const Bytes& extra = {});
// FRMR, NAME, DELE: the reference removed.
Bytes deletedReference(uint32_t number, std::string_view id);
// MVRF (the number), CNDT (the exterior grid it moves to), then the reference at its new place.
Bytes movedReference(uint32_t number, int32_t gridX, int32_t gridY, std::string_view id, float x, float y);

// The vertex heights (offset + deltas) that a VHGT of side x side vertices
// encodes: 65 in a Morrowind land, 33 in an Oblivion one.
std::vector<double> decodeHeights(const Bytes& vhgt, int side);

struct ReadSubrecord {
    std::string type;
    Bytes data;
};
struct ReadRecord {
    std::string type;
    std::vector<ReadSubrecord> subrecords;
    const ReadSubrecord* find(const std::string& type) const;
};
std::vector<ReadRecord> readPlugin(const Bytes& bytes);

}  // namespace tes3
