// The marks of Morrowind journal entries: the entry that names the quest,
// the one that finishes it, deleted entries and restarts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "quest_stages.h"
#include "run_output.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::Stage;
using e2e::stagesOf;
using e2e::textOf;
using e2e::WorkDir;
using e2e::convertOk;
using e2e::summaryCount;
using tes4::Bytes;

namespace {

tes3::Record journal(const std::string& name) { return tes3::topic(name, 4); }

// A journal entry with the given marks (QSTN, QSTF, QSTR: one byte 1; DELE: four 0 bytes).
tes3::Record entry(const std::string& text, int32_t index, const std::vector<std::string>& marks = {}) {
    tes3::Record record = tes3::response("lf_info", text, index);
    for (const std::string& mark : marks) record.sub(mark, mark == "DELE" ? Bytes(4, 0) : Bytes{1});
    return record;
}

std::string subrecordTypes(const tes4::Entry& record) {
    std::string types;
    for (const auto& sub : record.subrecords) types += sub.type;
    return types;
}

std::string emptyQuestMessage(const std::string& quest) {
    return "The journal " + quest + " has no entries: no quest is made of it.\n";
}

}  // namespace

TEST(JournalMarks, NameFinishDeletionAndRestart) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(journal("lf_marks"))
        .add(entry("The Marked Quest", 0, {"QSTN"}))
        .add(entry("It begins.", 10))
        .add(entry("Struck from the journal.", 15, {"DELE"}))
        .add(entry("A deleted name.", 0, {"QSTN", "DELE"}))
        .add(entry("It begins again.", 5, {"QSTR"}))
        .add(entry("A second name entry.", 0, {"QSTN"}))
        .add(entry("It is done.", 100, {"QSTF"}));
    // Journals left without a journal entry: only a name, only deleted entries.
    plugin.add(journal("lf_name_only")).add(entry("Only a Name", 0, {"QSTN"}));
    plugin.add(journal("lf_all_deleted")).add(entry("gone", 10, {"DELE"})).add(entry("also gone", 20, {"DELE", "QSTF"}));
    plugin.add(journal("lf_plain")).add(entry("No marks at all.", 1));
    plugin.add(tes3::topic("Greeting", 0));
    RunResult run;
    tes4::File file = convertOk(work, plugin, run);

    // The empty journals' messages each end their line; the restart and the second name are lost.
    EXPECT_EQ(e2e::withoutPlaces(run.err), emptyQuestMessage("lf_name_only") + emptyQuestMessage("lf_all_deleted") +
                           "Not carried over:\n"
                           "\tJournal restarts dropped (the stages are kept): 1: lf_marks (1)\n"
                           "\tJournal name entries dropped (the quest keeps its first name): 1: lf_marks (1)\n"
                           "\tWarnings (see the messages above): 2: DIAL lf_name_only (1), DIAL lf_all_deleted (1)\n");
    EXPECT_EQ(summaryCount(run.out, "Total Quests"), 2);
    EXPECT_EQ(summaryCount(run.out, "Total Journal entries"), 4);

    auto quests = file.records("QUST");
    ASSERT_EQ(quests.size(), 2u);
    const tes4::Entry& marked = *quests[0];
    EXPECT_EQ(textOf(marked.find("EDID")->data), "lf_marks");
    // The first name entry names the quest, directly after EDID.
    EXPECT_EQ(subrecordTypes(marked).substr(0, 12), "EDIDFULLDATA");
    EXPECT_EQ(marked.subrecords[1].data, Bytes({'T', 'h', 'e', ' ', 'M', 'a', 'r', 'k', 'e', 'd', ' ', 'Q', 'u', 'e',
                                                's', 't', 0}));
    EXPECT_EQ(stagesOf(marked), (std::vector<Stage>{{10, 0, "It begins."}, {5, 0, "It begins again."},
                                                    {100, 1, "It is done."}}));
    // The record's size is that of its subrecords: EDID 9, FULL 17, DATA 2
    // and three stages of 47 bytes plus their texts.
    EXPECT_EQ(marked.size, (6u + 9u) + (6u + 17u) + (6u + 2u) + (47u + 11u) + (47u + 17u) + (47u + 12u));

    const tes4::Entry& plain = *quests[1];
    EXPECT_EQ(textOf(plain.find("EDID")->data), "lf_plain");
    EXPECT_EQ(plain.find("FULL"), nullptr);  // no name entry, no name
    EXPECT_EQ(stagesOf(plain), (std::vector<Stage>{{1, 0, "No marks at all."}}));
}

TEST(JournalMarks, RealPluginsQuestsComeOutWithTheirNamesAndEndings) {
    for (const char* sample : {"red_wisdom.esp", "sable_dragon_gmst.esp", "g7_all_types.esp"}) {
        std::string path = LANDFER_SOURCE_DIR "/../shared/samples/" + std::string(sample);
        if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not there";
        // The names the plugin's journals give in their QSTN entries, and
        // how many of their entries finish a quest. Only a journal with a
        // stage becomes a quest.
        std::vector<tes3::ReadRecord> input = tes3::readPlugin(tes4::readFileBytes(path));
        std::vector<std::string> expectedNames;
        int expectedFinishing = 0, finishing = 0;
        bool journalOpen = false, hasStage = false;
        std::string name;
        auto closeJournal = [&] {
            if (journalOpen && hasStage && !name.empty()) expectedNames.push_back(name);
            if (journalOpen && hasStage) expectedFinishing += finishing;
            journalOpen = hasStage = false;
            finishing = 0;
            name.clear();
        };
        for (const tes3::ReadRecord& record : input) {
            if (record.type == "DIAL") {
                closeJournal();
                const tes3::ReadSubrecord* data = record.find("DATA");
                journalOpen = data != nullptr && !data->data.empty() && data->data[0] == 4;
            } else if (record.type == "INFO" && journalOpen && record.find("DELE") == nullptr) {
                const tes3::ReadSubrecord* text = record.find("NAME");
                if (record.find("QSTN") == nullptr) {
                    hasStage = true;
                    finishing += record.find("QSTF") != nullptr;
                } else if (name.empty() && text != nullptr) {
                    name.assign(text->data.begin(), text->data.end());
                }
            }
        }
        closeJournal();
        ASSERT_FALSE(expectedNames.empty()) << sample;
        ASSERT_GT(expectedFinishing, 0) << sample;

        WorkDir work;
        RunResult run = work.run({path});
        ASSERT_EQ(run.status, 0) << sample << run.err;
        tes4::File file = work.output();
        std::vector<std::string> names;
        int finishingStages = 0;
        for (const tes4::Entry* quest : e2e::journalQuests(file)) {
            if (const tes4::Subrecord* full = quest->find("FULL")) names.push_back(textOf(full->data));
            for (const Stage& stage : stagesOf(*quest)) finishingStages += stage.flags == 1;
        }
        EXPECT_EQ(names, expectedNames) << sample;
        EXPECT_EQ(finishingStages, expectedFinishing) << sample;
    }
}

// Two journal topics of one name, compared without regard to case, are one
// journal in Morrowind: one quest, as if the later topic's entries followed
// the earlier's. The quest takes its FormID when the first topic of its name
// that gives a stage closes.
TEST(JournalMarks, TopicsOfOneNameMakeOneQuest) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::global("lf_g0", 's', 0));
    plugin.add(journal("lf_Patrol")).add(entry("First watch.", 10)).add(entry("Second watch.", 20));
    plugin.add(tes3::global("lf_g1", 's', 1));
    plugin.add(journal("lf_named")).add(entry("The Named", 0, {"QSTN"}));  // a name, no stage yet
    plugin.add(tes3::topic("Greeting", 0)).add(entry("Not a journal entry.", 1));
    plugin.add(journal("LF_PATROL")).add(entry("Patrol Duty", 0, {"QSTN"})).add(entry("Last watch.", 30, {"QSTF"}));
    plugin.add(tes3::global("lf_g2", 's', 2));
    plugin.add(journal("LF_Named")).add(entry("Named at last.", 5));
    plugin.add(journal("lf_single")).add(entry("Alone.", 1));
    plugin.add(journal("lf_named")).add(entry("Another Name", 0, {"QSTN"})).add(entry("Named twice.", 6));
    RunResult run;
    tes4::File file = convertOk(work, plugin, run);

    // The name-only topic is no empty journal: its name's later topics give
    // stages. The last topic's name entry comes after the first's.
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "Not carried over:\n"
              "\tJournal name entries dropped (the quest keeps its first name): 1: lf_named (1)\n");
    EXPECT_EQ(summaryCount(run.out, "Total Quests"), 3);
    EXPECT_EQ(summaryCount(run.out, "Total Journal entries"), 6);
    auto quests = e2e::journalQuests(file);
    ASSERT_EQ(quests.size(), 3u);
    const uint32_t first = 0x011E8480u;
    struct Expected {
        const char* editorId;
        const char* title;
        uint32_t formId;
        std::vector<Stage> stages;
    };
    const Expected expected[] = {
        {"lf_Patrol", "Patrol Duty", first + 2, {{10, 0, "First watch."}, {20, 0, "Second watch."}, {30, 1, "Last watch."}}},
        {"lf_named", "The Named", first + 4, {{5, 0, "Named at last."}, {6, 0, "Named twice."}}},
        {"lf_single", nullptr, first + 5, {{1, 0, "Alone."}}},
    };
    for (size_t q = 0; q < quests.size(); ++q) {
        const tes4::Entry& quest = *quests[q];
        EXPECT_EQ(textOf(quest.find("EDID")->data), expected[q].editorId);
        if (expected[q].title == nullptr)
            EXPECT_EQ(quest.find("FULL"), nullptr);
        else
            EXPECT_EQ(textOf(quest.find("FULL")->data), expected[q].title);
        EXPECT_EQ(quest.formId, expected[q].formId) << expected[q].editorId;
        EXPECT_EQ(stagesOf(quest), expected[q].stages) << expected[q].editorId;
    }
    EXPECT_EQ(file.records("GLOB").at(2)->formId, first + 3);

    const std::string oracle = std::string(LANDFER_SOURCE_DIR) + "/../shared/oracles/wrye-bash/wb_check.py";
    if (!std::filesystem::exists(oracle)) GTEST_SKIP() << "no Wrye Bash here (../shared/oracles)";
    RunResult verdict = work.runProgram("/usr/bin/python3", {oracle, "--roundtrip", "--quiet", "LANDFER.ESP"});
    EXPECT_EQ(verdict.status, 0) << verdict.out << verdict.err;
}
