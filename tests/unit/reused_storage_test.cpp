// The pieces the fast path reuses from record to record: a file emptied
// instead of recreated, one compressor kept for every record, and the
// quads compressed on two cores.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "compression_jobs.h"
#include "fresh_body.h"
#include "patterned_bytes.h"
#include "esm/two_core_compressor.h"
#include "esm/compression.h"
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

// A compressor made for one record is the reference every kept one must match.
TEST(ReusedStorage, KeptCompressorAndTwoCoresGiveTheBodiesOfFreshCompressors) {
    std::vector<std::vector<uint8_t>> records = sampleRecords();
    RecordCompressor kept;
    RecordBody body;
    for (const std::vector<uint8_t>& data : records) {
        kept.makeBody(data.data(), data.size(), body);
        EXPECT_TRUE(body.compressed);
        EXPECT_EQ(body.bytes, freshBody(data)) << data.size() << " bytes";
    }
    RecordCompressor callers;
    TwoCoreCompressor twoCores(callers);
    Deflater deflater;
    std::vector<RecordBody> bodies(records.size()), deflated(records.size());
    for (int repeat = 0; repeat < 50; ++repeat) {
        twoCores.compress(compressionJobs(records, bodies).data(), static_cast<int>(records.size()));
        deflater.compress(compressionJobs(records, deflated).data(), static_cast<int>(records.size()));
        for (size_t i = 0; i < records.size(); ++i) {
            tes4::Bytes reference = freshBody(records[i]);
            ASSERT_EQ(bodies[i].bytes, reference) << "record " << i;
            ASSERT_EQ(deflated[i].bytes, reference) << "record " << i;
            deflater.compress(records[i], body);
            ASSERT_EQ(body.bytes, reference) << "record " << i;
        }
    }
}
