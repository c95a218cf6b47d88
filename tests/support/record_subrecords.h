// The subrecords of a record's data as the output writes them (type,
// 16-bit size, data), for the tests of the pure builders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tes4_reader.h"

namespace support {

struct Sub {
    std::string type;
    std::vector<uint8_t> data;
};

// Walks subrecords of 16-bit sizes; fails the test on a cut-off one.
inline std::vector<Sub> subrecords(const std::vector<uint8_t>& data) {
    std::vector<Sub> subs;
    size_t at = 0;
    while (at < data.size()) {
        EXPECT_LE(at + 6, data.size());
        if (at + 6 > data.size()) break;
        size_t size = tes4::u16(data, at + 4);
        EXPECT_LE(at + 6 + size, data.size());
        if (at + 6 + size > data.size()) break;
        subs.push_back({std::string(data.begin() + at, data.begin() + at + 4),
                        std::vector<uint8_t>(data.begin() + at + 6, data.begin() + at + 6 + size)});
        at += 6 + size;
    }
    return subs;
}

}  // namespace support
