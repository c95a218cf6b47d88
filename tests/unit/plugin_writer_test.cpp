// The output's byte layout: byte order, headers, FormIDs, subrecords,
// compression and the patching of group sizes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "esm/byte_order.h"
#include "esm/compression.h"
#include "esm/fatal_error.h"
#include "esm/output_plugin.h"
#include "esm/form_ids.h"
#include "esm/plugin_writer.h"
#include "esm/record_writer.h"
#include "esm/read_file.h"
#include "e2e_run.h"
#include "tes4_reader.h"

using namespace landfer;

using Bytes = std::vector<uint8_t>;

namespace {

// A file in a working directory of its own, removed when the test ends.
class ScratchFile {
public:
    std::string path() const { return dir_.path("scratch.esp"); }
    Bytes bytes() const { return tes4::readFileBytes(path()); }

private:
    e2e::WorkDir dir_;
};

FileWriter openWriter(const ScratchFile& scratch) {
    FileWriter out;
    EXPECT_TRUE(out.open(scratch.path(), "wb"));
    return out;
}

}  // namespace

TEST(ByteOrder, AssemblesAndSplitsLittleEndian) {
    const uint8_t small[4] = {0x34, 0x12, 0, 0}, negative[4] = {0xF0, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(readInt32(small), 0x1234);
    EXPECT_EQ(readInt32(negative), -16);
    EXPECT_EQ(readUint32(negative), 0xFFFFFFF0u);
    EXPECT_EQ(readUint16(negative + 2), 0xFFFFu);
    uint8_t bytes[4];
    storeUint32(bytes, static_cast<uint32_t>(-2));
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    storeUint32(bytes, 2000000);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0x80, 0x84, 0x1E, 0x00}));
    storeUint32(bytes, 0x01E84800u);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0x00, 0x48, 0xE8, 0x01}));
    storeUint16(bytes, 0xBEEF);
    EXPECT_EQ(Bytes(bytes, bytes + 2), (Bytes{0xEF, 0xBE}));
    Bytes appended;
    appendFloat(appended, -2.5f);  // IEEE 754: 0xC0200000
    appendUint16(appended, 0x1234);
    EXPECT_EQ(appended, (Bytes{0, 0, 0x20, 0xC0, 0x34, 0x12}));
    EXPECT_EQ(floatBits(1.0f), 0x3F800000u);
    EXPECT_EQ(foldedCase("Tx_Sand_01.TGA"), "tx_sand_01.tga");
    std::string text("\xC4" "Bc\0D", 5);  // only A to Z change, past a 0 byte too
    foldCase(text);
    EXPECT_EQ(text, std::string("\xC4" "bc\0d", 5));
}

TEST(PluginWriter, FileHeaderIsTheFixed85Bytes) {
    ScratchFile scratch;
    FileWriter out = openWriter(scratch);
    writeFileHeader(out);
    out.close();
    Bytes bytes = scratch.bytes();
    ASSERT_EQ(bytes.size(), 85u);
    const std::string expectedText = std::string("TES4") + std::string("\x41\0\0\0", 4) + std::string(12, '\0') +
                                     "HEDR" + std::string("\x0C\0\xCD\xCC\x4C\x3F\x0B\x0D\0\0\0\x08\0\0", 14) +
                                     "CNAM" + std::string("\x08\0LANDFER\0", 10) + "MAST" +
                                     std::string("\x0D\0Oblivion.esm\0", 15) + "DATA" + std::string("\x08\0", 2) +
                                     std::string(8, '\0');
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expectedText);
}

TEST(PluginWriter, RecordHeadersTakeConsecutiveFormIdsAndWholeSizes) {
    MemorySink out;
    FormIds formIds;
    writeRecordHeader(out, "BOOK", 300, 0, formIds.take());
    writeRecordHeader(out, "LAND", 70000, compressedFlag, formIds.take());
    EXPECT_EQ(formIds.peek(), 0x011E8482u);  // known before its record is written
    Bytes& b = out.bytes;
    ASSERT_EQ(b.size(), 40u);
    EXPECT_EQ(Bytes(b.begin() + 4, b.begin() + 20),
              (Bytes{0x2C, 0x01, 0, 0, 0, 0, 0, 0, 0x80, 0x84, 0x1E, 0x01, 0x04, 0x2F, 0, 0}));
    // 70000 keeps its high half in bytes 6 and 7.
    EXPECT_EQ(Bytes(b.begin() + 24, b.begin() + 36), (Bytes{0x70, 0x11, 0x01, 0, 0, 0, 4, 0, 0x81, 0x84, 0x1E, 1}));
    EXPECT_EQ(formIds.take(), 0x011E8482u);
}

TEST(PluginWriter, ARecordHeaderWritesItsFlagsAsOneWord) {
    MemorySink out;
    writeRecordHeader(out, "LAND", 70000, compressedFlag | 0x20, 0x011E8480u);
    writeRecordHeader(out, "WRLD", 3, 0, 0x010008FFu, 0x2F09);
    EXPECT_EQ(out.bytes, (Bytes{'L', 'A', 'N', 'D', 0x70, 0x11, 0x01, 0, 0x20, 0, 4, 0, 0x80, 0x84, 0x1E, 1, 0x04,
                                0x2F, 0, 0, 'W', 'R', 'L', 'D', 3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x08, 0, 1, 0x09,
                                0x2F, 0, 0}));
}

TEST(PluginWriter, GroupHeadersWriteLabelsAndTypes) {
    MemorySink out;
    const uint8_t label[4] = {0x10, 0x27, 0x00, 0x01};  // a FormID, as a cell's children group has it
    const uint8_t none[4] = {0, 0, 0, 0};
    writeGroupHeader(out, 300, label, 6);
    writeGroupHeader(out, 20, none, 1, 0x2F09);
    Bytes& b = out.bytes;
    ASSERT_EQ(b.size(), 40u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 20),
              (Bytes{'G', 'R', 'U', 'P', 0x2C, 0x01, 0, 0, 0x10, 0x27, 0, 0x01, 6, 0, 0, 0, 0x04, 0x2F, 0, 0}));
    EXPECT_EQ(Bytes(b.begin() + 28, b.begin() + 40), (Bytes{0, 0, 0, 0, 1, 0, 0, 0, 0x09, 0x2F, 0, 0}));
}

TEST(Compression, CompressedBodyInflatesToTheDataAndCarriesItsLength) {
    Bytes data(70000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>((i * 7) ^ (i >> 5));
    RecordBody body;
    RecordCompressor().makeBody(data.data(), data.size(), body);
    ASSERT_TRUE(body.compressed);
    EXPECT_EQ(tes4::u32(body.bytes, 0), 70000u);  // all 32 bits of the length
    Bytes inflated(data.size());
    uLongf length = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &length, body.bytes.data() + 4, body.bytes.size() - 4), Z_OK);
    EXPECT_EQ(inflated, data);
    // A zlib stream (RFC 1950): deflate with a 32 KiB window, a header check that divides by 31.
    EXPECT_EQ(body.bytes[4], 0x78);
    EXPECT_EQ((body.bytes[4] * 256 + body.bytes[5]) % 31, 0);
    EXPECT_LT(body.bytes.size(), data.size() / 2);
}

TEST(OutputPlugin, NestedGroupSizesArePatchedWhenTheyCloseAndEveryRecordAndGroupCounts) {
    ScratchFile scratch;
    OutputPlugin output(openWriter(scratch));
    FormIds formIds;
    // A record with one DATA subrecord, `length` bytes of data in all.
    auto writeRecord = [&output, &formIds](RecordType type, size_t length) {
        output.beginRecord(type, formIds.take()).zeros("DATA", length - 6);
        output.endRecord();
    };
    output.writeHeader();
    output.openTopGroup("GLOB");
    writeRecord("GLOB", 10);
    writeRecord("GLOB", 6);
    // A top group with a stamp of its own, with groups nested three deep in it.
    output.openTopGroup("WRLD", 0x2F09);
    const uint8_t block[4] = {0xFF, 0xFF, 0x01, 0x00};  // Y -1, X 1
    output.openGroup(1, block);
    output.openGroup(4, block);
    EXPECT_EQ(output.openGroupCount(), 3u);
    writeRecord("CELL", 7);
    output.openGroup(5, block);  // empty: only its header
    output.closeGroup(GroupType::exteriorSubBlock);
    output.openTopGroup("BOOK");  // closes the three
    output.finish();

    Bytes b = scratch.bytes();
    EXPECT_EQ(tes4::u32(b, 30), 3u + 6u);  // three records, six groups
    tes4::File file = tes4::readPlugin(b);
    ASSERT_EQ(file.groups.size(), 3u);
    EXPECT_EQ(file.groups[0].labelText(), "GLOB");
    EXPECT_EQ(file.groups[0].size, 20u + 30u + 26u);
    EXPECT_EQ(file.groups[0].children.size(), 2u);
    EXPECT_EQ(file.groups[1].size, 20u + 20u + 20u + 27u + 20u);
    ASSERT_EQ(file.groups[1].children.size(), 1u);
    const tes4::Entry& children = file.groups[1].children[0];
    EXPECT_EQ(children.size, 20u + 20u + 27u + 20u);
    ASSERT_EQ(children.children.size(), 1u);
    EXPECT_EQ(children.children[0].groupType, 4u);
    EXPECT_EQ(children.children[0].labelValue(), 0x0001FFFFu);
    EXPECT_EQ(tes4::u32(b, 85 + 16), 0x2F04u);           // the stamp of a group header
    EXPECT_EQ(tes4::u32(b, 85 + 76 + 16), 0x2F09u);      // the stamp given
    EXPECT_EQ(tes4::u32(b, 85 + 76 + 20 + 16), 0x2F04u);
    EXPECT_EQ(children.children[0].size, 20u + 27u + 20u);
    EXPECT_EQ(children.children[0].children[1].size, 20u);
    EXPECT_EQ(file.groups[2].size, 20u);
    EXPECT_EQ(file.groups[2].labelText(), "BOOK");
}

// Closing a group of another type than the innermost open one is a fault
// of the writer, stopped before a size is patched into the wrong header.
TEST(OutputPlugin, AGroupClosesOnlyWithTheTypeItWasOpenedWith) {
    ScratchFile scratch;
    OutputPlugin output(openWriter(scratch));
    output.writeHeader();
    output.openTopGroup("WRLD");
    const uint8_t label[4] = {0, 0, 0, 0};
    output.openGroup(GroupType::worldChildren, label);
    auto closeMessage = [&output](int32_t type) {
        try {
            output.closeGroup(type);
        } catch (const FatalError& error) {
            return std::string(error.what());
        }
        return std::string("closed");
    };
    EXPECT_EQ(closeMessage(GroupType::cellChildren),
              "Unable to write " + scratch.path() + ": a group of type 6 was to be closed, but one of type 1 is open.\n");
    EXPECT_EQ(output.openGroupCount(), 2u);
    EXPECT_EQ(closeMessage(GroupType::worldChildren), "closed");
    EXPECT_EQ(closeMessage(GroupType::top), "closed");
    EXPECT_EQ(closeMessage(GroupType::top),
              "Unable to write " + scratch.path() + ": a group of type 0 was to be closed, but none is open.\n");
    output.finish();
    tes4::File file = tes4::readPlugin(scratch.bytes());
    ASSERT_EQ(file.groups.size(), 1u);
    EXPECT_EQ(file.groups[0].size, 40u);
}

// The output holds its last bytes in memory: sizes are patched there while
// a group's header is held, and in the file once it has been written out.
TEST(OutputPlugin, GroupsLongerThanTheHeldBytesArePatchedInTheFile) {
    ScratchFile scratch;
    OutputPlugin output(openWriter(scratch));
    FormIds formIds;
    const size_t dataSize = 60006;
    auto writeBook = [&output, &formIds] {
        output.beginRecord("BOOK", formIds.take()).zeros("DATA", 60000);
        output.endRecord();
    };
    output.writeHeader();
    output.openTopGroup("BOOK");
    const size_t records = HeldOutput::holdLimit / dataSize + 2;
    for (size_t i = 0; i < records; ++i) writeBook();
    const uint8_t label[4] = {1, 0, 0, 0};
    output.openGroup(GroupType::cellChildren, label);  // held when it closes
    writeBook();
    output.closeGroup(GroupType::cellChildren);
    output.finish();

    Bytes b = scratch.bytes();
    const size_t record = headerSize + dataSize;
    ASSERT_EQ(b.size(), fileHeaderSize + headerSize + records * record + headerSize + record);
    EXPECT_EQ(tes4::u32(b, 30), records + 3);  // the record count, written long after it was held
    tes4::File file = tes4::readPlugin(b);
    ASSERT_EQ(file.groups.size(), 1u);
    EXPECT_EQ(file.groups[0].size, b.size() - fileHeaderSize);
    ASSERT_EQ(file.groups[0].children.size(), records + 1);
    EXPECT_EQ(file.groups[0].children.back().size, headerSize + record);
}

TEST(OutputPlugin, ARecordTakesItsSizeFromItsDataAndItsStampAsGiven) {
    ScratchFile scratch;
    OutputPlugin output(openWriter(scratch));
    output.writeHeader();
    output.openTopGroup("WRLD", 0x2F09);
    RecordWriter& world = output.beginRecord("WRLD", 0x010008FF, 0, 0x2F09);
    world.text("EDID", "Landfer");  // 14 bytes
    world.zeros("MNAM", 16);        // 22 bytes
    output.endRecord();
    output.finish();
    Bytes data = {'E', 'D', 'I', 'D', 8, 0, 'L', 'a', 'n', 'd', 'f', 'e', 'r', 0, 'M', 'N', 'A', 'M', 16, 0};
    data.resize(36, 0);

    Bytes b = scratch.bytes();
    ASSERT_EQ(b.size(), 85u + 20u + 20u + 36u);
    EXPECT_EQ(tes4::u32(b, 30), 2u);                 // the group and the record
    EXPECT_EQ(tes4::u32(b, 85 + 4), 20u + 20u + 36u);  // the group's size, patched
    EXPECT_EQ(std::string(b.begin() + 105, b.begin() + 109), "WRLD");
    EXPECT_EQ(tes4::u32(b, 105 + 4), 36u);           // the record's size: its data
    EXPECT_EQ(tes4::u32(b, 105 + 8), 0u);            // plain
    EXPECT_EQ(tes4::u32(b, 105 + 12), 0x010008FFu);
    EXPECT_EQ(tes4::u32(b, 105 + 16), 0x2F09u);
    EXPECT_EQ(Bytes(b.begin() + 125, b.end()), data);
}

TEST(OutputPlugin, StagedRunsAreCopiedFromWhereTheFileStandsAndCounted) {
    e2e::WorkDir dir;
    const std::string stagedPath = dir.path("staged.tmp");
    FileWriter staged;
    ASSERT_TRUE(staged.open(stagedPath, "wb"));
    staged.write("skipped");
    RecordWriter book(staged);
    for (uint32_t formId : {0x01000001u, 0x01000002u}) {
        book.begin("BOOK", formId);
        book.zeros("DATA", 4);
        book.end();
    }
    staged.write("after");
    staged.close();

    ScratchFile scratch;
    OutputPlugin output(openWriter(scratch));
    output.writeHeader();
    output.openTopGroup("BOOK");
    BlockReader from(openForReading(stagedPath), BlockReader::stagedBlockSize);
    ASSERT_TRUE(from.isOpen());
    ASSERT_TRUE(from.seek(7));
    output.copyStaged(from, "staged.tmp", 2 * (20 + 10), 2);
    output.finish();

    Bytes b = scratch.bytes();
    EXPECT_EQ(tes4::u32(b, 30), 3u);  // the group and the two records copied
    tes4::File file = tes4::readPlugin(b);
    ASSERT_EQ(file.groups.size(), 1u);
    EXPECT_EQ(file.groups[0].size, 20u + 60u);
    ASSERT_EQ(file.groups[0].children.size(), 2u);
    EXPECT_EQ(file.groups[0].children[1].formId, 0x01000002u);

    // A staged file shorter than what it should hold is fatal, not a short group.
    ScratchFile second;
    OutputPlugin short_(openWriter(second));
    ASSERT_TRUE(from.seek(7 + 30));
    try {
        short_.copyStaged(from, "staged.tmp", 60, 2);
        FAIL() << "a short staged file passed";
    } catch (const FatalError& error) {
        // The end of the file is no system error: it is told as one of input and output.
        EXPECT_STREQ(error.what(), "Unable to read from staged.tmp: Input/output error\n");
    }
}

TEST(FileWriter, FailedWritesAreFatal) {
    FileWriter out;
    ASSERT_TRUE(out.open("/dev/full", "wb"));
    try {
        out.write(std::string(100000, 'x'));
        out.close();
        FAIL() << "a write to /dev/full passed";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to /dev/full: No space left on device\n");
    }
    FileWriter small;
    ASSERT_TRUE(small.open("/dev/full", "wb"));
    small.write("abc");  // buffered: the failure shows when it is flushed
    EXPECT_THROW(small.close(), FatalError);
}
