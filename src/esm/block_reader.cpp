#include "esm/block_reader.h"

#include <algorithm>
#include <cstring>

namespace landfer {

BlockReader::BlockReader(ReadFile file, size_t blockSize) : file_(std::move(file)), blockSize_(blockSize) {
    if (file_) std::setvbuf(file_.get(), nullptr, _IONBF, 0);
}

size_t BlockReader::read(void* data, size_t length) {
    uint8_t* out = static_cast<uint8_t*>(data);
    size_t done = 0;
    while (done < length) {
        if (next_ == end_) {
            size_t rest = length - done;
            if (rest >= blockSize_) {
                blockStart_ += static_cast<int64_t>(end_);
                next_ = end_ = 0;
                size_t got = std::fread(out + done, 1, rest, file_.get());
                blockStart_ += static_cast<int64_t>(got);
                return done + got;
            }
            if (!fill(rest)) return done;
        }
        size_t part = std::min(length - done, end_ - next_);
        std::memcpy(out + done, block_.data() + next_, part);
        next_ += part;
        done += part;
    }
    return done;
}

bool BlockReader::fill(size_t wanted) {
    blockStart_ += static_cast<int64_t>(end_);
    next_ = end_ = 0;
    // After a jump only what is wanted is read, and a little more for the
    // pieces that lie next to it: a whole block would be mostly thrown away.
    size_t length = blockSize_;
    if (jumped_) length = std::min(blockSize_, std::max(wanted, minimumRead));
    jumped_ = false;
    block_.resize(blockSize_);
    end_ = std::fread(block_.data(), 1, length, file_.get());
    return end_ > 0;
}

size_t BlockReader::held(const uint8_t*& data, size_t wanted) {
    if (next_ == end_) fill(wanted);
    data = block_.data() + next_;
    return end_ - next_;
}

bool BlockReader::failed() const { return std::ferror(file_.get()) != 0; }

bool BlockReader::skip(uint64_t length) {
    if (length <= end_ - next_) {
        next_ += static_cast<size_t>(length);
        return true;
    }
    return seek(position() + static_cast<int64_t>(length));
}

bool BlockReader::seek(int64_t offset) {
    if (offset >= blockStart_ && offset <= blockStart_ + static_cast<int64_t>(end_)) {
        next_ = static_cast<size_t>(offset - blockStart_);
        return true;
    }
    // The system's position is where the block ends: no call when the jump lands there.
    if (offset != blockStart_ + static_cast<int64_t>(end_) && !seekFile(file_.get(), offset, SEEK_SET)) return false;
    blockStart_ = offset;
    next_ = end_ = 0;
    jumped_ = true;
    return true;
}

int64_t BlockReader::size() {
    int64_t size = -1;
    if (seekFile(file_.get(), 0, SEEK_END)) size = tellFile(file_.get());
    // Back to where the block ends, where the next read from the system starts.
    if (!seekFile(file_.get(), blockStart_ + static_cast<int64_t>(end_), SEEK_SET)) return -1;
    return size;
}

}  // namespace landfer
