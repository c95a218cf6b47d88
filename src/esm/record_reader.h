// Reading the input: the data of one TES3 record as a bounds-checked view,
// and a cursor that walks its subrecords (4-character type, 32-bit size,
// data). Nothing is ever read past the data given: a subrecord whose header
// or data does not fit raises MalformedRecord, and the run reports the
// record as malformed and skips it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace landfer {

// A TES3 subrecord's type and 32-bit size.
constexpr size_t inputSubrecordHeaderSize = 8;

// A record that cannot be converted; what() says what is wrong with it,
// at() the subrecord header where it is, when one is known.
class MalformedRecord : public std::runtime_error {
public:
    explicit MalformedRecord(const std::string& problem, const uint8_t* at = nullptr)
        : std::runtime_error(problem), at_(at) {}
    const uint8_t* at() const { return at_; }

private:
    const uint8_t* at_;
};

// The bytes behind a record header.
struct RecordData {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct Subrecord {
    std::string_view type;  // four characters
    const uint8_t* data = nullptr;
    size_t size = 0;

    bool is(std::string_view other) const { return type == other; }
    // The data up to its first 0 byte, or all of it.
    std::string_view text() const;
    // Raises MalformedRecord unless the data holds at least `needed` bytes.
    void require(size_t needed) const;
};

class SubrecordCursor {
public:
    explicit SubrecordCursor(RecordData record) : record_(record) {}

    bool atEnd() const { return offset_ >= record_.size; }
    size_t offset() const { return offset_; }
    // True when a whole subrecord header of this type stands at the cursor.
    bool nextIs(std::string_view type) const;
    // The subrecord at the cursor, without moving. Raises MalformedRecord
    // when its header or data runs past the end of the record.
    Subrecord peek() const;
    // The subrecord at the cursor, moving past it.
    Subrecord next();

private:
    RecordData record_;
    size_t offset_ = 0;
};

}  // namespace landfer
