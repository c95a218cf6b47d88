#include "esm/held_output.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"

namespace landfer {

HeldOutput::HeldOutput(FileWriter file) : file_(std::move(file)) {
    if (file_.isOpen()) heldStart_ = file_.position();
}

HeldOutput::~HeldOutput() {
    if (held_.empty() || !file_.isOpen()) return;
    try {
        release();
    } catch (const FatalError&) {
        // The error that unwinds is the one reported.
    }
}

void HeldOutput::release() {
    file_.write(held_.data(), held_.size());
    heldStart_ += static_cast<int64_t>(held_.size());
    held_.clear();
}

void HeldOutput::write(const void* data, size_t length) {
    if (held_.size() + length > holdLimit) release();
    if (length > holdLimit) {
        file_.write(data, length);
        heldStart_ += static_cast<int64_t>(length);
        return;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    held_.insert(held_.end(), bytes, bytes + length);
}

void HeldOutput::patchUint32(int64_t offset, uint32_t value) {
    if (offset >= heldStart_ && offset + 4 <= position()) {
        storeUint32(held_.data() + (offset - heldStart_), value);
        return;
    }
    // Every byte up to heldStart_ is in the file, and its end is heldStart_.
    file_.patchUint32(offset, value);
}

void HeldOutput::close() {
    release();
    file_.close();
}

}  // namespace landfer
