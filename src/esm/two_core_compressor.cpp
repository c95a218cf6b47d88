#include "esm/two_core_compressor.h"

#include <system_error>

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
        compressor.makeBody(jobs_[i].data->data(), jobs_[i].data->size(), *jobs_[i].body);
}

std::exception_ptr TwoCoreCompressor::compressUntakenCatching(RecordCompressor& compressor) {
    try {
        compressUntaken(compressor);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

void TwoCoreCompressor::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return jobWaiting_ || stopping_; });
        if (stopping_) return;
        jobWaiting_ = false;
        working_ = true;
        lock.unlock();
        // An exception must not end the process from this thread: the caller raises it.
        std::exception_ptr error = compressUntakenCatching(workers_);
        lock.lock();
        workerError_ = error;
        working_ = false;
        done_.notify_one();
    }
}

bool TwoCoreCompressor::startWorker() {
    if (thread_.joinable()) return true;
    if (oneCore_) return false;
    try {
        thread_ = std::thread(&TwoCoreCompressor::work, this);
        return true;
    } catch (const std::system_error&) {
        // No thread to be had (resources, limits): the calling thread does it all.
        oneCore_ = true;
        return false;
    }
}

void TwoCoreCompressor::compress(const CompressionJob* jobs, int count) {
    jobs_ = jobs;
    count_ = count;
    nextRecord_ = 0;
    if (!startWorker()) {
        compressUntaken(callers_);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobWaiting_ = true;
    }
    wake_.notify_one();
    std::exception_ptr error = compressUntakenCatching(callers_);
    std::unique_lock<std::mutex> lock(mutex_);
    // A job the worker has not taken yet is withdrawn: it is all done (or
    // this thread failed, and the job is given up).
    jobWaiting_ = false;
    done_.wait(lock, [this] { return !working_; });
    if (!error) error = workerError_;
    workerError_ = nullptr;
    if (error) std::rethrow_exception(error);
}

}  // namespace landfer
