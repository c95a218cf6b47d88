// Subrecords of Morrowind NPC_ records, for the tests and the sample plugin.
#pragma once

#include <cstring>
#include <string_view>

#include "tes3_builder.h"

namespace tes3 {

struct NpcStats {
    int16_t level = 1;
    int8_t attributes[8] = {40, 40, 40, 40, 40, 40, 40, 40};
    int8_t skills[27] = {};
    uint16_t health = 50;
    uint16_t spellPoints = 0;
    uint16_t fatigue = 0;
};

// The 52-byte NPDT of an NPC with its own statistics.
inline Bytes longNpdt(const NpcStats& stats) {
    Bytes data(52, 0);
    data[0] = static_cast<uint8_t>(stats.level);
    data[1] = static_cast<uint8_t>(static_cast<uint16_t>(stats.level) >> 8);
    std::memcpy(&data[2], stats.attributes, 8);
    std::memcpy(&data[10], stats.skills, 27);
    auto put16 = [&](size_t at, uint16_t value) {
        data[at] = static_cast<uint8_t>(value);
        data[at + 1] = static_cast<uint8_t>(value >> 8);
    };
    put16(38, stats.health);
    put16(40, stats.spellPoints);
    put16(42, stats.fatigue);
    return data;
}

// The 12-byte NPDT of an NPC whose statistics the game calculates.
inline Bytes shortNpdt(int16_t level) {
    Bytes data(12, 0);
    data[0] = static_cast<uint8_t>(level);
    data[1] = static_cast<uint8_t>(static_cast<uint16_t>(level) >> 8);
    return data;
}

// FLAG: 0x01 female, 0x02 essential, 0x04 respawn.
inline Bytes npcFlags(uint8_t flags) { return Bytes{flags, 0, 0, 0}; }

// NPCO: a count and a 32-byte item id.
inline Bytes inventoryEntry(int32_t count, std::string_view itemId) {
    Bytes data = int32s({count});
    Bytes id(32, 0);
    std::memcpy(id.data(), itemId.data(), itemId.size() < 32 ? itemId.size() : 32);
    data.insert(data.end(), id.begin(), id.end());
    return data;
}

// AIDT: hello, fight, flee, alarm and the rest 0.
inline Bytes aiData(uint8_t hello, uint8_t fight, uint8_t flee, uint8_t alarm) {
    Bytes data(12, 0);
    data[0] = hello;
    data[2] = fight;
    data[3] = flee;
    data[4] = alarm;
    return data;
}

}  // namespace tes3
