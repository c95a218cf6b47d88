// The record count written into the output's file header: every record
// and group of the file, the header record aside. Checked against the
// file itself, walked by the test-side reader.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e_run.h"
#include "esm/form_ids.h"
#include "esm/plugin_writer.h"
#include "esm/staged_records.h"
#include "esm/staging_folder.h"
#include "tes4_reader.h"

using namespace landfer;
namespace fs = std::filesystem;

namespace {

// Records and groups below (and including) an entry.
size_t entriesIn(const tes4::Entry& entry) {
    size_t count = 1;
    for (const tes4::Entry& child : entry.children) count += entriesIn(child);
    return count;
}

size_t entriesIn(const tes4::File& file) {
    size_t count = 0;
    for (const tes4::Entry& group : file.groups) count += entriesIn(group);
    return count;
}

}  // namespace

TEST(RecordCount, TheHeaderCountsEveryRecordAndGroupOfTheFile) {
    e2e::CurrentWorkDir work;
    FileWriter file;
    ASSERT_TRUE(file.open("out.esp", "wb"));
    OutputPlugin output(std::move(file));
    output.writeHeader();
    FormIds formIds;
    StagingFolder staging = StagingFolder::create();
    StagedRecords books(staging.path("books.tmp"), "BOOK");
    StagedRecords globals(staging.path("globals.tmp"), "GLOB");
    for (int i = 0; i < 3; ++i) {
        books.begin("BOOK", formIds).zeros("DATA", 0);
        books.end();
    }
    globals.copyInto(output);  // no record: no group, no file
    EXPECT_FALSE(fs::exists(staging.path("globals.tmp")));
    EXPECT_TRUE(fs::is_directory(staging.folder()));
    books.copyInto(output);
    // Nested groups with records written through the output itself.
    output.openTopGroup("CELL");
    const uint8_t label[4] = {1, 0, 0, 0};
    output.openGroup(2, label);
    for (int i = 0; i < 2; ++i) {
        output.beginRecord("CELL", formIds.take()).zeros("DATA", 0);
        output.endRecord();
    }
    output.openGroup(3, label);
    output.finish();

    tes4::Bytes bytes = tes4::readFileBytes("out.esp");
    tes4::File read = tes4::readPlugin(bytes);
    ASSERT_EQ(read.groups.size(), 2u);
    EXPECT_EQ(read.groups[0].children.size(), 3u);
    EXPECT_EQ(read.groups[0].children[2].formId, 0x011E8482u);
    EXPECT_EQ(entriesIn(read), 9u);  // 3 books, 2 cells, 4 groups
    EXPECT_EQ(tes4::u32(bytes, 30), entriesIn(read));
}
