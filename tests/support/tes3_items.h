// Morrowind item records for the tests: the id, and the data subrecord the
// mapping by kind reads (type or slot, weight, value; a potion's first effect).
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "tes3_builder.h"

namespace tes3 {

// WEAP with WPDT: weight, value, weapon type (16 bits), the rest 0.
inline Record weapon(std::string_view id, uint16_t type, int32_t value, float weight = 10) {
    Bytes data(32, 0);
    Bytes head = floats({weight}), price = int32s({value});
    std::memcpy(&data[0], head.data(), 4);
    std::memcpy(&data[4], price.data(), 4);
    data[8] = static_cast<uint8_t>(type);
    data[9] = static_cast<uint8_t>(type >> 8);
    return Record("WEAP").ztext("NAME", id).ztext("MODL", "w\\" + std::string(id) + ".nif").sub("WPDT", data);
}

// ARMO with AODT: slot, weight, value, health, enchantment, armour rating.
inline Record armour(std::string_view id, int32_t slot, float weight, int32_t value) {
    Bytes data = int32s({slot});
    Bytes rest = floats({weight}), numbers = int32s({value, 100, 10, 10});
    data.insert(data.end(), rest.begin(), rest.end());
    data.insert(data.end(), numbers.begin(), numbers.end());
    return Record("ARMO").ztext("NAME", id).sub("AODT", data);
}

// CLOT with CTDT: slot, weight, value and enchantment (16 bits each).
inline Record clothing(std::string_view id, int32_t slot, uint16_t value) {
    Bytes data = int32s({slot});
    Bytes weight = floats({1});
    data.insert(data.end(), weight.begin(), weight.end());
    data.insert(data.end(), {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), 0, 0});
    return Record("CLOT").ztext("NAME", id).sub("CTDT", data);
}

// ALCH with ALDT (weight, value, auto-calculated) and one ENAM effect.
inline Record potion(std::string_view id, uint16_t effect, int8_t attribute = -1) {
    Bytes enam(24, 0);
    enam[0] = static_cast<uint8_t>(effect);
    enam[1] = static_cast<uint8_t>(effect >> 8);
    enam[2] = 0xFF;
    enam[3] = static_cast<uint8_t>(attribute);
    Bytes aldt = floats({1});
    Bytes numbers = int32s({20, 0});
    aldt.insert(aldt.end(), numbers.begin(), numbers.end());
    return Record("ALCH").ztext("NAME", id).sub("ALDT", aldt).sub("ENAM", enam);
}

}  // namespace tes3
