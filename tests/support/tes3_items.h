// Morrowind item records for the tests: the id, and the data subrecord the
// mapping by kind reads (type or slot, weight, value; a potion's first effect).
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
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

// An item of a kind read by its weight and value alone (INGR IRDT, APPA
// AADT, LOCK LKDT, PROB PBDT, REPA RIDT, BOOK BKDT; MISC MCDT with its
// flags, 1 for a key), with a model.
inline Record simpleItem(std::string_view type, std::string_view id, const char* dataType, int32_t flags = 0) {
    Bytes data = floats({1});
    Bytes numbers = int32s({10, flags, 0, 0});
    data.insert(data.end(), numbers.begin(), numbers.end());
    return Record(type).ztext("NAME", id).ztext("MODL", "i\\" + std::string(id) + ".nif").sub(dataType, data);
}

// CONT with its model, name, capacity 100, flags (FLAG: 0x2 respawns, 0x8
// always) and contents (count, item id).
inline Record container(std::string_view id, std::initializer_list<std::pair<int32_t, std::string_view>> contents,
                        int32_t flags = 0x08) {
    Record record("CONT");
    record.ztext("NAME", id).ztext("MODL", "c\\" + std::string(id) + ".nif").ztext("FNAM", "Name of " + std::string(id));
    record.sub("CNDT", floats({100})).sub("FLAG", int32s({flags}));
    for (const auto& [count, item] : contents) {
        Bytes npco = int32s({count});
        Bytes name(32, 0);
        std::memcpy(name.data(), item.data(), std::min<size_t>(item.size(), 32));
        npco.insert(npco.end(), name.begin(), name.end());
        record.sub("NPCO", npco);
    }
    return record;
}

// LIGH with LHDT: weight 1, value 5, time 300, the radius, colour (200, 150, 100) and flags; a model unless empty.
inline Record light(std::string_view id, int32_t flags, int32_t radius = 256, std::string_view model = "l\\light.nif") {
    Bytes lhdt = floats({1});
    Bytes numbers = int32s({5, 300, radius});
    lhdt.insert(lhdt.end(), numbers.begin(), numbers.end());
    lhdt.insert(lhdt.end(), {200, 150, 100, 0});
    Bytes flagBytes = int32s({flags});
    lhdt.insert(lhdt.end(), flagBytes.begin(), flagBytes.end());
    Record record("LIGH");
    record.ztext("NAME", id);
    if (!model.empty()) record.ztext("MODL", model);
    return record.sub("LHDT", lhdt);
}

}  // namespace tes3
