#include "plugin/two_core_compressor.h"

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

void TwoCoreCompressor::compressUntaken(RecordCompressor& compressor) {
    for (int i; (i = nextRecord_.fetch_add(1)) < count_;)
        compressor.makeBody(data_[i].data(), data_[i].size(), messages_, bodies_[i]);
}

void TwoCoreCompressor::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return jobWaiting_ || stopping_; });
        if (stopping_) return;
        jobWaiting_ = false;
        working_ = true;
        lock.unlock();
        compressUntaken(workers_);
        lock.lock();
        working_ = false;
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
        nextRecord_ = 0;
        jobWaiting_ = true;
    }
    wake_.notify_one();
    compressUntaken(own_);
    std::unique_lock<std::mutex> lock(mutex_);
    // A job the worker has not taken yet is withdrawn: it is all done.
    jobWaiting_ = false;
    done_.wait(lock, [this] { return !working_; });
}

}  // namespace landfer
