// A file read in large blocks: each read from the system fills a buffer of
// blockSize bytes, and what the caller reads is copied out of it, a larger
// read going straight into the caller's storage. The position is kept
// here, so that reading a record header costs no call to the system, and a
// step over a record that lies in the block costs none either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "esm/read_file.h"

namespace landfer {

class BlockReader {
public:
    // An input plugin is read from start to end; a staging file is read
    // back in pieces here and there, each read of a block costing its size.
    static constexpr size_t inputBlockSize = 512 << 10;
    static constexpr size_t stagedBlockSize = 64 << 10;
    // What is read at least after a jump outside the block.
    static constexpr size_t minimumRead = 16 << 10;

    BlockReader() = default;
    // Takes a file just opened, nothing read from it yet: its own stdio
    // buffer is turned off, since the block is the buffer.
    BlockReader(ReadFile file, size_t blockSize);

    bool isOpen() const { return file_ != nullptr; }
    FILE* file() const { return file_.get(); }
    void close() { file_.reset(); }

    // Reads up to length bytes into data and returns how many: fewer only
    // at the end of the file or on a read error (then failed() is true).
    size_t read(void* data, size_t length);
    bool failed() const;
    // The bytes held from the position on, at least one unless the file
    // ends (or fails) there: data points at them until the next call.
    // `wanted` is how many the caller is about to take.
    size_t held(const uint8_t*& data, size_t wanted);
    // Steps over length bytes (past the end too); false when the system cannot seek.
    bool skip(uint64_t length);
    // Goes to offset from the start; false when the system cannot seek.
    bool seek(int64_t offset);
    // The length of the file, or -1 when the system cannot tell it.
    int64_t size();
    // The offset of the next byte read.
    int64_t position() const { return blockStart_ + static_cast<int64_t>(next_); }

private:
    // Reads the next block from the system, of which `wanted` bytes are
    // needed now; false when nothing more comes.
    bool fill(size_t wanted);

    ReadFile file_;
    size_t blockSize_ = 0;
    std::vector<uint8_t> block_;
    size_t next_ = 0, end_ = 0;  // the next byte of the block and the end of what it holds
    int64_t blockStart_ = 0;     // the file offset of the block's first byte
    bool jumped_ = false;        // the last seek left the block
};

}  // namespace landfer
