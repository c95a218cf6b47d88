#include "esm/compression_queue.h"

#include <system_error>

namespace landfer {

CompressionQueue::CompressionQueue(RecordCompressor& callers, bool oneCore)
    : callers_(callers), ring_(capacity), oneCore_(oneCore) {
    for (Batch& batch : ring_)
        for (int i = 0; i < batchLimit; ++i) batch.writers[i] = &batch.records[i];
}

CompressionQueue::~CompressionQueue() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

RecordWriter* const* CompressionQueue::startBatch(int count) {
    handBack(capacity - 1);
    Batch& batch = slot(given_);
    batch.count = count < 1 ? 1 : count > batchLimit ? batchLimit : count;
    return batch.writers.data();
}

void CompressionQueue::give(Finished finished) {
    Batch& batch = slot(given_);
    for (int i = 0; i < batch.count; ++i) batch.records[i].checkSizes();
    batch.finished = std::move(finished);
    batch.error = nullptr;
    if (!startWorker()) {
        for (int i = 0; i < batch.count; ++i) batch.records[i].compressWith(callers_);
        ++given_;
        ++taken_;
        ++head_;
        batch.finished(batch.writers.data(), batch.count);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch.untaken = 0;
        batch.remaining = batch.count;
        ++given_;
    }
    wake_.notify_one();
}

bool CompressionQueue::take(Unit& unit) {
    while (taken_ < given_ && slot(taken_).untaken == slot(taken_).count) ++taken_;
    if (taken_ == given_) return false;
    unit = Unit{taken_, slot(taken_).untaken++};
    return true;
}

void CompressionQueue::compressUnit(Unit unit, RecordCompressor& compressor, std::unique_lock<std::mutex>& lock) {
    Batch& batch = slot(unit.batch);
    lock.unlock();
    std::exception_ptr error;
    try {
        batch.records[unit.record].compressWith(compressor);
    } catch (...) {
        // Not raised on this thread, which may be the worker's: the caller
        // raises it when the batch is handed back.
        error = std::current_exception();
    }
    lock.lock();
    if (error && !batch.error) batch.error = error;
    if (--batch.remaining == 0 && unit.batch == head_) done_.notify_one();
}

void CompressionQueue::handBack(size_t pending) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (head_ < given_) {
        Batch& oldest = slot(head_);
        if (oldest.remaining == 0) {
            ++head_;
            lock.unlock();
            if (oldest.error) std::rethrow_exception(oldest.error);
            oldest.finished(oldest.writers.data(), oldest.count);
            lock.lock();
            continue;
        }
        if (given_ - head_ <= pending) return;
        Unit unit;
        if (take(unit))
            compressUnit(unit, callers_, lock);
        else
            done_.wait(lock, [&] { return oldest.remaining == 0; });
    }
}

void CompressionQueue::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        Unit unit;
        wake_.wait(lock, [&] { return stopping_ || take(unit); });
        if (stopping_) return;
        compressUnit(unit, workers_, lock);
    }
}

bool CompressionQueue::startWorker() {
    if (thread_.joinable()) return true;
    if (oneCore_) return false;
    try {
        thread_ = std::thread(&CompressionQueue::work, this);
        return true;
    } catch (const std::system_error&) {
        // No thread to be had (resources, limits): the calling thread does it all.
        oneCore_ = true;
        return false;
    }
}

}  // namespace landfer
