// Compresses several records at once on two cores: the calling thread and
// a worker thread (started at the first use, kept for the run) each take
// the next record not yet taken, so when the worker is slow to wake (the
// machine is busy) the caller simply does more. A compressor keeps nothing
// from one record to the next, so the bodies are byte for byte those of
// one core. When no worker thread can be started, the calling thread
// compresses them all; an exception in either thread (memory that cannot
// be allocated) is raised by compress once both are done.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "esm/compression.h"

namespace landfer {

class TwoCoreCompressor {
public:
    // Not copied: it holds a thread and a mutex. The calling thread
    // compresses its share with its own compressor, kept by the caller.
    explicit TwoCoreCompressor(RecordCompressor& callers) : callers_(callers) {}
    ~TwoCoreCompressor();

    // Fills the body of each of count jobs from its data, and returns when all are done.
    void compress(const CompressionJob* jobs, int count);

private:
    void compressUntaken(RecordCompressor& compressor);
    // The same, with an exception (memory that cannot be allocated) caught
    // and returned, so that neither thread ends the process.
    std::exception_ptr compressUntakenCatching(RecordCompressor& compressor);
    void work();
    // Starts the worker unless it runs; false when it cannot be started.
    bool startWorker();

    RecordCompressor& callers_;
    RecordCompressor workers_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    bool jobWaiting_ = false, working_ = false, stopping_ = false;
    bool oneCore_ = false;  // the worker could not be started
    std::exception_ptr workerError_;
    std::atomic<int> nextRecord_{0};
    const CompressionJob* jobs_ = nullptr;
    int count_ = 0;
};

}  // namespace landfer
