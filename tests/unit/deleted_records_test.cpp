// What marks a whole record deleted: the header flag 0x20, or a DELE among
// its own subrecords (not one of a placed reference inside a cell).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/deleted_records.h"
#include "tes3_builder.h"

using landfer::isDeletedRecord;

TEST(DeletedRecords, TheFlagOrAnOwnDeleMarksTheRecord) {
    const tes3::Bytes mark = tes3::int32s({0});
    struct Case {
        const char* what;
        tes3::Record record;
        bool deleted;
    };
    tes3::Record brokenAfterDele("GLOB");
    brokenAfterDele.sub("DELE", mark).raw({'F', 'L', 'T', 'V', 50, 0, 0, 0});
    const std::vector<Case> cases = {
        {"plain", tes3::global("g", 's', 1), false},
        {"flag", tes3::Record("GLOB", 0x20).ztext("NAME", "g"), true},
        {"other flags", tes3::Record("GLOB", 0x400).ztext("NAME", "g"), false},
        {"DELE first", tes3::Record("LTEX").sub("DELE", mark).ztext("NAME", "t"), true},
        {"DELE last", tes3::global("g", 's', 1).sub("DELE", mark), true},
        {"a reference's DELE", tes3::Record("CELL").ztext("NAME", "c").sub("FRMR", mark).sub("DELE", mark), false},
        {"cut short before", tes3::Record("GLOB").raw({'N', 'A', 'M', 'E', 50, 0, 0, 0}).sub("DELE", mark), false},
        {"cut short after", brokenAfterDele, true},
        {"empty", tes3::Record("GLOB"), false},
    };
    for (const Case& c : cases) EXPECT_EQ(isDeletedRecord(c.record.bytes()), c.deleted) << c.what;
}
