#include "esm/compression_queue.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "esm/fatal_error.h"

namespace landfer {

CompressionQueue::Ring::Ring(size_t size) : batches(size) {
    for (Batch& batch : batches)
        for (int i = 0; i < batchLimit; ++i) batch.writers[i] = &batch.records[i];
}

CompressionQueue::CompressionQueue(RecordCompressor& callers, bool oneCore, std::string spillPath)
    : callers_{callers, nullptr},
      workers_{workersCompressor_, nullptr},
      spillPath_(std::move(spillPath)),
      queued_(capacity),
      setAside_(spillPath_.empty() ? 0 : defaultWaitLimit),
      oneCore_(oneCore) {}

CompressionQueue::~CompressionQueue() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    if (!spillFile_.isOpen()) return;
    callers_.spill.reset();
    workers_.spill.reset();
    try {
        spillFile_.close();
    } catch (const FatalError&) {
        // It held only data read back by now, or given up with the run.
    }
    std::remove(spillPath_.c_str());
}

void CompressionQueue::setWaitLimit(size_t batches) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (spillPath_.empty() || setAside_.given > 0 || batches == 0 || batches == setAside_.batches.size()) return;
    setAside_ = Ring(batches);
}

RecordWriter* const* CompressionQueue::startBatch(int count, bool mayWait) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        handBackFinished(lock);
        bool canWait = mayWait && !setAside_.batches.empty() && thread_.joinable() && !setAside_.full();
        building_ = queued_.full() && canWait ? &setAside_ : &queued_;
    }
    if (building_ == &queued_) handBack(capacity - 1, false);
    Batch& batch = building_->at(building_->given);
    batch.count = count < 1 ? 1 : count > batchLimit ? batchLimit : count;
    return batch.writers.data();
}

void CompressionQueue::give(Finished finished) {
    Ring& ring = building_ != nullptr ? *building_ : queued_;
    building_ = nullptr;
    Batch& batch = ring.at(ring.given);
    for (int i = 0; i < batch.count; ++i) batch.records[i].checkSizes();
    batch.finished = std::move(finished);
    batch.error = nullptr;
    if (!startWorker()) {
        for (int i = 0; i < batch.count; ++i) batch.records[i].compressWith(callers_.compressor);
        ++ring.given;
        ++ring.taken;
        ++ring.head;
        batch.finished(batch.writers.data(), batch.count);
        return;
    }
    if (&ring == &setAside_) spill(batch);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch.untaken = 0;
        batch.remaining = batch.count;
        ++ring.given;
    }
    wake_.notify_one();
}

void CompressionQueue::spill(Batch& batch) {
    if (!spillFile_.isOpen() && !spillFile_.open(spillPath_, "wb"))
        fatal("Unable to open %s for writing: %s\n", spillPath_.c_str(), systemErrorText().c_str());
    {
        // Nothing set aside waits any more: the file starts again from nothing.
        std::lock_guard<std::mutex> lock(mutex_);
        if (setAside_.pending() == 0) spillFile_.restart();
    }
    batch.spillOffset = spillFile_.position();
    for (int i = 0; i < batch.count; ++i) {
        const std::vector<uint8_t>& data = batch.records[i].data();
        batch.sizes[i] = data.size();
        spillFile_.write(data.data(), data.size());
        batch.records[i].releaseStorage();
    }
    // Whole in the file before another thread reads it.
    spillFile_.flush();
}

void CompressionQueue::unspill(Batch& batch, Hand& hand) {
    errno = 0;
    if (!hand.spill) {
        hand.spill = openForReading(spillPath_);
        if (!hand.spill) fatal("Unable to open %s for reading: %s\n", spillPath_.c_str(), systemErrorText().c_str());
        std::setvbuf(hand.spill.get(), nullptr, _IONBF, 0);
    }
    if (!seekFile(hand.spill.get(), batch.spillOffset, SEEK_SET))
        fatal("Unable to read from %s: %s\n", spillPath_.c_str(), systemErrorText().c_str());
    for (int i = 0; i < batch.count; ++i) {
        uint8_t* data = batch.records[i].restoreData(batch.sizes[i]);
        if (std::fread(data, 1, batch.sizes[i], hand.spill.get()) != batch.sizes[i]) {
            if (errno == 0) errno = EIO;
            fatal("Unable to read from %s: %s\n", spillPath_.c_str(), systemErrorText().c_str());
        }
    }
}

bool CompressionQueue::take(Unit& unit, bool setAside) {
    Ring& ring = queued_;
    while (ring.taken < ring.given && ring.at(ring.taken).untaken == ring.at(ring.taken).count) ++ring.taken;
    if (ring.taken < ring.given) {
        unit = Unit{&ring, ring.taken, ring.at(ring.taken).untaken++};
        return true;
    }
    if (!setAside || setAside_.taken == setAside_.given) return false;
    setAside_.at(setAside_.taken).untaken = setAside_.at(setAside_.taken).count;
    unit = Unit{&setAside_, setAside_.taken++, -1};
    return true;
}

void CompressionQueue::compressUnit(Unit unit, Hand& hand, std::unique_lock<std::mutex>& lock) {
    Batch& batch = unit.ring->at(unit.batch);
    lock.unlock();
    std::exception_ptr error;
    try {
        if (unit.record < 0) unspill(batch, hand);
        int first = unit.record < 0 ? 0 : unit.record, end = unit.record < 0 ? batch.count : unit.record + 1;
        // A batch set aside may wait long once compressed: it keeps only its
        // bodies. A queued one keeps its storage for the next batch in its slot.
        for (int i = first; i < end; ++i) {
            if (unit.record < 0)
                batch.records[i].compressToKeep(hand.compressor);
            else
                batch.records[i].compressWith(hand.compressor);
        }
    } catch (...) {
        // Not raised on this thread, which may be the worker's: the caller
        // raises it when the batch is handed back.
        error = std::current_exception();
    }
    lock.lock();
    if (error && !batch.error) batch.error = error;
    batch.remaining -= unit.record < 0 ? batch.count : 1;
    if (batch.remaining == 0) done_.notify_one();
}

bool CompressionQueue::handBackOldest(Ring& ring, std::unique_lock<std::mutex>& lock) {
    if (ring.head == ring.given || ring.at(ring.head).remaining > 0) return false;
    Batch& oldest = ring.at(ring.head++);
    lock.unlock();
    if (oldest.error) {
        lock.lock();
        std::rethrow_exception(oldest.error);
    }
    oldest.finished(oldest.writers.data(), oldest.count);
    // A slot of the spill's waits long for its next batch: it holds no memory meanwhile.
    if (&ring == &setAside_)
        for (int i = 0; i < oldest.count; ++i) oldest.records[i].releaseStorage();
    lock.lock();
    return true;
}

void CompressionQueue::handBackFinished(std::unique_lock<std::mutex>& lock) {
    while (handBackOldest(queued_, lock) || handBackOldest(setAside_, lock)) {
    }
}

void CompressionQueue::handBack(size_t pending, bool all) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        handBackFinished(lock);
        size_t out = queued_.pending() + (all ? setAside_.pending() : 0);
        if (out <= pending) return;
        Unit unit;
        if (take(unit, all)) {
            compressUnit(unit, callers_, lock);
            continue;
        }
        Batch& waitedFor = queued_.pending() > 0 ? queued_.at(queued_.head) : setAside_.at(setAside_.head);
        done_.wait(lock, [&] { return waitedFor.remaining == 0; });
    }
}

void CompressionQueue::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        Unit unit;
        wake_.wait(lock, [&] { return stopping_ || take(unit, true); });
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
