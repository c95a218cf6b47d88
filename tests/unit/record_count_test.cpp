// The record count written into the output's file header.
#include <gtest/gtest.h>

#include "run/conversion_run.h"

using namespace landfer;

TEST(RecordCount, CountsLandsNpcsBooksAndGlobalsAsAWhole32BitNumber) {
    RunState run;
    run.landCount = 1;
    EXPECT_EQ(recordCountFor(run), 25u);  // 2 x 12 + 2 - 1
    run.bookCount = 3;
    run.globalCount = 2;
    EXPECT_EQ(recordCountFor(run), 32u);  // + (3 + 1) + (2 + 1)
    // Cells, quests and journal entries do not count.
    run.exteriorCellCount = 7;
    run.questCount = 4;
    run.journalEntryCount = 9;
    EXPECT_EQ(recordCountFor(run), 32u);
    RunState province;
    province.landCount = 3000;
    province.npcCount = 1500;
    province.placedNpcCount = 6000;
    EXPECT_EQ(recordCountFor(province), 2u * (36000u + 1500u + 6000u) + 1u);  // far beyond 16 bits
}
