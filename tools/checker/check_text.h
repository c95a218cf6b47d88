// How the checks word a problem: where it is, and FormIDs in hexadecimal.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace inspect {

inline std::string at(size_t offset, const std::string& what) {
    return "at byte " + std::to_string(offset) + ": " + what;
}

inline std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

inline std::string gridText(int32_t x, int32_t y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

}  // namespace inspect
