// Journal topics become quests, read back from the output.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "e2e_run.h"
#include "quest_stages.h"
#include "run_output.h"

using e2e::RunResult;
using e2e::Stage;
using e2e::stagesOf;
using e2e::WorkDir;
using e2e::convertOk;
using e2e::summaryCount;
using tes4::Bytes;

namespace {

tes3::Record dial(const std::string& name, uint8_t type) { return tes3::topic(name, type); }
tes3::Record info(const std::string& text, int32_t journalIndex) { return tes3::response("1234567", text, journalIndex); }

std::string editorId(const tes4::Entry& record) { return e2e::textOf(record.find("EDID")->data); }

}  // namespace

TEST(Quests, JournalTopicBecomesAQuestWithItsStagesInOrder) {
    WorkDir work;
    std::string first(30, 'a'), second(50, 'b');
    tes3::Plugin plugin;
    plugin.add(dial("lf_quest", 4)).add(info(first, 10)).add(info(second, 20));
    plugin.add(dial("Hello", 1)).add(info("not a journal entry", 5));
    RunResult run;
    tes4::File file = convertOk(work, plugin, run);

    EXPECT_NE(run.out.find("\nDJD\n\nLandfer has finished"), std::string::npos) << run.out;
    EXPECT_EQ(e2e::withoutPlaces(run.err), "Not carried over:\n\tResponses of voice and persuasion topics left out: 1: Hello (1)\n");
    EXPECT_EQ(summaryCount(run.out, "Total Quests"), 1);
    EXPECT_EQ(summaryCount(run.out, "Total Journal entries"), 2);
    ASSERT_EQ(file.groups.size(), 1u);
    const tes4::Entry& group = file.groups[0];
    EXPECT_EQ(group.labelText(), "QUST");
    EXPECT_EQ(group.size, 239u);
    ASSERT_EQ(group.children.size(), 1u);
    const tes4::Entry& quest = group.children[0];
    EXPECT_EQ(quest.size, 78u + 98u + 8u + 15u);
    EXPECT_EQ(quest.formId, 0x011E8480u);
    EXPECT_EQ(editorId(quest), "lf_quest");
    EXPECT_EQ(stagesOf(quest), (std::vector<Stage>{{10, first}, {20, second}}));
}

TEST(Quests, LastJournalOfTheInputIsWrittenAndOrdinaryResponsesAreNoEntries) {
    WorkDir work;
    tes3::Record nameless("DIAL");  // takes no name from the topic before it
    nameless.sub("DATA", {4});
    tes3::Plugin plugin;
    plugin.add(info("before any topic", 1)).add(dial("Background", 0)).add(info("ordinary", 2));
    plugin.add(dial("lf_named", 4)).add(info("named", 1)).add(nameless).add(info("nameless", 2));
    plugin.add(dial("lf_last", 4)).add(info("one", 10)).add(info("two", 20)).add(info("three", 30));
    RunResult run;
    tes4::File file = convertOk(work, plugin, run);
    EXPECT_NE(run.out.find("\nDDJDJDJ\n\n"), std::string::npos) << run.out;
    EXPECT_EQ(summaryCount(run.out, "Total Quests"), 3);
    EXPECT_EQ(summaryCount(run.out, "Total Journal entries"), 5);
    EXPECT_EQ(summaryCount(run.out, "Total Dialogue responses"), 1);  // the ordinary one
    auto quests = e2e::journalQuests(file);
    ASSERT_EQ(quests.size(), 3u);
    EXPECT_EQ(editorId(*quests[0]), "lf_named");
    EXPECT_EQ(editorId(*quests[1]), "");
    EXPECT_EQ(stagesOf(*quests[1]), (std::vector<Stage>{{2, "nameless"}}));
    EXPECT_EQ(editorId(*quests[2]), "lf_last");
    EXPECT_EQ(stagesOf(*quests[2]), (std::vector<Stage>{{10, "one"}, {20, "two"}, {30, "three"}}));
}

TEST(Quests, SeveralQuestsGiveAGroupOfExactSizeAndTakeFormIdsWhenStaged) {
    for (int count : {2, 3}) {
        WorkDir work;
        tes3::Plugin plugin;
        for (int q = 0; q < count; ++q) {
            plugin.add(tes3::global("lf_g" + std::to_string(q), 's', 1));
            plugin.add(dial("lf_quest_" + std::string(q * 7 + 1, 'x'), 4));
            for (int s = 0; s <= q; ++s) plugin.add(info("stage " + std::string(s * 11, 's'), 10 * (s + 1)));
        }
        RunResult run;
        tes4::File file = convertOk(work, plugin, run);
        EXPECT_EQ(summaryCount(run.out, "Total Quests"), count);
        ASSERT_EQ(file.groups.size(), 2u);
        const tes4::Entry& group = file.groups.back();
        ASSERT_EQ(group.labelText(), "QUST");
        ASSERT_EQ(group.children.size(), static_cast<size_t>(count));
        uint32_t questBytes = 0;
        for (int q = 0; q < count; ++q) {
            const tes4::Entry& quest = group.children[q];
            questBytes += quest.size;
            EXPECT_EQ(editorId(quest), "lf_quest_" + std::string(q * 7 + 1, 'x'));
            EXPECT_EQ(stagesOf(quest).size(), static_cast<size_t>(q + 1));
            // Staged when the next topic (or the end) closes it: after the global that follows it.
            EXPECT_EQ(quest.formId, 0x011E8480u + 2 * q + (q + 1 < count ? 2 : 1));
        }
        EXPECT_EQ(group.size, questBytes + 20u * count + 20u);
        EXPECT_EQ(group.offset + group.size, file.size);  // the last group, ending the file
    }
}

// The stages wait in the run's own folder (a stages file that cannot be
// created there is fatal: see the unit test StagingFile): a directory by
// the name an earlier version staged them under survives the start-up
// deletion and is no obstacle.
TEST(Quests, AFolderByTheOldQuestFileNameIsLeftAlone) {
    WorkDir work;
    std::filesystem::create_directory(work.path("quest.tmp"));
    work.writeFile("quest.tmp/keep", std::string("x"));
    tes3::Plugin plugin;
    plugin.add(dial("lf_lost", 4)).add(info("entry", 1));
    RunResult run;
    tes4::File file = convertOk(work, plugin, run);
    EXPECT_EQ(file.records("QUST").size(), 1u);
    EXPECT_TRUE(work.exists("quest.tmp/keep"));
    // The stages of the open topic wait in memory: no file of their own.
    EXPECT_FALSE(work.exists("quest_indx.tmp"));
}

TEST(Quests, NoQuestGroupWithoutJournalEntries) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(dial("Hello", 1)).add(info("hello", 0)).add(dial("lf_empty", 4)).add(dial("Farewell", 1));
    plugin.add(info("goodbye", 0));
    RunResult run;
    tes4::File file = convertOk(work, plugin, run);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "The journal lf_empty has no entries: no quest is made of it.\n"
              "Not carried over:\n\tResponses of voice and persuasion topics left out: 2: Hello (1), Farewell (1)\n"
              "\tWarnings (see the messages above): 1: DIAL lf_empty (1)\n");
    EXPECT_EQ(summaryCount(run.out, "Total Quests"), 0);
    EXPECT_EQ(summaryCount(run.out, "Total Journal entries"), 0);
    EXPECT_TRUE(file.groups.empty());
    EXPECT_EQ(file.size, 85u);
}

TEST(Quests, OversizedAndMalformedEntriesLoseOnlyThemselves) {
    WorkDir work;
    std::string longName(300, 'n');
    std::string fits(65534, 'f');
    tes3::Record pastEnd("INFO");
    pastEnd.raw({'N', 'A', 'M', 'E', 50, 0, 0, 0, 'x'});
    tes3::Record shortData("INFO");
    shortData.sub("DATA", {4, 0, 0, 0}).sub("NAME", tes3::text("short"));
    tes3::Record brokenTopic("DIAL");
    brokenTopic.ztext("NAME", "lf_broken").sub("DATA", {4}).raw({'X', 'X', 'X', 'X', 9, 0, 0, 0});
    tes3::Plugin plugin;
    plugin.add(dial(longName, 4)).add(info("kept before", 1)).add(info(std::string(65535, 'h'), 2));
    plugin.add(pastEnd).add(shortData).add(info(fits, 3));
    // The responses of a topic that cannot be read join no quest.
    plugin.add(brokenTopic).add(info("of the broken topic", 4));
    std::string hugeName(65535, 'q');  // too long for a 16-bit EDID
    plugin.add(dial(hugeName, 4)).add(info("lost with its quest", 5));
    RunResult run;
    tes4::File file = convertOk(work, plugin, run);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "The INFO record " + longName +
                           " cannot be converted: its CNAM subrecord would hold 65536 bytes, more than 65535. "
                           "Ignoring!\n"
                           "The INFO record without an editor ID is malformed (its NAME subrecord of 50 bytes "
                           "runs past the end of the record). Ignoring!\n"
                           "The INFO record without an editor ID is malformed (its DATA subrecord holds 4 of 8 "
                           "bytes). Ignoring!\n"
                           "The DIAL record lf_broken is malformed (its XXXX subrecord of 9 bytes runs past the "
                           "end of the record). Ignoring!\n"
                           "The QUST record " + hugeName +
                           " cannot be converted: its EDID subrecord would hold 65536 bytes, more than 65535. "
                           "Ignoring!\n"
                           "Not carried over:\n"
                           "\tJournal entries dropped (text longer than 65534 bytes): 1: " + longName + " (1)\n"
                           "\tRecords skipped (see the messages above): 4: INFO without an editor ID (2), DIAL "
                           "lf_broken (1), QUST " + hugeName + " (1)\n");
    EXPECT_EQ(summaryCount(run.out, "Total Quests"), 1);
    EXPECT_EQ(summaryCount(run.out, "Total Journal entries"), 2);
    auto quests = file.records("QUST");
    ASSERT_EQ(quests.size(), 1u);
    EXPECT_EQ(editorId(*quests[0]), longName);
    EXPECT_EQ(stagesOf(*quests[0]), (std::vector<Stage>{{1, "kept before"}, {3, fits}}));
    // Beyond 16 bits: the header holds the whole data size.
    EXPECT_EQ(quests[0]->size, (47u + 12u) + (47u + 65535u) + 300u + 15u);
}

TEST(Quests, RealPluginsWithDialogueConvertSoundly) {
    for (const char* name : {"red_wisdom.esp", "sable_dragon_gmst.esp"}) {
        std::string path = LANDFER_SOURCE_DIR "/../shared/samples/" + std::string(name);
        if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not there";
        WorkDir work;
        RunResult run = work.run({path});
        ASSERT_EQ(run.status, 0) << name << run.err;
        tes4::File file = work.output();
        tes4::checkTopGroupTypes(file);
        auto quests = e2e::journalQuests(file);
        EXPECT_GT(quests.size(), 0u) << name;
        EXPECT_EQ(static_cast<int>(quests.size()), summaryCount(run.out, "Total Quests")) << name;
        size_t stages = 0;
        for (const tes4::Entry* quest : quests) stages += stagesOf(*quest).size();
        EXPECT_EQ(static_cast<int>(stages), summaryCount(run.out, "Total Journal entries")) << name;
        EXPECT_EQ(file.groups.back().labelText(), "QUST") << name;
    }
}

TEST(Quests, FailedWriteToAStagingFileIsFatal) {
    SKIP_UNDER_WINDOWS("a file size limit (RLIMIT_FSIZE) is a POSIX resource limit");
    WorkDir work;
    e2e::RunLimits limits;
    limits.fileSizeLimit = 200;  // room for the output's header, not for the stage
    RunResult run = work.convert(tes3::Plugin().add(dial("lf_big", 4)).add(info(std::string(300, 'w'), 1)), limits);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(e2e::withoutStagingFolder(e2e::withoutPlaces(run.err)), "Unable to write to quest.tmp: File too large\n");
    EXPECT_TRUE(e2e::stagingFolders(work.files()).empty());
}

// Journal entries that no stage can hold are left out, each with its
// message, and listed in the loss report and the CSV: an index beyond a
// stage's 16 bits never becomes another stage (65541 is no stage 5), a
// text or name too long for a subrecord loses only its entry.
TEST(Quests, EntriesNoStageHoldsAreReportedLosses) {
    WorkDir work;
    const std::string tooLong(65535, 't');
    tes3::Record secondName = info("A Second Name", 0);
    secondName.sub("QSTN", Bytes{1});
    tes3::Record longName = info(tooLong, 0);
    longName.sub("QSTN", Bytes{1});
    tes3::Record firstName = info("The Only Name", 0);
    firstName.sub("QSTN", Bytes{1});
    tes3::Plugin plugin;
    plugin.add(dial("lf_range", 4)).add(info("Stage five.", 5)).add(info("Not stage five.", 65541));
    plugin.add(info("Below zero.", -1)).add(info("Last stage.", 65535)).add(info(tooLong, 7));
    plugin.add(longName).add(firstName).add(secondName);
    plugin.save(work.path("input.esp"));
    RunResult run = work.run({"--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string cannot = "The INFO record lf_range cannot be converted: its ";
    EXPECT_EQ(e2e::withoutPlaces(run.err), cannot + "journal index 65541 is beyond a quest stage's 0 to 65535. Ignoring!\n" + cannot +
                           "journal index -1 is beyond a quest stage's 0 to 65535. Ignoring!\n" + cannot +
                           "CNAM subrecord would hold 65536 bytes, more than 65535. Ignoring!\n" + cannot +
                           "FULL subrecord would hold 65536 bytes, more than 65535. Ignoring!\n"
                           "Not carried over:\n"
                           "\tJournal entries dropped (text longer than 65534 bytes): 2: lf_range (2)\n"
                           "\tJournal entries dropped (index beyond a stage's 0 to 65535): 2: lf_range (2)\n"
                           "\tJournal name entries dropped (the quest keeps its first name): 1: lf_range (1)\n");
    std::vector<uint8_t> csv = tes4::readFileBytes(work.path("losses.csv"));
    EXPECT_EQ(std::string(csv.begin(), csv.end()),
              "kind,identifier,count,became\n"
              "journal entry,lf_range,2,dropped\n"
              "journal index,lf_range,2,dropped\n"
              "journal name,lf_range,1,dropped\n");

    EXPECT_EQ(summaryCount(run.out, "Total Journal entries"), 2);
    tes4::File file = work.output();
    auto quests = file.records("QUST");
    ASSERT_EQ(quests.size(), 1u);
    EXPECT_EQ(e2e::textOf(quests[0]->find("FULL")->data), "The Only Name");
    EXPECT_EQ(stagesOf(*quests[0]), (std::vector<Stage>{{5, "Stage five."}, {65535, "Last stage."}}));
}
