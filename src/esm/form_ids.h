// The plugin's own FormIDs: one counter, from 2000000, that every record
// takes in the order it is made, wherever it is written (the output, a
// staging file, memory); the FormID is 0x01000000 plus the counter value.
// Taking a FormID is apart from writing, so a record can be written later
// than it is made, and its FormID known before.
//
// The counter has 24 bits: 14 777 216 FormIDs from the first to 0x01FFFFFF.
// One more would wrap round to a FormID given before; the run ends first.
#pragma once

#include <cstdint>

#include "esm/fatal_error.h"

namespace landfer {

class FormIds {
public:
    static constexpr uint32_t firstValue = 2000000;
    static constexpr uint32_t lastValue = 0x00FFFFFF;

    explicit FormIds(uint32_t nextValue = firstValue) : next_(nextValue) {}

    uint32_t take() {
        uint32_t formId = peek();
        ++next_;
        return formId;
    }
    // The FormID that take() gives next.
    uint32_t peek() const {
        if (next_ > lastValue)
            fatal("Unable to give another record a FormID: the output already holds %lu records with FormIDs of "
                  "its own, as many as a plugin can number, and the next would repeat one.\n",
                  static_cast<unsigned long>(lastValue - firstValue + 1));
        return 0x01000000u | next_;
    }

private:
    uint32_t next_;
};

}  // namespace landfer
