// The shipped sample plugin converts, and reads back whole.
#include <gtest/gtest.h>

#include <cmath>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dialogue_output.h"
#include "quest_stages.h"
#include "e2e_run.h"
#include "interior_support.h"
#include "run_output.h"
#include "landscape_support.h"

TEST(SamplePlugin, ConvertsAndReadsBack) {
    e2e::WorkDir work;
    e2e::RunResult made = work.runProgram(LANDFER_MAKE_SAMPLE, {"sample.esp"});
    ASSERT_EQ(made.status, 0) << made.err;
    // The generator is deterministic.
    e2e::RunResult again = work.runProgram(LANDFER_MAKE_SAMPLE, {"again.esp"});
    ASSERT_EQ(again.status, 0);
    EXPECT_EQ(tes4::readFileBytes(work.path("sample.esp")), tes4::readFileBytes(work.path("again.esp")));

    e2e::RunResult run = work.run({"sample.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    // One land texture of the sample is left out of the lookup data on purpose.
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "Unable to populate an ltex FormID for lf\\tx_lf_marker.dds: Not in my LTEX file!!\n");
    tes4::File file = work.output();
    tes4::checkTopGroupTypes(file);
    EXPECT_EQ(file.records("GLOB").size(), 3u);
    EXPECT_EQ(file.records("BOOK").size(), 2u);
    EXPECT_NE(run.out.find("\tTotal Global variables:                 3\n"), std::string::npos);
    EXPECT_NE(run.out.find("\tTotal Books:                            2\n"), std::string::npos);

    // A 3 x 3 block of cells with their land, the world's persistent cell
    // for the placed NPCs and the house door, and the cellar.
    EXPECT_EQ(file.records("CELL").size(), 38u);
    EXPECT_NE(run.out.find("\tTotal Interior CELLs:                   1\n"), std::string::npos);
    auto lands = file.records("LAND");
    ASSERT_EQ(lands.size(), 36u);
    size_t painted = 0;
    for (const tes4::Entry* land : lands) {
        EXPECT_NE(land->find("VCLR"), nullptr);
        painted += land->find("BTXT") != nullptr;
    }
    EXPECT_EQ(painted, 36u);
    EXPECT_NE(run.out.find("\tTotal Exterior CELLs:                   9\n"), std::string::npos);

    // Placed NPCs: each ACHR's base object is the NPC_ converted from its own ID.
    std::map<uint32_t, std::string> npcIds;
    for (const tes4::Entry* npc : file.records("NPC_")) {
        const tes4::Bytes& id = npc->find("EDID")->data;
        npcIds[npc->formId] = std::string(id.begin(), id.end() - 1);
    }
    std::vector<std::string> placed;
    for (const tes4::Entry* achr : landscape::placedNpcs(file)) placed.push_back(npcIds[tes4::u32(achr->find("NAME")->data, 0)]);
    // All in the world's persistent cell, in the order they were placed.
    EXPECT_EQ(placed, (std::vector<std::string>{"lf_ald_warden", "lf_trader_sinja", "lf_pilgrim_orm", "lf_scout_ilara"}));
    // A grove of eight stand-ins in every Morrowind cell, each in the quad cell under it.
    size_t objects = 0;
    for (const landscape::WorldCell& cell : landscape::worldCells(file))
        for (const tes4::Entry* refr : cell.placed) {
            if (refr->type != "REFR" || cell.persistent()) continue;
            ++objects;
            const tes4::Bytes& data = refr->find("DATA")->data;
            EXPECT_EQ(static_cast<int32_t>(std::floor(tes4::f32(data, 0) / 4096)), cell.gridX);
            EXPECT_EQ(static_cast<int32_t>(std::floor(tes4::f32(data, 4) / 4096)), cell.gridY);
        }
    EXPECT_EQ(objects, 72u);
    // The cellar: its NPC and its door persistent, a fern and a rock; its door and the house door linked.
    std::vector<interiors::InteriorCell> interiorCells = interiors::interiorCells(file);
    ASSERT_EQ(interiorCells.size(), 1u);
    const interiors::InteriorCell& cellar = interiorCells[0];
    EXPECT_EQ(cellar.editorId(), "LandferCrossingCellar");
    ASSERT_EQ(cellar.persistent.size(), 2u);
    EXPECT_EQ(cellar.temporary.size(), 2u);
    const tes4::Entry* houseDoor = interiors::placedAt(landscape::persistentReferences(file), 4000.0f, 4000.0f);
    const tes4::Entry* cellarDoor = interiors::placedAt(cellar.persistent, 0.0f, -300.0f);
    ASSERT_TRUE(houseDoor != nullptr && cellarDoor != nullptr);
    EXPECT_EQ(interiors::teleportTarget(*houseDoor), cellarDoor->formId);
    EXPECT_EQ(interiors::teleportTarget(*cellarDoor), houseDoor->formId);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed objects"), 76);  // the grove, two doors, the cellar's fern and rock
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Doors linked"), 2);
    EXPECT_NE(run.out.find("\tTotal Placed NPCs:                      5\n"), std::string::npos);

    // Journal topics become quests with their stages in order; the ordinary topic's responses do not.
    EXPECT_EQ(file.groups.back().labelText(), "QUST");
    auto quests = e2e::journalQuests(file);
    ASSERT_EQ(quests.size(), 2u);
    std::vector<std::pair<std::string, std::vector<uint16_t>>> found;
    for (const tes4::Entry* quest : quests) {
        const tes4::Bytes& id = quest->find("EDID")->data;
        std::vector<uint16_t> stages;
        for (const auto& sub : quest->subrecords)
            if (sub.type == "INDX") stages.push_back(tes4::u16(sub.data, 0));
        found.emplace_back(std::string(id.begin(), id.end() - 1), stages);
    }
    EXPECT_EQ(found, (std::vector<std::pair<std::string, std::vector<uint16_t>>>{
                         {"LF_SurveyTheCoast", {10, 20, 100}}, {"LF_TollBridge", {5, 50}}}));
    EXPECT_NE(run.out.find("\tTotal Quests:                           2\n"), std::string::npos);
    EXPECT_NE(run.out.find("\tTotal Journal entries:                  5\n"), std::string::npos);

    // The ordinary topic and the greeting, whose text leads to it.
    const auto topics = e2e::topicsOf(file);
    ASSERT_EQ(topics.size(), 2u);
    EXPECT_EQ(topics[0].record->formId, 0x000000C8u);
    ASSERT_EQ(topics[1].responses.size(), 2u);
    EXPECT_EQ(e2e::formIdsOf(*topics[0].responses.at(0), "NAME"), std::vector<uint32_t>{topics[1].record->formId});
    EXPECT_EQ(e2e::conditionsOf(*topics[1].responses[0]).size(), 1u);  // the warden
    EXPECT_EQ(e2e::conditionsOf(*topics[1].responses[1]).size(), 6u);  // the crossing's four quads, its cellar, the survey
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue topics"), 2);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Dialogue responses"), 3);
}
