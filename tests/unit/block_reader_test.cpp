// The block reader against the file's own bytes: reads that cross blocks,
// steps within the block and beyond it, jumps back into it and far away,
// and the end of the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "e2e_run.h"
#include "patterned_bytes.h"
#include "esm/block_reader.h"
#include "esm/file_writer.h"

using namespace landfer;

TEST(BlockReader, EveryReadStepAndJumpGivesTheFilesBytes) {
    e2e::WorkDir work;
    const std::string path = work.path("staged.tmp");
    const std::vector<uint8_t> bytes = patternedBytes(3 * BlockReader::stagedBlockSize + 123, 7);
    FileWriter file;
    ASSERT_TRUE(file.open(path, "wb"));
    file.write(bytes.data(), bytes.size());
    file.close();

    BlockReader reader(openForReading(path), BlockReader::stagedBlockSize);
    ASSERT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.size(), static_cast<int64_t>(bytes.size()));
    // (where to go first, -1 for nowhere; how many bytes to read there)
    struct Step {
        int64_t seek;
        uint64_t skip;
        size_t read;
    };
    const size_t block = BlockReader::stagedBlockSize;
    const Step steps[] = {
        {-1, 0, 10},                    // from the start
        {-1, 100, block},               // across the first block's end
        {5, 0, 20},                     // back, out of the block
        {-1, 2 * block, 3 * block},     // a step beyond the block, then more than a block at once
        {static_cast<int64_t>(block) + 1, 0, 30},  // a jump reads a little
        {static_cast<int64_t>(block) + 40, 0, 50},  // and what lies next to it costs nothing more
        {static_cast<int64_t>(bytes.size()) - 4, 0, 100},  // the end: only what is there
    };
    for (const Step& step : steps) {
        if (step.seek >= 0) {
            ASSERT_TRUE(reader.seek(step.seek));
        }
        ASSERT_TRUE(reader.skip(step.skip));
        int64_t at = reader.position();
        std::vector<uint8_t> got(step.read);
        size_t length = reader.read(got.data(), got.size());
        size_t expected = std::min<size_t>(step.read, bytes.size() - static_cast<size_t>(std::min<int64_t>(at, bytes.size())));
        ASSERT_EQ(length, expected) << "at " << at;
        got.resize(length);
        EXPECT_EQ(got, std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + length)) << "at " << at;
        EXPECT_EQ(reader.position(), at + static_cast<int64_t>(length));
    }
    const uint8_t* held = nullptr;
    EXPECT_EQ(reader.held(held, 1), 0u);  // at the end
    EXPECT_FALSE(reader.failed());
    ASSERT_TRUE(reader.seek(1000));
    ASSERT_GT(reader.held(held, 3), 0u);
    EXPECT_EQ(held[0], bytes[1000]);
}
