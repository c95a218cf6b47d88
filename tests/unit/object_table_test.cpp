// The stand-ins of lfdat/objects.dat: exact, prefix and case-blind matches,
// the longest prefix, the defaults, comments, corrupt lines reported once,
// and a missing file that counts as empty.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e_run.h"
#include "lookup/object_table.h"
#include "services/problems.h"

using landfer::ObjectTable;
using landfer::StandIn;

namespace {

const char* const objectsFile =
    "\xEF\xBB\xBF# Bitter Coast\n"
    "flora_bc_tree_*,TreeSwampCypressForest,00022C55\n"
    "flora_bc_tree_0*,TreeCPSwampCypressForest,0005DCD9,0.8\n"
    "Flora_BC_Tree_02,TreeSwampCypressForestFG08,00089789,1.25,-16\n"
    "\n"
    "   \r\n"
    "flora_bc_*,Fern01,000661B3\r\n"
    "flora_bc_tree_02,Fern02,000661B5\n"  // a second line for an id: the first wins
    "terrain_rock_bc_01 , RockGreatForest690Moss , 0003D013 , 2 , 8.5\n"
    "#flora_kelp_01,SEMKelp01,0001A16D\n"
    "flora_kelp_01,SEMKelp01\n"                    // line 11: no FormID
    "flora_kelp_02,SEMKelp01,1A16D\n"              // short FormID
    "flora_kelp_03,SEMKelp01,0001A16D,big\n"       // scale not a number
    "flora_kelp_04,SEMKelp01,0001A16D,0\n"         // scale 0
    "flora_kelp_05,SEMKelp01,0001A16D,1,2,3\n"     // a field too many
    "*,Stump01,0001059F\n"                         // a prefix of nothing
    "flora_kelp_06,SEMKelp01,01000001\n"           // not Oblivion.esm's
    "flora_kelp_07,,0001A16D\n";                   // no editor id

struct Match {
    const char* id;
    const char* editorId;  // null: not found
    uint32_t formId;
    float scale, zOffset;
};

class ObjectTableTest : public ::testing::Test {
protected:
    void SetUp() override { messages_ = std::tmpfile(); }
    void TearDown() override { std::fclose(messages_); }
    std::string messages() const { return e2e::readStream(messages_); }
    void expectMatches(const ObjectTable& table, const std::vector<Match>& matches) const {
        for (const Match& match : matches) {
            const StandIn* standIn = table.find(match.id);
            if (match.editorId == nullptr) {
                EXPECT_EQ(standIn, nullptr) << match.id;
                continue;
            }
            ASSERT_NE(standIn, nullptr) << match.id;
            EXPECT_EQ(standIn->editorId, match.editorId) << match.id;
            EXPECT_EQ(standIn->formId, match.formId) << match.id;
            EXPECT_EQ(standIn->scale, match.scale) << match.id;
            EXPECT_EQ(standIn->zOffset, match.zOffset) << match.id;
        }
    }

    e2e::WorkDir work_;
    FILE* messages_ = nullptr;
};

TEST_F(ObjectTableTest, ExactLinesWinThenTheLongestPrefix) {
    work_.writeFile("lfdat/objects.dat", std::string(objectsFile));
    landfer::Reporter reporter(messages_, messages_);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    ObjectTable table(work_.path("lfdat"), problems);
    expectMatches(table, {
                             {"flora_bc_tree_02", "TreeSwampCypressForestFG08", 0x00089789, 1.25f, -16.0f},
                             {"FLORA_bc_TREE_02", "TreeSwampCypressForestFG08", 0x00089789, 1.25f, -16.0f},
                             {"flora_bc_tree_07", "TreeCPSwampCypressForest", 0x0005DCD9, 0.8f, 0.0f},
                             {"Flora_BC_Tree_12", "TreeSwampCypressForest", 0x00022C55, 1.0f, 0.0f},
                             {"flora_bc_tree_", "TreeSwampCypressForest", 0x00022C55, 1.0f, 0.0f},
                             {"flora_bc_fern_01", "Fern01", 0x000661B3, 1.0f, 0.0f},
                             {"terrain_rock_bc_01", "RockGreatForest690Moss", 0x0003D013, 2.0f, 8.5f},
                             {"terrain_rock_bc_011", nullptr, 0, 0, 0},
                             {"flora_bc", nullptr, 0, 0, 0},
                             {"flora_kelp_01", nullptr, 0, 0, 0},
                             {"flora_kelp_06", nullptr, 0, 0, 0},
                             {"", nullptr, 0, 0, 0},
                         });
}

TEST_F(ObjectTableTest, CorruptLinesAreReportedOnceWithTheirNumbers) {
    work_.writeFile("lfdat/objects.dat", std::string(objectsFile));
    landfer::Reporter reporter(messages_, messages_);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    ObjectTable table(work_.path("lfdat"), problems);
    EXPECT_EQ(table.find("flora_kelp_02"), nullptr);
    EXPECT_EQ(table.find("flora_kelp_02"), nullptr);
    EXPECT_NE(table.find("flora_bc_fern_01"), nullptr);
    std::string prefix = "Ignoring a corrupt line ";
    std::string file = " of " + work_.path("lfdat/objects.dat") + ": ";
    EXPECT_EQ(messages(), prefix + "11" + file + "flora_kelp_01,SEMKelp01\n" +                //
                              prefix + "12" + file + "flora_kelp_02,SEMKelp01,1A16D\n" +       //
                              prefix + "13" + file + "flora_kelp_03,SEMKelp01,0001A16D,big\n" +  //
                              prefix + "14" + file + "flora_kelp_04,SEMKelp01,0001A16D,0\n" +  //
                              prefix + "15" + file + "flora_kelp_05,SEMKelp01,0001A16D,1,2,3\n" +
                              prefix + "16" + file + "*,Stump01,0001059F\n" +  //
                              prefix + "17" + file + "flora_kelp_06,SEMKelp01,01000001\n" +
                              prefix + "18" + file + "flora_kelp_07,,0001A16D\n");
}

TEST_F(ObjectTableTest, AMissingFileHoldsNoStandIns) {
    std::remove(work_.path("lfdat/objects.dat").c_str());
    landfer::Reporter reporter(messages_, messages_);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    ObjectTable table(work_.path("lfdat"), problems);
    EXPECT_EQ(table.find("flora_bc_tree_01"), nullptr);
    EXPECT_EQ(messages(), "");
}

// A table of thousands of prefixes and exact lines answers a town's worth
// of lookups at once (a linear search would take seconds under the sanitizers).
TEST_F(ObjectTableTest, ManyLinesAndManyLookups) {
    std::string text;
    char line[96];
    for (int i = 0; i < 5000; ++i) {
        std::snprintf(line, sizeof line, "lf_prefix_%04d_*,Fern01,000661B3\nlf_exact_%04d,Fern02,000661B5\n", i, i);
        text += line;
    }
    work_.writeFile("lfdat/objects.dat", text);
    landfer::Reporter reporter(messages_, messages_);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    ObjectTable table(work_.path("lfdat"), problems);
    int found = 0, expected = 0;
    for (int i = 0; i < 200000; ++i) {
        expected += i % 6000 < 5000;
        std::snprintf(line, sizeof line, i % 2 == 0 ? "LF_PREFIX_%04d_tree" : "lf_exact_%04d", i % 6000);
        const StandIn* standIn = table.find(line);
        if (standIn != nullptr) found += standIn->editorId == (i % 2 == 0 ? "Fern01" : "Fern02");
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(messages(), "");
}

}  // namespace

TEST_F(ObjectTableTest, SectionsGiveTheTypeOfTheLinesAfterThem) {
    work_.writeFile("lfdat/objects.dat", std::string("flora_tree,Tree01,00000A01\n"
                                                     "[DOOR]\n"
                                                     "ex_common_door_*,ChorrolLoadDoorMiddle01,0002ACF4\n"
                                                     "[door]\n"       // line 4: not four capitals
                                                     "[DOORS]\n"      // line 5: not four letters
                                                     "in_door,LoadDoorLower01,0001C715\n"
                                                     "[CONT]\n"
                                                     "com_chest,Chest01,00000A02\n"));
    landfer::Reporter reporter(messages_, messages_);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    ObjectTable table(work_.path("lfdat"), problems);
    const StandIn* tree = table.find("flora_tree");
    const StandIn* door = table.find("ex_common_door_02");
    const StandIn* inner = table.find("in_door");
    const StandIn* chest = table.find("com_chest");
    ASSERT_TRUE(tree && door && inner && chest);
    EXPECT_EQ(tree->type, (std::array<char, 4>{}));
    EXPECT_TRUE(door->is("DOOR"));
    EXPECT_TRUE(inner->is("DOOR"));  // the corrupt section lines change nothing
    EXPECT_TRUE(chest->is("CONT"));
    std::string file = " of " + work_.path("lfdat/objects.dat") + ": ";
    EXPECT_EQ(messages(), "Ignoring a corrupt line 4" + file + "[door]\nIgnoring a corrupt line 5" + file + "[DOORS]\n");
}
