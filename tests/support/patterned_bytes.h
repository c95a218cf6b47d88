// Record-like test data: bytes that deflate compresses somewhat, different
// for every seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<uint8_t> patternedBytes(size_t size, size_t seed) {
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>((i * i / 7 + seed) % 251);
    return data;
}
