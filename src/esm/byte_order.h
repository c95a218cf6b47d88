// Little-endian byte order helpers shared by the reader and the writers.
// Every number in both plugin formats is little-endian; these work byte by
// byte so the host's own byte order never matters. They are the one family
// of such helpers: reading (read*), storing into a buffer (store*) and
// appending to a byte vector (append*).
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace landfer {

// b0 + 256*b1 + 65536*b2 + 16777216*b3, using only the low 8 bits of each.
int32_t bytesToInt32(int b0, int b1, int b2, int b3);

// Replaces A-Z by a-z in a 0-terminated text, in place.
void lowercaseInPlace(char* text);

inline uint32_t readUint32(const uint8_t* p) {
    return static_cast<uint32_t>(bytesToInt32(p[0], p[1], p[2], p[3]));
}
inline int32_t readInt32(const uint8_t* p) { return bytesToInt32(p[0], p[1], p[2], p[3]); }
inline uint16_t readUint16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Stores a number into dest, low byte first.
inline void storeUint16(uint8_t* dest, uint16_t value) {
    dest[0] = static_cast<uint8_t>(value);
    dest[1] = static_cast<uint8_t>(value >> 8);
}
inline void storeUint32(uint8_t* dest, uint32_t value) {
    storeUint16(dest, static_cast<uint16_t>(value & 0xFFFF));
    storeUint16(dest + 2, static_cast<uint16_t>(value >> 16));
}
// Stores value into dest[0..3], low byte first.
inline void int32ToBytes(int32_t value, uint8_t dest[4]) { storeUint32(dest, static_cast<uint32_t>(value)); }

// The bits of an IEEE 754 single, as the formats store a float.
inline uint32_t floatBits(float value) {
    static_assert(sizeof(float) == sizeof(uint32_t), "floats are 32-bit");
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A float from its stored bits.
inline float readFloat(const uint8_t* p) {
    uint32_t bits = readUint32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Appends a number, low byte first, or a four-character type.
inline void appendUint16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
inline void appendUint32(std::vector<uint8_t>& out, uint32_t value) {
    appendUint16(out, value & 0xFFFF);
    appendUint16(out, value >> 16);
}
inline void appendFloat(std::vector<uint8_t>& out, float value) { appendUint32(out, floatBits(value)); }
inline void appendType(std::vector<uint8_t>& out, std::string_view type) {
    out.insert(out.end(), type.begin(), type.begin() + 4);
}

}  // namespace landfer
