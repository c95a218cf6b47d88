#include "esm/record_reader.h"

#include <cstring>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"

namespace landfer {

std::string_view Subrecord::text() const {
    const void* end = std::memchr(data, 0, size);
    size_t length = end != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(end) - data) : size;
    return std::string_view(reinterpret_cast<const char*>(data), length);
}

void Subrecord::require(size_t needed) const {
    if (size < needed)
        throw MalformedRecord(formatText("its %.4s subrecord holds %zu of %zu bytes", type.data(), size, needed),
                              data != nullptr ? data - inputSubrecordHeaderSize : nullptr);
}

bool SubrecordCursor::nextIs(std::string_view type) const {
    if (record_.size - offset_ < inputSubrecordHeaderSize || offset_ >= record_.size) return false;
    return std::memcmp(record_.data + offset_, type.data(), 4) == 0;
}

Subrecord SubrecordCursor::peek() const {
    size_t left = record_.size - offset_;
    if (left < inputSubrecordHeaderSize)
        throw MalformedRecord(formatText("a subrecord header is cut off after %zu of 8 bytes", left),
                              record_.data + offset_);
    const uint8_t* header = record_.data + offset_;
    Subrecord sub;
    sub.type = std::string_view(reinterpret_cast<const char*>(header), 4);
    sub.size = readUint32(header + 4);
    sub.data = header + inputSubrecordHeaderSize;
    if (sub.size > left - inputSubrecordHeaderSize)
        throw MalformedRecord(formatText("its %.4s subrecord of %zu bytes runs past the end of the record",
                                         sub.type.data(), sub.size),
                              header);
    return sub;
}

Subrecord SubrecordCursor::next() {
    Subrecord sub = peek();
    offset_ += inputSubrecordHeaderSize + sub.size;
    return sub;
}

}  // namespace landfer
