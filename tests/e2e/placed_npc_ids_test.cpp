// Placed NPCs find their NPC by an id in any letter case and of any length:
// Morrowind's ids are case-insensitive, and the NPC index is kept in memory,
// with no length byte to limit it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "run_output.h"

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

namespace {

// A placed NPC with its placement and the subrecords given before DATA.
tes3::Bytes placedNpc(const std::string& id, std::initializer_list<float> placement, const tes3::Bytes& extra = {}) {
    tes3::Record ref("FRMR");
    ref.sub("FRMR", tes3::int32s({1})).ztext("NAME", id).raw(extra).sub("DATA", tes3::floats(placement));
    return ref.data();
}

tes3::Bytes scaled(float scale) { return tes3::Record("X").sub("XSCL", tes3::floats({scale})).data(); }

}  // namespace

// An ACHR carries its scale (within what the game keeps) and nothing that is
// no number; what else the reference carries is reported once per kind.
TEST(PlacedNpcs, KeepTheirScaleAndAreLeftOutWithAHeightOrRotationThatIsNoNumber) {
    e2e::WorkDir work;
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    tes3::Record cell = tes3::cell("Market", 0, 0);
    cell.raw(placedNpc("guard", {100, 100, 0, 0, 0, 0.5f}, scaled(1.25f)));
    cell.raw(placedNpc("guard", {200, 100, 0, 0, 0, 0}, scaled(3.0f)));  // kept to 2
    cell.raw(placedNpc("guard", {300, 100, 0, 0, 0, 0}, scaled(nan)));   // no number: 1
    cell.raw(placedNpc("guard", {400, 100, inf, 0, 0, 0}));
    cell.raw(placedNpc("guard", {500, 100, 0, nan, 0, 0}));
    cell.raw(placedNpc("guard", {600, 100, 0, 0, 0, -inf}));
    cell.raw(placedNpc("guard", {700, 100, 0, 0, 0, 0},
                       tes3::Record("X").ztext("ANAM", "lf_owner").ztext("CNAM", "faction").data()));
    e2e::RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(npc("guard")).add(cell), run);
    std::vector<const tes4::Entry*> placed = landscape::placedNpcs(file);
    ASSERT_EQ(placed.size(), 4u);
    std::vector<float> scales;
    for (const tes4::Entry* achr : placed) {
        const tes4::Subrecord* xscl = achr->find("XSCL");
        scales.push_back(xscl != nullptr ? tes4::f32(xscl->data, 0) : 1.0f);
        for (size_t i = 0; i < 6; ++i) EXPECT_TRUE(std::isfinite(tes4::f32(achr->find("DATA")->data, 4 * i)));
    }
    EXPECT_EQ(scales, (std::vector<float>{1.25f, 2.0f, 1.0f, 1.0f}));
    EXPECT_EQ(placed[2]->find("XSCL"), nullptr);
    EXPECT_EQ(tes4::f32(placed[0]->find("DATA")->data, 20), 0.5f);
    EXPECT_NE(run.out.find("\tTotal Placed NPCs:                      4\n"), std::string::npos);
    std::string report = e2e::lossReport(run.err);
    EXPECT_NE(report.find("Placed references left out (no NAME, DATA or position): 3: guard (3)"), std::string::npos)
        << report;
    EXPECT_NE(report.find("\tReference data a placed object cannot carry in Oblivion: 2: owner (1), faction owner (1)\n"), std::string::npos)
        << report;
}
