// Walking input subrecords never reads past the record.
#include <gtest/gtest.h>

#include "esm/record_reader.h"
#include "tes3_builder.h"

using namespace landfer;

namespace {
RecordData view(const tes3::Bytes& bytes) { return RecordData{bytes.data(), bytes.size()}; }
}  // namespace

TEST(SubrecordCursor, WalksSubrecordsAndTheirTexts) {
    tes3::Record record("GLOB");
    record.ztext("NAME", "Gold").sub("FLTV", tes3::floats({1.0f})).sub("TEXT", tes3::text("no zero"));
    SubrecordCursor cursor(view(record.data()));
    EXPECT_TRUE(cursor.nextIs("NAME"));
    EXPECT_FALSE(cursor.nextIs("FLTV"));
    Subrecord name = cursor.next();
    EXPECT_EQ(name.text(), "Gold");
    EXPECT_EQ(name.size, 5u);
    Subrecord value = cursor.next();
    EXPECT_NO_THROW(value.require(4));
    EXPECT_THROW(value.require(5), MalformedRecord);
    EXPECT_EQ(cursor.next().text(), "no zero");
    EXPECT_TRUE(cursor.atEnd());
}

TEST(SubrecordCursor, SizesPastTheEndAndCutHeadersAreMalformed) {
    tes3::Record tooLong("GLOB");
    tooLong.raw({'N', 'A', 'M', 'E', 10, 0, 0, 0, 'a', 'b'});
    SubrecordCursor cursor(view(tooLong.data()));
    EXPECT_TRUE(cursor.nextIs("NAME"));
    try {
        cursor.next();
        FAIL();
    } catch (const MalformedRecord& problem) {
        EXPECT_STREQ(problem.what(), "its NAME subrecord of 10 bytes runs past the end of the record");
    }

    tes3::Record huge("GLOB");
    huge.raw({'N', 'A', 'M', 'E', 0xF0, 0xFF, 0xFF, 0xFF, 'a'});
    SubrecordCursor hugeCursor(view(huge.data()));
    EXPECT_THROW(hugeCursor.next(), MalformedRecord);

    tes3::Record cut("GLOB");
    cut.raw({'F', 'L', 'T', 'V', 4});
    SubrecordCursor cutCursor(view(cut.data()));
    EXPECT_FALSE(cutCursor.nextIs("FLTV"));
    EXPECT_THROW(cutCursor.peek(), MalformedRecord);
}
