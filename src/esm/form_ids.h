// The plugin's own FormIDs: one counter, from 2000000, that every record
// takes in the order it is made, wherever it is written (the output, a
// staging file, memory); the FormID is 0x01000000 plus the counter value.
// Taking a FormID is apart from writing, so a record can be written later
// than it is made, and its FormID known before.
#pragma once

#include <cstdint>

namespace landfer {

class FormIds {
public:
    static constexpr uint32_t firstValue = 2000000;

    explicit FormIds(uint32_t nextValue = firstValue) : next_(nextValue) {}

    uint32_t take() { return 0x01000000u | (next_++ & 0x00FFFFFFu); }
    // The FormID that take() gives next.
    uint32_t peek() const { return 0x01000000u | (next_ & 0x00FFFFFFu); }

private:
    uint32_t next_;
};

}  // namespace landfer
