// A Morrowind CELL record's head, as it is read: its name, flags and grid,
// and what an interior carries besides (region, lighting, water, map
// colour). The references follow the head.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "esm/record_reader.h"

namespace landfer {

// Morrowind's cell flags (DATA).
constexpr uint32_t morrowindInteriorFlag = 0x01;
constexpr uint32_t morrowindWaterFlag = 0x02;
constexpr uint32_t morrowindNoSleepFlag = 0x04;
constexpr uint32_t morrowindLikeExteriorFlag = 0x80;

// AMBI: three colours (R, G, B, unused) and the fog's density.
struct CellLighting {
    std::array<uint8_t, 4> ambient{};
    std::array<uint8_t, 4> sunlight{};
    std::array<uint8_t, 4> fog{};
    float fogDensity = 0.0f;
};

struct MorrowindCell {
    std::string name;
    uint32_t flags = 0;
    int32_t gridX = 0, gridY = 0;
    // An interior: the interior flag, or interior lighting or water right after the head.
    bool interior = false;
    bool hasRegion = false;       // RGNN
    bool hasMapColour = false;    // NAM5
    std::optional<CellLighting> lighting;  // AMBI
    std::optional<float> waterHeight;      // WHGT, or the older whole-number INTV
    // Where the subrecords behind the head (NAME, DELE, DATA, RGNN) begin;
    // the references are among them.
    size_t afterHead = 0;
};

// Reads a CELL record's head and the subrecords before its first
// reference. Raises MalformedRecord where a subrecord does not fit the
// data, or NAME or a DATA of 12 bytes is missing.
MorrowindCell readCell(RecordData record);

}  // namespace landfer
