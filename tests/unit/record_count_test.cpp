// The record count written into the output's file header: every record
// and group of the file, the header record aside, as a 32-bit number.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "esm/staged_records.h"
#include "esm/plugin_writer.h"
#include "tes4_reader.h"

using namespace landfer;
namespace fs = std::filesystem;

TEST(RecordCount, StagedRecordsCountWithTheirTopGroupAndNothingEmptyIsWritten) {
    fs::path dir = fs::temp_directory_path() / ("landfer-count-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path previous = fs::current_path();
    fs::current_path(dir);
    {
        FileWriter file;
        ASSERT_TRUE(file.open("out.esp", "wb"));
        OutputPlugin output(std::move(file));
        writeFileHeader(output.file());
        int32_t nextFormId = firstFormId;
        StagedRecords books("books.tmp", "BOOK");
        StagedRecords globals("globals.tmp", "GLOB");
        for (int i = 0; i < 3; ++i) {
            writePlainRecord(books.file(), nextFormId, "BOOK", std::vector<uint8_t>(6, 0));
            books.recordWritten();
        }
        globals.copyInto(output);  // no record: no group
        EXPECT_FALSE(fs::exists("globals.tmp"));
        books.copyInto(output);
        output.finish();
        tes4::Bytes bytes = tes4::readFileBytes("out.esp");
        EXPECT_EQ(tes4::u32(bytes, 30), 4u);  // three books and their group
        tes4::File read = tes4::readPlugin(bytes);
        ASSERT_EQ(read.groups.size(), 1u);
        EXPECT_EQ(read.groups[0].children.size(), 3u);
        EXPECT_EQ(read.groups[0].children[2].formId, 0x011E8482u);
    }
    OutputPlugin province;
    province.countRecords(70000);
    province.countRecords(5);
    EXPECT_EQ(province.recordCount(), 70005u);  // far beyond 16 bits
    fs::current_path(previous);
    fs::remove_all(dir);
}
