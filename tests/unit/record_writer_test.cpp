// The record writer: headers with their sizes and FormIDs, every kind of
// subrecord, compressed records and the one oversize error.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "esm/byte_order.h"
#include "esm/deflater.h"
#include "esm/file_writer.h"
#include "esm/form_ids.h"
#include "esm/record_writer.h"
#include "tes4_reader.h"

using namespace landfer;

using Bytes = std::vector<uint8_t>;

namespace {

Bytes header(const char* type, uint32_t size, uint32_t flags, uint32_t formId, uint32_t stamp = 0x2F04) {
    Bytes bytes(type, type + 4);
    for (uint32_t word : {size, flags, formId, stamp})
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(word >> shift));
    return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(RecordWriter, EveryAppenderWritesItsSubrecordAndTheHeaderCountsThem) {
    MemorySink out;
    RecordWriter record(out);
    record.begin("GLOB", 0x011E8480u, 0x400);
    record.text("EDID", "Gold");
    record.bytes("FLTV", "\x01\x02\x03", 3);
    record.zeros("MODB", 2);
    record.uint8("FNAM", 's');
    record.uint16("INDX", 0x0102);
    record.uint32("XCLC", 0xFFFFFFFEu);
    record.int32("XCLC", -2);
    record.float32("XSCL", 1.0f);
    record.formId("NAME", 0x0001E85Du);
    std::vector<uint8_t>& data = record.subrecord("DATA");
    appendUint32(data, 7);
    data.push_back(9);
    record.subrecords("ATXT\x01\x00Z", 7);
    EXPECT_EQ(record.end(), 0x011E8480u);
    const Bytes expectedData = {'E', 'D', 'I', 'D', 5, 0, 'G', 'o', 'l', 'd', 0,       //
                                'F', 'L', 'T', 'V', 3, 0, 1, 2, 3,                     //
                                'M', 'O', 'D', 'B', 2, 0, 0, 0,                        //
                                'F', 'N', 'A', 'M', 1, 0, 's',                         //
                                'I', 'N', 'D', 'X', 2, 0, 0x02, 0x01,                  //
                                'X', 'C', 'L', 'C', 4, 0, 0xFE, 0xFF, 0xFF, 0xFF,      //
                                'X', 'C', 'L', 'C', 4, 0, 0xFE, 0xFF, 0xFF, 0xFF,      //
                                'X', 'S', 'C', 'L', 4, 0, 0, 0, 0x80, 0x3F,            //
                                'N', 'A', 'M', 'E', 4, 0, 0x5D, 0xE8, 0x01, 0x00,      //
                                'D', 'A', 'T', 'A', 5, 0, 7, 0, 0, 0, 9,               //
                                'A', 'T', 'X', 'T', 1, 0, 'Z'};
    EXPECT_EQ(out.bytes, header("GLOB", static_cast<uint32_t>(expectedData.size()), 0x400, 0x011E8480u) + expectedData);
}

TEST(RecordWriter, RecordsOneAfterAnotherReuseTheWriterAndKeepTheirStamp) {
    MemorySink out;
    RecordWriter record(out);
    record.begin("WRLD", 0x010008FFu, 0, 0x2F09);
    record.uint8("DATA", 1);
    record.end();
    record.begin("CELL", 5);  // nothing of the record before
    record.end();
    const Bytes data = {'D', 'A', 'T', 'A', 1, 0, 1};
    EXPECT_EQ(out.bytes, header("WRLD", 7, 0, 0x010008FFu, 0x2F09) + data + header("CELL", 0, 0, 5));
}

TEST(RecordWriter, AFormIdFromTheCounterIsTakenWhenTheRecordEnds) {
    MemorySink out;
    RecordWriter record(out);
    FormIds formIds;
    record.begin("BOOK", formIds);
    record.text("EDID", "A");
    EXPECT_EQ(formIds.peek(), 0x011E8480u);  // not yet taken
    EXPECT_EQ(record.end(), 0x011E8480u);
    EXPECT_EQ(record.formId(), 0x011E8480u);
    EXPECT_EQ(formIds.peek(), 0x011E8481u);
    EXPECT_EQ(tes4::u32(out.bytes, 12), 0x011E8480u);
}

TEST(RecordWriter, ASubrecordOf65535BytesFitsAndOneOf65536RefusesTheRecord) {
    MemorySink out;
    RecordWriter record(out);
    FormIds formIds;
    record.begin("BOOK", formIds);
    record.text("EDID", "BookSkillAlchemy1");
    record.text("DESC", std::string(65534, 'x'));  // 65535 with its 0 byte
    record.end();
    EXPECT_EQ(tes4::u16(out.bytes, 20 + 6 + 18 + 4), 65535u);
    size_t written = out.bytes.size();

    record.begin("BOOK", formIds);
    record.text("EDID", "BookSkillAlchemy2");
    try {
        record.text("DESC", std::string(65535, 'y'));
        record.end();
        FAIL() << "an oversized subrecord was written";
    } catch (const OversizedSubrecord& problem) {
        EXPECT_STREQ(problem.what(),
                     "The BOOK record BookSkillAlchemy2 cannot be converted: its DESC subrecord would hold 65536 "
                     "bytes, more than 65535. Ignoring!\n");
        EXPECT_EQ(problem.recordType(), RecordType("BOOK"));
        EXPECT_EQ(problem.editorId(), "BookSkillAlchemy2");
        EXPECT_EQ(problem.subrecordType(), RecordType("DESC"));
        EXPECT_EQ(problem.size(), 65536u);
    }
    EXPECT_EQ(out.bytes.size(), written);  // nothing of it written
    EXPECT_EQ(formIds.peek(), 0x011E8481u);  // and no FormID taken
}

TEST(RecordWriter, ASubrecordFilledPieceByPieceIsMeasuredWhenTheNextStartsOrTheRecordEnds) {
    MemorySink out;
    RecordWriter record(out);
    record.begin("NPC_", 1);
    record.name("Jiub");  // names the record though its EDID comes later
    std::vector<uint8_t>& data = record.subrecord("MODT");
    data.insert(data.end(), 65536, 0);
    EXPECT_THROW(record.text("EDID", "Other"), OversizedSubrecord);

    record.begin("NPC_", 1);
    record.name("Jiub");
    record.zeros("MODT", 0);
    std::vector<uint8_t>& last = record.subrecord("CNTO");
    last.insert(last.end(), 70000, 0);
    try {
        record.end();
        FAIL() << "an oversized subrecord was written";
    } catch (const OversizedSubrecord& problem) {
        EXPECT_EQ(problem.editorId(), "Jiub");
        EXPECT_EQ(problem.subrecordType(), RecordType("CNTO"));
        EXPECT_EQ(problem.size(), 70000u);
    }
    EXPECT_TRUE(out.bytes.empty());
}

TEST(RecordWriter, SubrecordsStagedApartFromTheirRecordEndWithoutAHeader) {
    MemorySink out;
    RecordWriter stages(out);
    stages.beginSubrecords("INFO", "MS_Lookout");
    stages.uint16("INDX", 10);
    stages.end();
    EXPECT_EQ(out.bytes, (Bytes{'I', 'N', 'D', 'X', 2, 0, 10, 0}));
    stages.beginSubrecords("INFO", "MS_Lookout");
    try {
        stages.text("CNAM", std::string(70000, 'z'));
        FAIL();
    } catch (const OversizedSubrecord& problem) {
        EXPECT_STREQ(problem.what(),
                     "The INFO record MS_Lookout cannot be converted: its CNAM subrecord would hold 70001 bytes, "
                     "more than 65535. Ignoring!\n");
    }
}

TEST(RecordWriter, ACompressedRecordCarriesTheFlagAndInflatesToItsData) {
    MemorySink out;
    RecordWriter record(out);
    Deflater deflater;
    record.begin("LAND", 0x011E8480u, 0x20);
    record.zeros("VHGT", 4000);
    record.endCompressed(deflater);
    ASSERT_GE(out.bytes.size(), 24u);
    EXPECT_EQ(tes4::u32(out.bytes, 8), 0x00040020u);
    EXPECT_EQ(tes4::u32(out.bytes, 4), out.bytes.size() - 20);
    EXPECT_EQ(tes4::u32(out.bytes, 20), 4006u);  // the length of the plain data
    Bytes inflated(4006);
    uLongf length = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &length, out.bytes.data() + 24, out.bytes.size() - 24), Z_OK);
    Bytes expected = {'V', 'H', 'G', 'T', 0xA0, 0x0F};
    expected.resize(4006, 0);
    EXPECT_EQ(inflated, expected);
}

TEST(RecordWriter, RecordsCompressedInTheBackgroundAreEachTheRecordCompressedAlone) {
    Deflater deflater;
    MemorySink together, alone;
    RecordWriter single(alone);
    RecordWriter* const* batch = deflater.queue().startBatch(4);
    for (int quad = 0; quad < 4; ++quad) {
        batch[quad]->begin("LAND", quad + 1);
        batch[quad]->zeros("VNML", 1000 * (quad + 1));
        single.begin("LAND", quad + 1);
        single.zeros("VNML", 1000 * (quad + 1));
        single.endCompressed(deflater);
    }
    int handedBack = 0;
    deflater.queue().give([&](RecordWriter* const* records, int count) {
        handedBack = count;
        for (int quad = 0; quad < count; ++quad) {
            records[quad]->writeTo(together);
            records[quad]->end();
        }
    });
    deflater.queue().finishAll();
    EXPECT_EQ(handedBack, 4);
    EXPECT_EQ(together.bytes, alone.bytes);
    EXPECT_EQ(tes4::u32(together.bytes, 8), compressedFlag);
}
