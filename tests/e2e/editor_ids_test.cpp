// Editor IDs are unique across the whole output without regard to letter
// case: the first record converted keeps its name, a later one takes the
// smallest free number, whatever the record types.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "npc_test_support.h"
#include "quest_stages.h"
#include "tes3_land.h"
#include "tes3_dialogue.h"

using e2e::RunResult;
using e2e::WorkDir;

namespace {

float flat(int, int) { return 0.0f; }

tes3::Bytes reference(const std::string& id, float x) {
    tes3::Record ref("FRMR");
    ref.sub("FRMR", tes3::int32s({1})).ztext("NAME", id).sub("DATA", tes3::floats({x, 100, 0, 0, 0, 0}));
    return ref.data();
}

tes3::Plugin collidingPlugin() {
    tes3::Plugin plugin;
    plugin.add(tes3::global("LF_Dup", 's', 1)).add(tes3::global("Greeting", 's', 1));
    plugin.add(tes3::global("inputdialogue", 's', 1));
    plugin.add(tes3::book("lf_dup", "Dup", "text")).add(tes3::book("bk01", "Book", "text"));
    plugin.add(tes3::book("lf_surveythecoast", "Survey", "text"));
    plugin.add(npc_test::npc("LF_DUP")).add(npc_test::npc("A SW"));
    plugin.add(tes3::plainRecord("STAT", "bk01").ztext("MODL", "x\\bk01.nif"));
    plugin.add(tes3::plainRecord("STAT", "landfer").ztext("MODL", "x\\landfer.nif"));
    tes3::Record cell = tes3::cell("A", 0, 0);
    cell.raw(reference("bk01", 100)).raw(reference("landfer", 200));
    plugin.add(cell).add(tes3::land(0, 0, flat));
    plugin.add(tes3::topic("LF_SurveyTheCoast", 4)).add(tes3::response("1", "Surveyed.", 10));
    plugin.add(tes3::topic("lf_dup", 4)).add(tes3::response("2", "Duplicated.", 10));
    tes3::ResponseFields words;
    words.id = "3";
    words.text = "Words.";
    plugin.add(tes3::topic("bk 01", 0)).add(tes3::dialogueResponse(words));
    return plugin;
}

}  // namespace

TEST(EditorIds, AreUniqueAcrossEveryRecordTypeTheFirstKeepingItsName) {
    WorkDir work;
    collidingPlugin().save(work.path("input.esp"));
    RunResult run = work.run({"--models", "morrowind", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The inspector rejects an output with two editor IDs of one name.
    tes4::File file = work.output();
    std::map<std::string, std::vector<std::string>> byType;
    for (const char* type : {"GLOB", "BOOK", "NPC_", "STAT", "WRLD", "CELL", "QUST", "DIAL"})
        for (const tes4::Entry* record : file.records(type))
            if (const tes4::Subrecord* edid = record->find("EDID")) byType[type].push_back(e2e::textOf(edid->data));
    // Oblivion's own GREETING topic keeps its editor ID.
    EXPECT_EQ(byType["GLOB"], (std::vector<std::string>{"LF_Dup", "Greeting2", "inputdialogue"}));
    EXPECT_EQ(byType["BOOK"], (std::vector<std::string>{"lf_dup2", "bk01", "lf_surveythecoast"}));
    EXPECT_EQ(byType["NPC_"], (std::vector<std::string>{"LF_DUP3", "A SW"}));
    EXPECT_EQ(byType["WRLD"], (std::vector<std::string>{"Landfer"}));
    EXPECT_EQ(byType["CELL"], (std::vector<std::string>{"A2 SW", "A2 SE", "A2 NW", "A2 NE"}));
    // The reference to bk01 places the book (an item of the plugin), so no static is made of it.
    EXPECT_EQ(byType["STAT"], (std::vector<std::string>{"landfer2"}));
    EXPECT_EQ(byType["QUST"], (std::vector<std::string>{"LF_SurveyTheCoast2", "lf_dup4", "inputDialogue2"}));
    EXPECT_EQ(byType["DIAL"], (std::vector<std::string>{"bk012"}));

    // The same input gives the same output, byte for byte.
    std::vector<uint8_t> first = work.outputBytes();
    ASSERT_EQ(work.run({"--models", "morrowind", "input.esp"}).status, 0);
    EXPECT_EQ(work.outputBytes(), first);
}
