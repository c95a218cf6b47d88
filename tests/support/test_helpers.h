// Small helpers that many tests share: a little-endian number written into
// bytes (to break a size field, say), a file's text and a search for a piece of text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace support {

// Writes value little-endian into bytes[offset] to bytes[offset + 3].
inline void putU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A whole file as text (a loss report's CSV, say).
std::string fileText(const std::string& path);

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace support
