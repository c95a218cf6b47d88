// Placed NPCs find their NPC by an id in any letter case and of any length:
// Morrowind's ids are case-insensitive, and the NPC index is kept in memory,
// with no length byte to limit it.
#include <gtest/gtest.h>

#include <string>

#include "landscape_support.h"
#include "npc_test_support.h"
#include "tes3_every_record.h"
#include "tes3_land.h"

using namespace npc_test;

TEST(PlacedNpcIds, MatchInAnyLetterCaseAndAtAnyLength) {
    e2e::WorkDir work;
    const std::string longId(300, 'l');
    tes3::Record cell = tes3::cell("Market", 0, 0);
    cell.raw(tes3::placedReference(1, "GUARD1", 100.0f, 100.0f));
    cell.raw(tes3::placedReference(2, std::string(300, 'L'), 200.0f, 100.0f));
    cell.raw(tes3::placedReference(3, "guard", 300.0f, 100.0f));  // a prefix is no match
    e2e::RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(npc("Guard1")).add(npc(longId)).add(cell), run);
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 2u);
    std::vector<const tes4::Entry*> placed = landscape::placedNpcs(file);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(tes4::u32(placed[0]->find("NAME")->data, 0), npcs[0]->formId);
    EXPECT_EQ(tes4::u32(placed[1]->find("NAME")->data, 0), npcs[1]->formId);
    EXPECT_NE(run.out.find("\tTotal Placed NPCs:                      2\n"), std::string::npos);
    EXPECT_NE(run.err.find("Placed references dropped (no NPC, stand-in or model for the base): 1: guard (1)"), std::string::npos)
        << run.err;
    EXPECT_FALSE(work.exists("npcs.tmp"));
}
