// A file whose last bytes are held in memory before they are written, so
// that a size patched into them costs no seek: the output plugin patches
// the size of every group when it closes, and most groups (a cell's
// children, a sub-block) close while their header is still held. A patch
// further back goes to the file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "esm/file_writer.h"

namespace landfer {

class HeldOutput : public ByteSink {
public:
    // At most this many bytes are held.
    static constexpr size_t holdLimit = 256 << 10;

    HeldOutput() = default;
    // Takes an open file; what it already holds stays before what is written here.
    explicit HeldOutput(FileWriter file);
    // Only reached with bytes held while a fatal error unwinds: they are
    // written as far as they can be, so the file holds all that was made.
    ~HeldOutput() override;
    HeldOutput(HeldOutput&&) = default;
    HeldOutput& operator=(HeldOutput&&) = default;

    using ByteSink::write;
    void write(const void* data, size_t length) override;
    // The length of everything written, to the file or held.
    int64_t position() const { return heldStart_ + static_cast<int64_t>(held_.size()); }
    // Overwrites four bytes at offset, held or in the file.
    void patchUint32(int64_t offset, uint32_t value);
    const std::string& name() const { return file_.name(); }
    // Writes what is held and closes the file; failures are fatal.
    void close();

private:
    void release();

    FileWriter file_;
    std::vector<uint8_t> held_;
    int64_t heldStart_ = 0;  // the file offset of held_[0]
};

}  // namespace landfer
