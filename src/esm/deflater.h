// The one way records are compressed: a kept compressor for a single
// record on the calling thread, and for batches (the four quads of a land)
// the compression queue, which compresses them on a second core while the
// caller goes on, when the machine has two. The bodies are the same byte
// for byte either way.
#pragma once

#include <memory>
#include <string>

#include "esm/compression.h"
#include "esm/compression_queue.h"

namespace landfer {

class Deflater {
public:
    // spillPath: where the queue spills what waits to be compressed (none when empty).
    explicit Deflater(std::string spillPath = std::string()) : spillPath_(std::move(spillPath)) {}

    void compress(const std::vector<uint8_t>& data, RecordBody& body);
    // The calling thread's compressor.
    RecordCompressor& compressor() { return compressor_; }
    // The queue of batches compressed in the background, made at its first use.
    CompressionQueue& queue();
    // The batches finished by now handed back, when there is a queue.
    void handBackFinished() {
        if (queue_) queue_->handBackFinished();
    }

private:
    RecordCompressor compressor_;
    std::string spillPath_;
    std::unique_ptr<CompressionQueue> queue_;
};

}  // namespace landfer
