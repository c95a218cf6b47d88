#include "cache/two_core_compressor.h"

namespace landfer {

TwoCoreCompressor::~TwoCoreCompressor() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void TwoCoreCompressor::compressEvery(RecordCompressor& compressor, int first) {
    for (int i = first; i < count_; i += 2) compressor.makeBody(data_[i].data(), data_[i].size(), messages_, bodies_[i]);
}

void TwoCoreCompressor::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return jobWaiting_ || stopping_; });
        if (stopping_) return;
        lock.unlock();
        compressEvery(workers_, 1);
        lock.lock();
        jobWaiting_ = false;
        done_.notify_one();
    }
}

void TwoCoreCompressor::compress(const std::vector<uint8_t>* data, RecordBody* bodies, int count, FILE* messages) {
    if (!thread_.joinable()) thread_ = std::thread(&TwoCoreCompressor::work, this);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        data_ = data;
        bodies_ = bodies;
        count_ = count;
        messages_ = messages;
        jobWaiting_ = true;
    }
    wake_.notify_one();
    compressEvery(own_, 0);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return !jobWaiting_; });
}

}  // namespace landfer
