#include "esm/deflater.h"

#include <thread>

namespace landfer {

void Deflater::compress(const std::vector<uint8_t>& data, RecordBody& body) {
    compressor_.makeBody(data.data(), data.size(), body);
}

CompressionQueue& Deflater::queue() {
    if (!queue_) queue_ = std::make_unique<CompressionQueue>(compressor_, std::thread::hardware_concurrency() < 2, spillPath_);
    return *queue_;
}

}  // namespace landfer
