// The four characters that name a record, a subrecord or a group's label,
// in both plugin formats. A type is made from a four-letter literal
// ("CELL") at compile time, so a misspelt length does not build.
#pragma once

#include <cstring>
#include <string_view>

namespace landfer {

class RecordType {
public:
    constexpr RecordType(const char (&text)[5]) : chars_{text[0], text[1], text[2], text[3]} {}
    // The first four bytes at `data`, as a record or subrecord header holds them.
    static RecordType at(const void* data) {
        RecordType type("\0\0\0\0");
        std::memcpy(type.chars_, data, 4);
        return type;
    }

    constexpr const char* data() const { return chars_; }
    constexpr std::string_view view() const { return std::string_view(chars_, 4); }
    constexpr bool operator==(RecordType other) const {
        return chars_[0] == other.chars_[0] && chars_[1] == other.chars_[1] && chars_[2] == other.chars_[2] &&
               chars_[3] == other.chars_[3];
    }
    constexpr bool operator!=(RecordType other) const { return !(*this == other); }

private:
    char chars_[4];
};

}  // namespace landfer
