// Compresses several records at once on two cores: the calling thread
// takes the even ones, a worker thread (started at the first use, kept for
// the run) the odd ones. Every record has its own stream from its own
// deflateReset, so the bodies are byte for byte those of one core.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "plugin/compression.h"

namespace landfer {

class TwoCoreCompressor {
public:
    TwoCoreCompressor() = default;
    ~TwoCoreCompressor();
    TwoCoreCompressor(const TwoCoreCompressor&) = delete;
    TwoCoreCompressor& operator=(const TwoCoreCompressor&) = delete;

    // Fills bodies[i] from data[i], i < count, and returns when all are done.
    void compress(const std::vector<uint8_t>* data, RecordBody* bodies, int count, FILE* messages);

private:
    void compressEvery(RecordCompressor& compressor, int first);
    void work();

    RecordCompressor own_, workers_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    bool jobWaiting_ = false, stopping_ = false;
    const std::vector<uint8_t>* data_ = nullptr;
    RecordBody* bodies_ = nullptr;
    int count_ = 0;
    FILE* messages_ = nullptr;
};

}  // namespace landfer
