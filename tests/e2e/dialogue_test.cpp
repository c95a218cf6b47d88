// Dialogue: Morrowind's topics, greetings and their responses as Oblivion
// topics and INFO records, with the conditions that choose them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "dialogue_output.h"
#include "e2e_run.h"
#include "npc_test_support.h"
#include "quest_stages.h"
#include "run_output.h"
#include "tes3_dialogue.h"
#include "tes3_land.h"
#include "test_helpers.h"

using e2e::OutputCondition;
using e2e::OutputTopic;
using e2e::RunResult;
using e2e::WorkDir;
using tes3::Filter;
using tes3::ResponseFields;

namespace {

constexpr uint32_t greeting = 0x000000C8, playerRef = 0x14, darkElf = 0x000191C1, warrior = 0x00023787;
constexpr uint8_t equal = 0x00, notEqual = 0x20, greater = 0x40, atLeast = 0x60, orFlag = 0x01, onTarget = 0x02;

ResponseFields said(const std::string& id, const std::string& text, const std::string& previous = "") {
    ResponseFields fields;
    fields.id = id;
    fields.text = text;
    fields.previous = previous;
    return fields;
}

tes3::Record flat(int32_t x, int32_t y) {
    return tes3::land(x, y, [](int, int) { return 0; });
}

// The world the conditions name: two NPCs, three named exterior cells, a
// global and a journal with one entry.
tes3::Plugin worldPlugin() {
    tes3::Plugin plugin;
    plugin.add(npc_test::npc("lf_speaker", "Dark Elf")).add(npc_test::npc("lf_victim"));
    plugin.add(tes3::cell("Riverside", 1, 0)).add(flat(1, 0));
    plugin.add(tes3::cell("Riverbank", 2, 0)).add(flat(2, 0));
    plugin.add(tes3::cell("Hilltop", 3, 0)).add(flat(3, 0));
    plugin.add(tes3::global("lf_global", 's', 3));
    plugin.add(tes3::topic("lf_quest", 4)).add(tes3::response("lf_entry", "It begins.", 10));
    return plugin;
}

const tes4::Entry* topicNamed(const std::vector<OutputTopic>& topics, const std::string& name,
                              std::vector<const tes4::Entry*>* responses = nullptr) {
    for (const OutputTopic& topic : topics) {
        const tes4::Subrecord* full = topic.record->find("FULL");
        if (full != nullptr && e2e::textOf(full->data) == name) {
            if (responses != nullptr) *responses = topic.responses;
            return topic.record;
        }
    }
    return nullptr;
}

uint32_t formIdNamed(const tes4::File& file, const std::string& type, const std::string& editorId) {
    for (const tes4::Entry* record : file.records(type))
        if (record->find("EDID") != nullptr && e2e::textOf(record->find("EDID")->data) == editorId) return record->formId;
    return 0;
}

// Every response of every topic chained to the one before it, the first to none.
void expectChained(const OutputTopic& topic) {
    uint32_t previous = 0;
    for (const tes4::Entry* info : topic.responses) {
        EXPECT_EQ(e2e::formIdsOf(*info, "PNAM"), std::vector<uint32_t>{previous});
        previous = info->formId;
    }
}

void expectRoundTrip(const WorkDir& work) {
    if (e2e::wryeBashChecker().empty()) return;
    RunResult verdict = e2e::wryeBashRoundTrip(work, {"LANDFER.ESP"});
    EXPECT_EQ(verdict.status, 0) << verdict.out << verdict.err;
}

}  // namespace

TEST(Dialogue, EveryConditionKind) {
    WorkDir work;
    tes3::Plugin plugin = worldPlugin();
    plugin.add(tes3::topic("lf topic", 0));
    // One response per condition kind, then three that are left out.
    using Setter = void (*)(ResponseFields&);
    const std::vector<std::pair<const char*, Setter>> cases = {
        {"By speaker.", [](ResponseFields& r) { r.speaker = "LF_Speaker"; }},
        {"By race.", [](ResponseFields& r) { r.race = "Dark Elf"; }},
        {"By class.", [](ResponseFields& r) { r.className = "warrior"; }},
        {"By sex.", [](ResponseFields& r) { r.sex = 1; }},
        {"By disposition.", [](ResponseFields& r) { r.disposition = 40; }},
        {"By cell.", [](ResponseFields& r) { r.cell = "river"; }},
        {"By journal.", [](ResponseFields& r) { r.filters = {{"04JX3lf_quest", 10}}; }},
        {"By global.", [](ResponseFields& r) { r.filters = {{"02sX0lf_global", 5}}; }},
        {"By item.", [](ResponseFields& r) { r.filters = {{"05IX2adamantium boots", 0}}; }},
        {"By the dead.", [](ResponseFields& r) { r.filters = {{"06DX0lf_victim", 0}}; }},
        {"Not by id.", [](ResponseFields& r) { r.filters = {{"07XX0lf_speaker", 0}}; }},
        {"Not by race.", [](ResponseFields& r) { r.filters = {{"0AXX0Dark Elf", 1}}; }},
        {"Not by class.", [](ResponseFields& r) { r.filters = {{"09XX0Warrior", 0}}; }},
        {"By the player's level.", [](ResponseFields& r) { r.filters = {{"01063", 5}}; }},
        {"By the player's sex.", [](ResponseFields& r) { r.filters = {{"01380", 1}}; }},
        {"Not in a cell.", [](ResponseFields& r) { r.filters = {{"0BXX0river", 1}}; }},
        {"By faction.", [](ResponseFields& r) { r.faction = "lf_faction"; }},
        {"By a local.", [](ResponseFields& r) { r.filters = {{"03sX0lf_local", 1}}; }},
        {"By a journal the plugin lacks.", [](ResponseFields& r) { r.filters = {{"04JX0lf_nowhere", 1}}; }},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        ResponseFields fields = said(std::to_string(i + 1), cases[i].first);
        cases[i].second(fields);
        plugin.add(tes3::dialogueResponse(fields));
    }

    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    std::vector<const tes4::Entry*> responses;
    const auto topics = e2e::topicsOf(file);
    ASSERT_NE(topicNamed(topics, "lf topic", &responses), nullptr);
    ASSERT_EQ(responses.size(), 16u);

    const uint32_t speaker = file.records("NPC_").at(0)->formId, victim = file.records("NPC_").at(1)->formId;
    const uint32_t quest = formIdNamed(file, "QUST", "lf_quest"), global = formIdNamed(file, "GLOB", "lf_global");
    std::vector<uint32_t> riverCells;  // Riverbank's four quads, then Riverside's (by name)
    for (const char* name : {"Riverbank", "Riverside"})
        for (const char* quad : {" SW", " SE", " NW", " NE"})
            riverCells.push_back(formIdNamed(file, "CELL", std::string(name) + quad));
    std::vector<OutputCondition> byCell, notByCell;
    for (size_t i = 0; i < riverCells.size(); ++i) {
        byCell.push_back({static_cast<uint8_t>(equal | (i + 1 < riverCells.size() ? orFlag : 0)), 1, 67, riverCells[i]});
        notByCell.push_back({equal, 0, 67, riverCells[i]});
    }
    const std::vector<std::vector<OutputCondition>> expected = {
        {{equal, 1, 72, speaker}},
        {{equal, 1, 69, darkElf}},
        {{equal, 1, 68, warrior}},
        {{equal, 1, 70, 1}},
        {{atLeast, 40, 76, playerRef}},
        byCell,
        {{atLeast, 10, 58, quest}},
        {{equal, 5, 74, global}},
        {{greater | onTarget, 0, 47, 0x0002C0FC}},
        {{equal, 0, 84, victim}},
        {{equal, 1, 72, speaker}},
        {{equal, 0, 69, darkElf}},
        {{equal, 1, 68, warrior}},
        {{atLeast | onTarget, 5, 80, 0}},
        {{equal, 1, 131, 1}},
        notByCell,
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(e2e::conditionsOf(*responses[i]), expected[i]) << e2e::responseTexts(*responses[i]).at(0);
        EXPECT_EQ(e2e::formIdsOf(*responses[i], "QSTI"), std::vector<uint32_t>{formIdNamed(file, "QUST", "inputDialogue")});
    }
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue topics"), 1);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue responses"), 16);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Quests"), 1);
    const std::string report = e2e::lossReport(run.err);
    EXPECT_NE(report.find("Dialogue responses left out (a condition Oblivion cannot carry): 3"), std::string::npos) << report;
    EXPECT_NE(report.find("lf topic: faction lf_faction (1)"), std::string::npos) << report;
    EXPECT_NE(report.find("lf topic: local variable lf_local (1)"), std::string::npos) << report;
    EXPECT_NE(report.find("lf topic: journal lf_nowhere not in the output (1)"), std::string::npos) << report;
    expectRoundTrip(work);
}

TEST(Dialogue, TheQuestOfTheDialogue) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::topic("lf_journal", 4)).add(tes3::response("lf_entry", "It begins.", 10));
    plugin.add(tes3::topic("lf words", 0)).add(tes3::dialogueResponse(said("1", "Words.")));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    const auto quests = file.records("QUST");
    ASSERT_EQ(quests.size(), 2u);
    EXPECT_EQ(e2e::textOf(quests[1]->find("EDID")->data), "inputDialogue");
    EXPECT_EQ(quests[1]->find("DATA")->data, (tes4::Bytes{0x01, 50}));
    EXPECT_LT(quests[0]->formId, quests[1]->formId);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 1u);
    const tes4::Entry& topic = *topics[0].record;
    std::string types;
    for (const auto& sub : topic.subrecords) types += sub.type;
    EXPECT_EQ(types, "EDIDQSTIFULLDATA");
    EXPECT_EQ(e2e::textOf(topic.find("EDID")->data), "lfwords");
    EXPECT_EQ(e2e::formIdsOf(topic, "QSTI"), std::vector<uint32_t>{quests[1]->formId});
    EXPECT_EQ(topic.find("DATA")->data, tes4::Bytes{0});
    const tes4::Entry& info = *topics[0].responses.at(0);
    types.clear();
    for (const auto& sub : info.subrecords) types += sub.type;
    EXPECT_EQ(types, "DATAQSTIPNAMTRDTNAM1NAM2SCHR");
    EXPECT_EQ(info.find("DATA")->data, (tes4::Bytes{0, 0, 0}));
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Quests"), 1);
    expectRoundTrip(work);
}

TEST(Dialogue, ResponsesInMorrowindsOrder) {
    WorkDir work;
    tes3::Plugin plugin = worldPlugin();
    plugin.add(tes3::topic("lf order", 0));
    // Given out of order: the chain through the previous responses decides.
    ResponseFields second = said("b", "Second.", "a"), lost = said("c", "Left out for a faction.", "b");
    lost.faction = "lf_faction";
    ResponseFields goodbye = said("d", "Fourth, and goodbye.", "c");
    goodbye.script = "; a comment\r\nGoodbye\r\n";
    goodbye.sound = "Vo\\lf_fourth.mp3";
    plugin.add(tes3::dialogueResponse(second))
        .add(tes3::dialogueResponse(goodbye))
        .add(tes3::dialogueResponse(said("a", "First.")))
        .add(tes3::dialogueResponse(lost))
        .add(tes3::dialogueResponse(said("e", "Fifth.", "d")))
        .add(tes3::dialogueResponse(said("f", "Sixth.", "e")));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 1u);
    std::vector<std::string> texts;
    for (const tes4::Entry* info : topics[0].responses) texts.push_back(e2e::responseTexts(*info).at(0));
    EXPECT_EQ(texts, (std::vector<std::string>{"First.", "Second.", "Fourth, and goodbye.", "Fifth.", "Sixth."}));
    expectChained(topics[0]);
    EXPECT_EQ(topics[0].responses[2]->find("DATA")->data, (tes4::Bytes{0, 0, 1}));
    EXPECT_EQ(topics[0].responses[3]->find("DATA")->data, (tes4::Bytes{0, 0, 0}));
    const std::string report = e2e::lossReport(run.err);
    EXPECT_NE(report.find("lf order: faction lf_faction (1)"), std::string::npos) << report;
    EXPECT_NE(report.find("Result scripts of dialogue responses not carried over (port them by hand): 1"),
              std::string::npos) << report;
    EXPECT_NE(report.find("Vo\\lf_fourth.mp3 (1)"), std::string::npos) << report;
    work.run({"input.esp", "--report", "losses.csv"});
    const std::string csv = support::fileText(work.path("losses.csv"));
    EXPECT_NE(csv.find("result script,lf order d,1,\"; a comment\r\nGoodbye\r\n\"\n"), std::string::npos) << csv;
    expectRoundTrip(work);
}

TEST(Dialogue, GreetingsOfEveryNumberIntoGreeting) {
    WorkDir work;
    tes3::Plugin plugin;
    // Met in another order than their numbers; two responses in Greeting 5.
    for (int number : {5, 0, 9, 3, 1, 8, 2, 7, 6, 4}) {
        const std::string name = "Greeting " + std::to_string(number);
        plugin.add(tes3::topic(name, 2)).add(tes3::dialogueResponse(said(name + "a", "Hello " + std::to_string(number))));
        if (number == 5) plugin.add(tes3::dialogueResponse(said(name + "b", "Hello again 5", name + "a")));
    }
    plugin.add(tes3::topic("lf after", 0)).add(tes3::dialogueResponse(said("x", "After.")));
    // An ordinary topic of the editor ID Oblivion's greetings have.
    plugin.add(tes3::topic("Greeting", 0)).add(tes3::dialogueResponse(said("y", "Not a greeting.")));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 3u);
    EXPECT_EQ(e2e::textOf(topics[2].record->find("EDID")->data), "Greeting2");
    const tes4::Entry& greetingTopic = *topics[0].record;
    EXPECT_EQ(greetingTopic.formId, greeting);
    EXPECT_EQ(e2e::textOf(greetingTopic.find("EDID")->data), "GREETING");
    EXPECT_EQ(greetingTopic.find("DATA")->data, tes4::Bytes{0});
    EXPECT_EQ(e2e::formIdsOf(greetingTopic, "QSTI"), std::vector<uint32_t>{formIdNamed(file, "QUST", "inputDialogue")});
    std::vector<std::string> texts;
    for (const tes4::Entry* info : topics[0].responses) texts.push_back(e2e::responseTexts(*info).at(0));
    EXPECT_EQ(texts, (std::vector<std::string>{"Hello 0", "Hello 1", "Hello 2", "Hello 3", "Hello 4", "Hello 5",
                                               "Hello again 5", "Hello 6", "Hello 7", "Hello 8", "Hello 9"}));
    expectChained(topics[0]);
    for (const tes4::Entry* info : topics[0].responses) EXPECT_GT(info->formId, 0x01000000u);
    EXPECT_LT(greeting, topics[1].record->formId);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue topics"), 12);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue responses"), 13);
    expectRoundTrip(work);
}

TEST(Dialogue, LongResponseSplitAtWords) {
    WorkDir work;
    std::string text;
    for (int word = 0; text.size() < 400; ++word) text += (word ? " " : "") + std::string("word") + std::to_string(word);
    tes3::Plugin plugin;
    plugin.add(tes3::topic("lf long", 0)).add(tes3::dialogueResponse(said("1", text)));
    tes4::File file = e2e::convertOk(work, plugin);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 1u);
    const std::vector<std::string> pieces = e2e::responseTexts(*topics[0].responses.at(0));
    ASSERT_EQ(pieces.size(), 3u);
    std::string joined;
    for (const std::string& piece : pieces) {
        EXPECT_LE(piece.size(), 150u);
        EXPECT_NE(piece.front(), ' ');
        EXPECT_NE(piece.back(), ' ');
        joined += (joined.empty() ? "" : " ") + piece;
    }
    EXPECT_EQ(joined, text);
    std::vector<uint8_t> numbers;
    for (const auto& sub : topics[0].responses[0]->subrecords)
        if (sub.type == "TRDT") numbers.push_back(sub.data.at(12));
    EXPECT_EQ(numbers, (std::vector<uint8_t>{1, 2, 3}));
    expectRoundTrip(work);
}

TEST(Dialogue, AddTopicsFromTextCaseBlindWholeWords) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::topic("Greeting 1", 2))
        .add(tes3::dialogueResponse(said("g", "Welcome. Ask me about the RUMORS.")));
    plugin.add(tes3::topic("Vivec", 0)).add(tes3::dialogueResponse(said("v", "Vivec is a god. Ask about rumors.")));
    plugin.add(tes3::topic("little secret", 0))
        .add(tes3::dialogueResponse(said("s", "Not Vivecs, but Vivec's little  secret, or his Little Secret.")));
    plugin.add(tes3::topic("rumors", 0)).add(tes3::dialogueResponse(said("r", "Viv knows more.")));
    plugin.add(tes3::topic("Viv", 0)).add(tes3::dialogueResponse(said("w", "Nothing here names a topic: vivid.")));
    tes4::File file = e2e::convertOk(work, plugin);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 5u);
    auto id = [&](const std::string& name) { return topicNamed(topics, name)->formId; };
    std::vector<const tes4::Entry*> responses;
    topicNamed(topics, "Vivec", &responses);
    EXPECT_EQ(e2e::formIdsOf(*responses.at(0), "NAME"), std::vector<uint32_t>{id("rumors")});
    topicNamed(topics, "little secret", &responses);
    EXPECT_EQ(e2e::formIdsOf(*responses.at(0), "NAME"), std::vector<uint32_t>{id("Vivec")});
    topicNamed(topics, "rumors", &responses);
    EXPECT_EQ(e2e::formIdsOf(*responses.at(0), "NAME"), std::vector<uint32_t>{id("Viv")});
    topicNamed(topics, "Viv", &responses);
    EXPECT_TRUE(e2e::formIdsOf(*responses.at(0), "NAME").empty());
    EXPECT_EQ(e2e::formIdsOf(*topics[0].responses.at(0), "NAME"), std::vector<uint32_t>{id("rumors")});
    expectRoundTrip(work);
}

TEST(Dialogue, TopicsOfOneNameInTwoCases) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::topic("Old Ways", 0)).add(tes3::dialogueResponse(said("1", "First.")));
    plugin.add(tes3::topic("lf other", 0)).add(tes3::dialogueResponse(said("2", "Between.")));
    plugin.add(tes3::topic("old ways", 0)).add(tes3::dialogueResponse(said("3", "Second.", "1")));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 2u);
    std::vector<const tes4::Entry*> responses;
    ASSERT_NE(topicNamed(topics, "Old Ways", &responses), nullptr);
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(e2e::responseTexts(*responses[1]).at(0), "Second.");
    EXPECT_LT(topics[0].record->formId, topics[1].record->formId);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue topics"), 2);
    expectRoundTrip(work);
}

TEST(Dialogue, DeletedTopicAndDeletedResponse) {
    WorkDir work;
    tes3::Plugin plugin;
    tes3::Record deletedTopic = tes3::topic("lf gone", 0);
    deletedTopic.sub("DELE", tes3::int32s({0}));
    plugin.add(deletedTopic).add(tes3::dialogueResponse(said("1", "Of a deleted topic.")));
    ResponseFields deleted = said("3", "Deleted.", "2");
    deleted.deleted = true;
    plugin.add(tes3::topic("lf kept", 0))
        .add(tes3::dialogueResponse(said("2", "Kept.")))
        .add(tes3::dialogueResponse(deleted))
        .add(tes3::dialogueResponse(said("4", "Kept too.", "3")));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 1u);
    ASSERT_EQ(topics[0].responses.size(), 2u);
    EXPECT_EQ(e2e::responseTexts(*topics[0].responses[1]).at(0), "Kept too.");
    expectChained(topics[0]);
    EXPECT_EQ(e2e::lossReport(run.err), "");
}

TEST(Dialogue, JournalFiltersAgainstConvertedJournalQuests) {
    WorkDir work;
    tes3::Plugin plugin;
    // The topic comes before the journals it names; one journal has no entry and gives no quest.
    plugin.add(tes3::topic("lf asked", 0));
    for (const char* journal : {"lf_first", "LF_SECOND", "lf_empty"}) {
        ResponseFields fields = said(journal, std::string("Of ") + journal);
        fields.filters = {{std::string("04JX1") + journal, 20}};
        plugin.add(tes3::dialogueResponse(fields));
    }
    plugin.add(tes3::topic("lf_first", 4)).add(tes3::response("a", "One.", 10));
    plugin.add(tes3::topic("lf_second", 4)).add(tes3::response("b", "Two.", 20));
    plugin.add(tes3::topic("lf_empty", 4));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 1u);
    ASSERT_EQ(topics[0].responses.size(), 2u);
    EXPECT_EQ(e2e::conditionsOf(*topics[0].responses[0]),
              (std::vector<OutputCondition>{{notEqual, 20, 58, formIdNamed(file, "QUST", "lf_first")}}));
    EXPECT_EQ(e2e::conditionsOf(*topics[0].responses[1]),
              (std::vector<OutputCondition>{{notEqual, 20, 58, formIdNamed(file, "QUST", "lf_second")}}));
    EXPECT_NE(e2e::lossReport(run.err).find("lf asked: journal lf_empty not in the output (1)"), std::string::npos);
    expectRoundTrip(work);
}

TEST(Dialogue, VoiceAndPersuasionTopicsStayBehind) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::topic("Hello", 1)).add(tes3::dialogueResponse(said("1", "Hmm.")));
    plugin.add(tes3::topic("Admire Success", 3)).add(tes3::dialogueResponse(said("2", "Thank you.")));
    ResponseFields choice = said("3", "Only a choice leads here.");
    choice.filters = {{"01500", 1}};
    plugin.add(tes3::topic("lf chosen", 0)).add(tes3::dialogueResponse(choice));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    EXPECT_TRUE(file.topGroups("DIAL").empty());
    EXPECT_TRUE(file.topGroups("QUST").empty());
    const std::string report = e2e::lossReport(run.err);
    EXPECT_NE(report.find("Responses of voice and persuasion topics left out: 2: Hello (1), Admire Success (1)"),
              std::string::npos) << report;
    EXPECT_NE(report.find("Dialogue responses left out (only a script's choice reaches them): 1: lf chosen (1)"),
              std::string::npos) << report;
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue topics"), 0);
}

// The real plugins with dialogue: every topic's responses chained in the
// order they stand, as many as the summary counts, each naming the quest.
TEST(Dialogue, RealPluginsTopicsAreChainedAndCounted) {
    for (const char* name : {"red_wisdom.esp", "sable_dragon_gmst.esp"}) {
        const std::string path = LANDFER_SOURCE_DIR "/../shared/samples/" + std::string(name);
        if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is not there";
        WorkDir work;
        RunResult run = work.run({path});
        ASSERT_EQ(run.status, 0) << name << run.err;
        tes4::File file = work.output();
        const auto topics = e2e::topicsOf(file);
        ASSERT_FALSE(topics.empty()) << name;
        EXPECT_EQ(topics[0].record->formId, greeting) << name;
        size_t responses = 0;
        uint32_t lastTopic = 0;
        for (const OutputTopic& topic : topics) {
            EXPECT_LT(lastTopic, topic.record->formId) << name;
            lastTopic = topic.record->formId;
            expectChained(topic);
            responses += topic.responses.size();
        }
        EXPECT_EQ(static_cast<int>(responses), e2e::summaryCount(run.out, "Total Dialogue responses")) << name;
    }
}
