// Little-endian byte order helpers shared by the reader and the writers.
// Every number in both plugin formats is little-endian; these work byte by
// byte so the host's own byte order never matters. They are the one family
// of such helpers: reading (read*), storing into a buffer (store*) and
// appending to a byte vector (append*).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace landfer {

// A number from the bytes at p, low byte first.
inline uint16_t readUint16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t readUint32(const uint8_t* p) {
    return static_cast<uint32_t>(readUint16(p)) | (static_cast<uint32_t>(readUint16(p + 2)) << 16);
}
inline int32_t readInt32(const uint8_t* p) { return static_cast<int32_t>(readUint32(p)); }

// Stores a number into dest, low byte first.
inline void storeUint16(uint8_t* dest, uint16_t value) {
    dest[0] = static_cast<uint8_t>(value);
    dest[1] = static_cast<uint8_t>(value >> 8);
}
inline void storeUint32(uint8_t* dest, uint32_t value) {
    storeUint16(dest, static_cast<uint16_t>(value & 0xFFFF));
    storeUint16(dest + 2, static_cast<uint16_t>(value >> 16));
}

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

// Appends a number, low byte first, or a four-character type: laid out
// first, then inserted whole (one check of the storage, not one per byte).
inline void appendUint16(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[2];
    storeUint16(bytes, static_cast<uint16_t>(value));
    out.insert(out.end(), bytes, bytes + 2);
}
inline void appendUint32(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    storeUint32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}
inline void appendFloat(std::vector<uint8_t>& out, float value) { appendUint32(out, floatBits(value)); }
inline void appendType(std::vector<uint8_t>& out, std::string_view type) {
    out.insert(out.end(), type.begin(), type.begin() + 4);
}

// A-Z folded to a-z, as both games compare ids and names: the one way
// letter case is folded, in place (storage kept) or into a copy.
void foldCase(std::string& text);
std::string foldedCase(std::string_view text);

}  // namespace landfer
