// Telling a problem: one call gives the message with its place in the
// input, the entry in the list of losses and the line of the CSV.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "esm/fatal_error.h"
#include "services/problems.h"

using landfer::LossKind;
using landfer::Problem;

namespace {

struct Told {
    FILE* progress = std::tmpfile();
    FILE* messages = std::tmpfile();
    landfer::Reporter reporter{progress, messages};
    landfer::Losses losses;
    landfer::Problems problems{reporter, losses};
    std::vector<uint8_t> record = std::vector<uint8_t>(16);
    // The record being read, at this offset of input.esp.
    explicit Told(int64_t offset = -1) {
        if (offset >= 0) problems.enterRecord("input.esp", offset, record.data(), record.size());
    }
    ~Told() {
        std::fclose(progress);
        std::fclose(messages);
    }
};

}  // namespace

TEST(Problems, AProblemOfARecordIsPlacedInItsFileAndSubrecord) {
    Told told;
    std::vector<uint8_t> record(40);
    told.problems.enterRecord("input.esp", 1000, record.data(), record.size());
    told.problems.tell(Problem::skipped("NPC_", "lf_guard", "The NPC_ record lf_guard is malformed (x). Ignoring!\n")
                           .placedAt(record.data() + 24));
    // Bytes outside the record are no place in it.
    told.problems.tell(Problem::warned("NPC_", "lf_other", "For the NPC called Other I didn't find AIDT!!\n")
                           .placedAt(record.data() + 41));
    told.problems.leaveRecord();
    told.problems.tell(Problem::warned("", "lfdat/armour.dat", "Ignoring a corrupt line in lfdat/armour.dat: x\n"));
    EXPECT_EQ(e2e::readStream(told.messages),
              "The NPC_ record lf_guard is malformed (x). Ignoring! (record at byte 1000 of input.esp, subrecord at "
              "byte 1024)\n"
              "For the NPC called Other I didn't find AIDT!! (record at byte 1000 of input.esp)\n"
              "Ignoring a corrupt line in lfdat/armour.dat: x\n");
    EXPECT_EQ(e2e::readStream(told.progress), "");
    EXPECT_EQ(landfer::lossCsv(told.losses),
              "kind,identifier,count,became\n"
              "skipped record,NPC_ lf_guard,1,\"The NPC_ record lf_guard is malformed (x). Ignoring! (record at byte "
              "1000 of input.esp, subrecord at byte 1024)\"\n"
              "warning,NPC_ lf_other,1,For the NPC called Other I didn't find AIDT!! (record at byte 1000 of "
              "input.esp)\n"
              "warning,lfdat/armour.dat,1,Ignoring a corrupt line in lfdat/armour.dat: x\n");
}

TEST(Problems, ALossWithAMessageIsListedByItsKindOnce) {
    Told told(16);
    told.problems.tell(Problem::lost(LossKind::repeatedNpc, "lf_guard")
                           .saying("NPC_", "The NPC_ record lf_guard repeats an NPC of this plugin. Ignoring!\n"));
    told.problems.tell(Problem::lost(LossKind::inventoryItem, "iron sword"));
    told.problems.tell(Problem::lost(LossKind::inventoryItem, "iron sword", 2));
    told.problems.tell(Problem::warned("LTEX", "", "Couldn't find LTEX DATA subrec!\n").amongTheProgress());
    EXPECT_EQ(e2e::readStream(told.messages),
              "The NPC_ record lf_guard repeats an NPC of this plugin. Ignoring! (record at byte 16 of input.esp)\n");
    EXPECT_EQ(e2e::readStream(told.progress), "Couldn't find LTEX DATA subrec! (record at byte 16 of input.esp)\n");
    EXPECT_EQ(landfer::lossCsv(told.losses),
              "kind,identifier,count,became\n"
              "inventory item,iron sword,3,dropped\n"
              "repeated NPC,lf_guard,1,the first NPC of the id\n"
              "warning,LTEX without an editor ID,1,Couldn't find LTEX DATA subrec! (record at byte 16 of input.esp)\n");
}

TEST(Problems, AFatalProblemIsRaisedWithItsPlaceAndListedNowhere) {
    Told told(32);
    try {
        told.problems.tell(Problem::fatalError("LAND", "", "Unable to allocate memory: Cannot allocate memory\n"));
        FAIL() << "no FatalError";
    } catch (const landfer::FatalError& error) {
        EXPECT_STREQ(error.what(),
                     "Unable to allocate memory: Cannot allocate memory (record at byte 32 of input.esp)\n");
    }
    EXPECT_TRUE(told.losses.empty());
    EXPECT_EQ(e2e::readStream(told.messages), "");
}
