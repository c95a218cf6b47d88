#include "esm/deflater.h"

#include <thread>

namespace landfer {

void Deflater::compress(const std::vector<uint8_t>& data, RecordBody& body) {
    compressor_.makeBody(data.data(), data.size(), body);
}

void Deflater::compress(const CompressionJob* jobs, int count) {
    if (!hardwareChecked_) {
        hardwareChecked_ = true;
        if (std::thread::hardware_concurrency() >= 2) twoCores_ = std::make_unique<TwoCoreCompressor>(compressor_);
    }
    if (twoCores_) {
        twoCores_->compress(jobs, count);
        return;
    }
    for (int i = 0; i < count; ++i) compress(*jobs[i].data, *jobs[i].body);
}

}  // namespace landfer
