// Records compressed in the background while the calling thread goes on
// making the next ones. The caller fills the writers of a batch (the four
// quads of a land), gives it with what to do once it is compressed, and
// goes on; a worker thread (started at the first batch, kept for the run)
// compresses batch after batch. The finished batches are handed back on
// the caller's thread, in the order they were given, so that what they
// write keeps its order. When the queue is full, or everything is wanted
// at once, the caller compresses the untaken records itself while it
// waits, so both cores stay busy. A compressor keeps nothing from one
// record to the next: the bodies are byte for byte those of one core.
// Without a worker thread (one core, or none could be started) each batch
// is compressed and handed back as it is given. Memory that cannot be had
// in either thread is raised to the caller when its batch is handed back.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "esm/compression.h"
#include "esm/record_writer.h"

namespace landfer {

class CompressionQueue {
public:
    // What is done with a batch once its records are compressed: called on
    // the caller's thread, which may then end them into a sink.
    using Finished = std::function<void(RecordWriter* const* records, int count)>;
    static constexpr int batchLimit = 4;
    // Batches given and not yet handed back, at most: about 15 KB each for a land.
    static constexpr size_t capacity = 64;

    // The calling thread compresses with the caller's own compressor.
    // oneCore: no worker thread is ever started.
    CompressionQueue(RecordCompressor& callers, bool oneCore);
    ~CompressionQueue();
    CompressionQueue(const CompressionQueue&) = delete;
    CompressionQueue& operator=(const CompressionQueue&) = delete;

    // The writers of the next batch of count (1 to batchLimit) records,
    // their storage reused from batch to batch. When the queue is full the
    // oldest batch is finished first.
    RecordWriter* const* startBatch(int count);
    // Gives the batch started; its records' sizes are checked here
    // (OversizedSubrecord, with nothing given).
    void give(Finished finished);
    // Hands back every batch given, compressing on this thread too.
    void finishAll() { handBack(0); }

private:
    struct Batch {
        std::array<RecordWriter, batchLimit> records;
        std::array<RecordWriter*, batchLimit> writers{};
        int count = 0;
        int untaken = 0;    // the next record to compress
        int remaining = 0;  // records not yet compressed
        Finished finished;
        std::exception_ptr error;
    };
    // A record to compress: its batch (a sequence number) and its place in it.
    struct Unit {
        uint64_t batch;
        int record;
    };

    Batch& slot(uint64_t sequence) { return ring_[sequence % capacity]; }
    // Hands back the finished oldest batches, then, while more than
    // `pending` batches are out, compresses or waits for the oldest.
    void handBack(size_t pending);
    // Under the lock: the next record no thread has taken, if any.
    bool take(Unit& unit);
    // Compresses a taken record outside the lock and counts it done under it.
    void compressUnit(Unit unit, RecordCompressor& compressor, std::unique_lock<std::mutex>& lock);
    void work();
    bool startWorker();

    RecordCompressor& callers_;
    RecordCompressor workers_;
    std::vector<Batch> ring_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    bool stopping_ = false;
    bool oneCore_;
    // Batch sequence numbers: handed back below head_, given below given_,
    // records untaken from taken_ on.
    uint64_t head_ = 0, given_ = 0, taken_ = 0;
};

}  // namespace landfer
