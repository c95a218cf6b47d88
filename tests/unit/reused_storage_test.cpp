// The pieces the fast path reuses from record to record: a file emptied
// instead of recreated, one compressor kept for every record, and the
// quads compressed in the background.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fresh_body.h"
#include "patterned_bytes.h"
#include "queued_bodies.h"
#include "esm/compression.h"
#include "esm/compression_queue.h"
#include "esm/deflater.h"
#include "esm/file_writer.h"
#include "e2e_run.h"
#include "tes4_reader.h"

using namespace landfer;

namespace {

// Data of different sizes and contents, as LAND quads and NPCs give.
std::vector<std::vector<uint8_t>> sampleRecords() {
    std::vector<std::vector<uint8_t>> records;
    for (size_t size : {0u, 1u, 100u, 9000u, 70000u, 3000u}) records.push_back(patternedBytes(size, size));
    return records;
}

}  // namespace

TEST(ReusedStorage, RestartedFileHoldsOnlyWhatCameAfter) {
    e2e::WorkDir work;
    std::string path = work.path("cell1.tmp");
    FileWriter file;
    ASSERT_TRUE(file.open(path, "wb"));
    file.write("flushed to the file");
    file.flush();
    file.write("still buffered");
    file.restart();
    file.write("new");
    file.restart();  // again, with nothing flushed before
    file.write("cell");
    file.flush();
    EXPECT_EQ(tes4::readFileBytes(path), (tes4::Bytes{'c', 'e', 'l', 'l'}));
    file.write(" and more");
    file.close();
    std::string text(" and more");
    tes4::Bytes expected{'c', 'e', 'l', 'l'};
    expected.insert(expected.end(), text.begin(), text.end());
    EXPECT_EQ(tes4::readFileBytes(path), expected);
}

// A compressor made for one record is the reference every kept one must
// match. More batches than the queue holds, so that the caller compresses
// some of them too, and they come back in order.
TEST(ReusedStorage, KeptCompressorAndTheQueueGiveTheBodiesOfFreshCompressors) {
    std::vector<std::vector<uint8_t>> records = sampleRecords();
    std::vector<tes4::Bytes> expected;
    RecordCompressor kept;
    RecordBody body;
    for (const std::vector<uint8_t>& data : records) {
        expected.push_back(freshBody(data));
        kept.makeBody(data.data(), data.size(), body);
        EXPECT_TRUE(body.compressed);
        EXPECT_EQ(body.bytes, expected.back()) << data.size() << " bytes";
    }
    std::vector<std::vector<uint8_t>> many;
    for (size_t repeat = 0; repeat < 12 * CompressionQueue::capacity / records.size() + 7; ++repeat)
        many.insert(many.end(), records.begin(), records.end());
    e2e::WorkDir work;
    // Batches kept in order, then batches that may wait, some of them in the spill file.
    for (bool mayWait : {false, true}) {
        Deflater deflater(work.path("compression.tmp"));
        std::vector<size_t> order;
        std::vector<std::vector<uint8_t>> bodies = queuedBodies(deflater.queue(), many, mayWait, &order);
        ASSERT_EQ(bodies.size(), many.size());
        ASSERT_EQ(order.size(), (many.size() + 3) / 4);
        if (!mayWait) {
            EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
        }
        for (size_t i = 0; i < many.size(); ++i) {
            ASSERT_EQ(bodies[i], expected[i % records.size()]) << "record " << i << (mayWait ? ", may wait" : "");
            deflater.compress(many[i], body);
            ASSERT_EQ(body.bytes, expected[i % records.size()]) << "record " << i;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(work.path("compression.tmp"))) << "the spill file is removed with its queue";
}
