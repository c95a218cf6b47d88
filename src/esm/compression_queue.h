// Records compressed in the background while the calling thread goes on
// making the next ones. The caller fills the writers of a batch (the four
// quads of a land), gives it with what to do once it is compressed, and
// goes on; a worker thread (started at the first batch, kept for the run)
// compresses batch after batch. The finished batches are handed back on
// the caller's thread, in the order they were given, so that what they
// write keeps its order. A compressor keeps nothing from one record to
// the next: the bodies are byte for byte those of one core.
//
// The caller makes records faster than one core compresses them, so the
// queue fills and the caller compresses too; but after the input it has
// work of its own (placing the references) while the worker would have
// none. So a batch whose order does not matter (a land, staged behind its
// own cell) may wait instead: while the queue is full, up to waitLimit of
// them are set aside in a spill file, their data freed, and the worker
// takes them when nothing else is left, the caller at the latest when
// everything is wanted at once. They are handed back whenever they are
// done, in their own order. Without a worker thread (one core, or none
// could be started) each batch is compressed and handed back as it is
// given. Memory that cannot be had and a spill file that cannot be read,
// in either thread, are raised to the caller when the batch is handed back.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "esm/compression.h"
#include "esm/file_writer.h"
#include "esm/read_file.h"
#include "esm/record_writer.h"

namespace landfer {

class CompressionQueue {
public:
    // What is done with a batch once its records are compressed: called on
    // the caller's thread, which may then end them into a sink.
    using Finished = std::function<void(RecordWriter* const* records, int count)>;
    static constexpr int batchLimit = 4;
    // Batches given and not yet handed back, at most, with their data in
    // memory (about 42 KB for a land).
    static constexpr size_t capacity = 64;
    // Batches set aside in the spill file, at most, unless setWaitLimit
    // says otherwise (about 42 KB of the file each, and 16 KB of memory
    // once compressed until handed back).
    static constexpr size_t defaultWaitLimit = 1024;

    // The calling thread compresses with the caller's own compressor.
    // oneCore: no worker thread is ever started. spillPath: the spill
    // file, made at the first batch set aside and removed with the queue;
    // empty for none.
    CompressionQueue(RecordCompressor& callers, bool oneCore, std::string spillPath = std::string());
    ~CompressionQueue();
    CompressionQueue(const CompressionQueue&) = delete;
    CompressionQueue& operator=(const CompressionQueue&) = delete;

    // The writers of the next batch of count (1 to batchLimit) records.
    // mayWait: the batch may be handed back after batches given later.
    // When the queue is full and the batch cannot wait, the oldest batch
    // is finished first.
    RecordWriter* const* startBatch(int count, bool mayWait = false);
    // Gives the batch started; its records' sizes are checked here
    // (OversizedSubrecord, with nothing given).
    void give(Finished finished);
    // Hands back every batch given, compressing on this thread too.
    void finishAll() { handBack(0, true); }
    // Hands back the batches finished by now, waiting for none.
    void handBackFinished() { handBack(SIZE_MAX, false); }
    // How many batches may be set aside, before the first is.
    void setWaitLimit(size_t batches);

private:
    struct Batch {
        std::array<RecordWriter, batchLimit> records;
        std::array<RecordWriter*, batchLimit> writers{};
        int count = 0;
        int untaken = 0;    // the next record to compress
        int remaining = 0;  // records not yet compressed
        // Set aside: the records' data wait in the spill file from spillOffset on.
        int64_t spillOffset = 0;
        std::array<size_t, batchLimit> sizes{};
        Finished finished;
        std::exception_ptr error;
    };
    // Batches in the order given: handed back below head, given below
    // given, records untaken from taken on.
    struct Ring {
        explicit Ring(size_t size);
        Batch& at(uint64_t sequence) { return batches[sequence % batches.size()]; }
        size_t pending() const { return static_cast<size_t>(given - head); }
        bool full() const { return pending() == batches.size(); }
        std::vector<Batch> batches;
        uint64_t head = 0, given = 0, taken = 0;
    };
    // A record to compress: its ring, its batch (a sequence number) and
    // its place in it; a batch set aside is taken whole (record -1).
    struct Unit {
        Ring* ring;
        uint64_t batch;
        int record;
    };
    // What a thread compresses with: its compressor and its own reader of the spill file.
    struct Hand {
        RecordCompressor& compressor;
        ReadFile spill;
    };

    // Writes the batch's data to the spill file and frees it.
    void spill(Batch& batch);
    // Reads a set-aside batch's data back into its records.
    void unspill(Batch& batch, Hand& hand);
    // Hands back the finished batches, then, while more than `pending`
    // batches are out (counting those set aside only when `all`),
    // compresses or waits.
    void handBack(size_t pending, bool all);
    // Under the lock: hands back every finished batch at the head of either ring.
    void handBackFinished(std::unique_lock<std::mutex>& lock);
    // Under the lock: hands back the oldest finished batch of a ring, if
    // any (the lock is let go meanwhile); false when there is none.
    bool handBackOldest(Ring& ring, std::unique_lock<std::mutex>& lock);
    // Under the lock: the next record no thread has taken, if any; those set aside only when `setAside`.
    bool take(Unit& unit, bool setAside);
    // Compresses a taken unit outside the lock and counts it done under it.
    void compressUnit(Unit unit, Hand& hand, std::unique_lock<std::mutex>& lock);
    void work();
    bool startWorker();

    RecordCompressor workersCompressor_;
    Hand callers_;
    Hand workers_;
    std::string spillPath_;
    FileWriter spillFile_;  // written by the caller's thread alone
    Ring queued_, setAside_;
    Ring* building_ = nullptr;  // the ring of the batch started
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    bool stopping_ = false;
    bool oneCore_;
};

}  // namespace landfer
