// Deleted records, as plugins store them: a DELE subrecord or the deleted
// flag 0x20 in the record header. Whatever their type they are skipped,
// with no message and no loss.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_run.h"
#include "landscape_support.h"
#include "npc_test_support.h"
#include "quest_stages.h"
#include "run_output.h"
#include "tes3_every_record.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::WorkDir;

namespace {

constexpr uint32_t deletedFlag = 0x20;
const tes3::Bytes deleteMark = tes3::int32s({0});

// The same record with the deleted flag in its header.
tes3::Record flaggedDeleted(const tes3::Record& record) {
    tes3::Record flagged(record.type(), deletedFlag);
    flagged.raw(record.data());
    return flagged;
}

std::vector<std::string> editorIds(const tes4::File& file, const std::string& type) {
    std::vector<std::string> ids;
    for (const tes4::Entry* record : file.records(type)) ids.push_back(npc_test::textOf(record->find("EDID")));
    return ids;
}

}  // namespace

TEST(DeletedRecords, AreSkippedWhateverTheirTypeWithNoLoss) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(npc_test::npc("gone").sub("DELE", deleteMark))
        .add(flaggedDeleted(npc_test::npc("flagged")))
        .add(npc_test::npc("kept"));
    plugin.add(tes3::global("g_gone", 's', 1).sub("DELE", deleteMark)).add(tes3::global("g_kept", 's', 2));
    plugin.add(flaggedDeleted(tes3::book("b_gone", "Gone", "text"))).add(tes3::book("b_kept", "Kept", "text"));
    tes3::Record goneCell("CELL");  // as plugins delete a cell: DELE behind its NAME
    goneCell.ztext("NAME", "Gone").sub("DELE", deleteMark).sub("DATA", tes3::int32s({0, 5, 5}));
    goneCell.raw(tes3::placedReference(1, "kept", 100.0f, 100.0f));
    plugin.add(goneCell).add(flaggedDeleted(tes3::cell("Flagged", 6, 6))).add(tes3::cell("Kept", 1, 1));
    // A deleted journal topic: the responses behind it are its own, not
    // entries of the journal before it.
    plugin.add(tes3::topic("lf_first", 4))
        .add(tes3::response("i1", "First.", 10))
        .add(tes3::topic("lf_gone", 4).sub("DELE", deleteMark))
        .add(tes3::response("i2", "Of the deleted topic.", 20))
        .add(flaggedDeleted(tes3::topic("lf_flagged", 4)))
        .add(tes3::response("i3", "Of the flagged topic.", 30))
        .add(tes3::topic("lf_next", 4))
        .add(tes3::response("i4", "Next.", 40))
        .add(flaggedDeleted(tes3::response("i5", "A deleted entry.", 50)));

    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    EXPECT_EQ(run.err, "");  // no message, no loss
    EXPECT_EQ(editorIds(file, "NPC_"), std::vector<std::string>{"kept"});
    EXPECT_EQ(editorIds(file, "GLOB"), std::vector<std::string>{"g_kept"});
    EXPECT_EQ(editorIds(file, "BOOK"), std::vector<std::string>{"b_kept"});
    EXPECT_EQ(editorIds(file, "QUST"), (std::vector<std::string>{"lf_first", "lf_next"}));
    ASSERT_EQ(file.records("QUST").size(), 2u);
    EXPECT_EQ(e2e::stagesOf(*file.records("QUST")[0]), std::vector<e2e::Stage>{e2e::Stage(10, "First.")});
    EXPECT_EQ(e2e::stagesOf(*file.records("QUST")[1]), std::vector<e2e::Stage>{e2e::Stage(40, "Next.")});
    std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 4u);
    for (const landscape::WorldCell& cell : cells) {
        EXPECT_EQ(cell.gridX / 2, 1);
        EXPECT_TRUE(cell.placed.empty());
    }
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Exterior CELLs"), 1);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total NPC_ records"), 1);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed NPCs"), 0);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Global variables"), 1);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Books"), 1);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Quests"), 2);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Journal entries"), 2);
}
