// The compression queue when the system says no: a worker thread that
// cannot start means one core, memory that cannot be allocated in either
// thread is raised to the caller, and neither ends the process.
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "address_space_limit.h"
#include "fresh_body.h"
#include "patterned_bytes.h"
#include "queued_bodies.h"
#include "esm/compression.h"
#include "esm/compression_queue.h"
#include "tes4_reader.h"

using namespace landfer;

namespace {

constexpr size_t MiB = 1 << 20;

std::vector<std::vector<uint8_t>> quads(size_t size) {
    std::vector<std::vector<uint8_t>> records;
    for (size_t quad = 0; quad < 4; ++quad) records.push_back(patternedBytes(size, quad));
    return records;
}

}  // namespace

TEST(CompressionQueueLimits, AWorkerThatCannotStartMeansOneCore) {
    if (std::string why = limits::whyAddressSpaceLimitsCannotBeTested(); !why.empty()) GTEST_SKIP() << why;
    std::vector<std::vector<uint8_t>> records = quads(20000);
    std::vector<tes4::Bytes> expected;
    for (const auto& data : records) expected.push_back(freshBody(data));
    // 4 MiB more than is mapped: enough to compress, not for a thread's stack.
    int status = limits::runWithAddressSpaceLimit(4 * MiB, [] {}, [&] {
        RecordCompressor callers;
        CompressionQueue queue(callers, false);
        try {
            for (int repeat = 0; repeat < 3; ++repeat) {
                std::vector<std::vector<uint8_t>> bodies = queuedBodies(queue, records);
                for (size_t i = 0; i < 4; ++i)
                    if (bodies.size() != 4 || bodies[i] != expected[i]) return 2;
            }
        } catch (...) {
            return 3;
        }
        return 0;
    });
    EXPECT_EQ(status, 0) << "2: wrong bodies, 3: an exception, 1000 + n: killed by signal n";
}

TEST(CompressionQueueLimits, MemoryThatCannotBeAllocatedIsRaisedToTheCaller) {
    if (std::string why = limits::whyAddressSpaceLimitsCannotBeTested(); !why.empty()) GTEST_SKIP() << why;
    std::vector<std::vector<uint8_t>> records;
    // Room for the worker's stack, not for the body of a 16 MiB record in either thread.
    int status = limits::runWithAddressSpaceLimit(
        12 * MiB, [&] { records = quads(16 * MiB); },
        [&] {
            RecordCompressor callers;
            CompressionQueue queue(callers, false);
            // Repeated, so that the worker too takes records (which thread
            // takes which is up to them).
            for (int repeat = 0; repeat < 20; ++repeat) {
                try {
                    queuedBodies(queue, records);
                    return 0;
                } catch (const std::bad_alloc&) {
                }
            }
            return 3;
        });
    EXPECT_EQ(status, 3) << "0: no allocation failed, 1000 + n: killed by signal n";
}
