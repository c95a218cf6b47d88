// Placed objects that keep their function: containers with their contents,
// lights that shine, activators, items lying about with their counts, and
// the locks and owners of what is placed.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "interior_support.h"
#include "landscape_support.h"
#include "npc_test_support.h"
#include "run_output.h"
#include "tes3_items.h"
#include "tes3_land.h"
#include "test_helpers.h"

using e2e::RunResult;
using e2e::WorkDir;
using tes4::Bytes;

namespace {

float flat(int, int) { return 0.0f; }

tes3::Bytes subs(std::initializer_list<std::pair<const char*, tes3::Bytes>> list) {
    tes3::Record holder("X");
    for (const auto& [type, data] : list) holder.sub(type, data);
    return holder.data();
}

std::string text(const tes4::Entry& record, const char* type) {
    const tes4::Subrecord* sub = record.find(type);
    return sub == nullptr ? "(none)" : std::string(sub->data.begin(), sub->data.end() - 1);
}

// The placed objects of the world, in file order.
std::vector<const tes4::Entry*> placedObjects(const tes4::File& file) {
    std::vector<const tes4::Entry*> out;
    for (const landscape::WorldCell& cell : landscape::worldCells(file))
        for (const tes4::Entry* refr : cell.placed)
            if (refr->type == "REFR") out.push_back(refr);
    return out;
}

uint32_t baseOf(const tes4::Entry& refr) { return tes4::u32(refr.find("NAME")->data, 0); }

std::vector<std::string> topGroups(const tes4::File& file) {
    std::vector<std::string> labels;
    for (const tes4::Entry& group : file.groups) labels.push_back(group.labelText());
    return labels;
}

void expectSoundToBoth(const WorkDir& work) {
    RunResult inspected = work.inspect({"LANDFER.ESP"});
    EXPECT_EQ(inspected.status, 0) << inspected.out << inspected.err;
    if (e2e::wryeBashChecker().empty()) return;
    RunResult judged = e2e::wryeBashRoundTrip(work, {"LANDFER.ESP"});
    EXPECT_EQ(judged.status, 0) << judged.out << judged.err;
}

void expectLines(const std::string& csv, std::initializer_list<const char*> lines) {
    for (const char* line : lines) EXPECT_NE(csv.find(std::string("\n") + line + "\n"), std::string::npos) << line << "\n" << csv;
}

const uint32_t lightFlags[] = {0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080, 0x100};

// A plugin with a container (mapped, by-kind and unknown contents, a
// script), an activator, a light of each flag, an NPC owner, two keys and
// the references to them: one chest owned by the NPC and locked with a key
// a lookup line names, one owned by a faction and locked with a key none
// names.
tes3::Plugin furnishedPlugin(bool indoors = false) {
    tes3::Plugin plugin;
    plugin.add(npc_test::npc("lf_owner"));
    plugin.add(tes3::weapon("lf_blade", 1, 100));
    plugin.add(tes3::container("lf_chest", {{5, "Gold_001"}, {1, "lf_blade"}, {2, "lf_nothing"}}, 0x0A)
                   .ztext("SCRI", "lf_chest_script"));
    plugin.add(tes3::plainRecord("ACTI", "lf_lever").ztext("MODL", "a\\lever.nif").ztext("FNAM", "Lever")
                   .ztext("SCRI", "lf_pull"));
    for (uint32_t flags : lightFlags) plugin.add(tes3::light("lf_light_" + std::to_string(flags), flags));
    plugin.add(tes3::simpleItem("MISC", "lf_key_known", "MCDT", 1));
    plugin.add(tes3::simpleItem("MISC", "lf_key_unknown", "MCDT", 1));
    tes3::Record room = indoors ? tes3::interiorCell("Room") : tes3::cell("Room", 0, 0);
    room.raw(tes3::placedReference("lf_chest", 100, 100, 0,
                                   subs({{"ANAM", tes3::ztext("lf_owner")}, {"FLTV", tes3::int32s({50})},
                                         {"KNAM", tes3::ztext("lf_key_known")}})));
    room.raw(tes3::placedReference("lf_chest", 200, 100, 0,
                                   subs({{"CNAM", tes3::ztext("lf_guild")}, {"INDX", tes3::int32s({2})},
                                         {"BNAM", tes3::ztext("lf_rent_paid")}, {"FLTV", tes3::int32s({120})},
                                         {"KNAM", tes3::ztext("lf_key_unknown")}})));
    room.raw(tes3::placedReference("lf_lever", 300, 100, 0, subs({{"FLTV", tes3::int32s({10})}})));
    float x = 400;
    for (uint32_t flags : lightFlags) room.raw(tes3::placedReference("lf_light_" + std::to_string(flags), x += 10, 100, 0));
    plugin.add(room);
    if (!indoors) plugin.add(tes3::land(0, 0, flat));
    return plugin;
}

}  // namespace

TEST(PlacedFunctions, WithModelsContainersLightsAndActivatorsAreOfTheirOwnKindLockedAndOwned) {
    WorkDir work;
    work.writeFile("lfdat/misc.dat", support::fileText(work.path("lfdat/misc.dat")) +
                                         "lf_key_known,Known key,CheydinhalChapelKey,000034EA\n");
    furnishedPlugin().save(work.path("input.esp"));
    RunResult run = work.run({"--models", "morrowind", "--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    tes4::File file = work.output();
    EXPECT_EQ(topGroups(file), (std::vector<std::string>{"ACTI", "CONT", "LIGH", "NPC_", "WRLD"}));

    // The container: its name, model, the contents the lookups know, respawning.
    ASSERT_EQ(file.records("CONT").size(), 1u);
    const tes4::Entry& chest = *file.records("CONT")[0];
    EXPECT_EQ(text(chest, "EDID"), "lfchest");
    EXPECT_EQ(text(chest, "FULL"), "Name of lf_chest");
    EXPECT_EQ(text(chest, "MODL"), "morrowind\\c\\lf_chest.nif");
    std::vector<std::pair<uint32_t, uint32_t>> contents;
    for (const tes4::Subrecord& sub : chest.subrecords)
        if (sub.type == "CNTO") contents.push_back({tes4::u32(sub.data, 0), tes4::u32(sub.data, 4)});
    EXPECT_EQ(contents, (std::vector<std::pair<uint32_t, uint32_t>>{{0x0000000F, 5}, {0x000229BA, 1}}));
    ASSERT_EQ(chest.find("DATA")->data.size(), 5u);
    EXPECT_EQ(chest.find("DATA")->data[0], 0x02);
    EXPECT_EQ(tes4::f32(chest.find("DATA")->data, 1), 100.0f);

    // The activator, and one light per flag with the flag Oblivion has (none for fire).
    ASSERT_EQ(file.records("ACTI").size(), 1u);
    EXPECT_EQ(text(*file.records("ACTI")[0], "FULL"), "Lever");
    std::vector<const tes4::Entry*> lights = file.records("LIGH");
    ASSERT_EQ(lights.size(), 9u);
    for (size_t i = 0; i < lights.size(); ++i) {
        const Bytes& data = lights[i]->find("DATA")->data;
        ASSERT_EQ(data.size(), 32u);
        EXPECT_EQ(tes4::u32(data, 4), 256u);
        EXPECT_EQ(tes4::u32(data, 12), lightFlags[i] == 0x010 ? 0u : lightFlags[i]) << i;
        EXPECT_EQ(tes4::u32(data, 0), 300u);
        EXPECT_EQ(Bytes(data.begin() + 8, data.begin() + 12), (Bytes{200, 150, 100, 0}));
    }

    // The references: locks, keys and owners.
    std::vector<const tes4::Entry*> placed = placedObjects(file);
    ASSERT_EQ(placed.size(), 12u);
    EXPECT_EQ(baseOf(*placed[0]), chest.formId);
    const tes4::Subrecord* lock = placed[0]->find("XLOC");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->data, (Bytes{50, 0, 0, 0, 0xEA, 0x34, 0, 0, 0, 0, 0, 0}));
    ASSERT_NE(placed[0]->find("XOWN"), nullptr);
    EXPECT_EQ(tes4::u32(placed[0]->find("XOWN")->data, 0), file.records("NPC_")[0]->formId);
    lock = placed[1]->find("XLOC");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->data, (Bytes{99, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));  // 120 is the hardest lock to pick
    EXPECT_EQ(placed[1]->find("XOWN"), nullptr);
    EXPECT_EQ(placed[2]->find("XLOC"), nullptr);  // an activator has no lock
    EXPECT_EQ(baseOf(*placed[2]), file.records("ACTI")[0]->formId);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed objects"), 12);

    std::string csv = support::fileText(work.path("losses.csv"));
    expectLines(csv, {"container item,lf_nothing,1,dropped", "item by kind,lf_blade,1,WeapSteelLongsword 000229BA",
                      "object script,lf_chest (lf_chest_script),1,dropped", "object script,lf_lever (lf_pull),1,dropped",
                      "lock key,lf_key_unknown,1,lock kept without its key", "reference data,faction owner,1,dropped",
                      "reference data,owner global,1,dropped", "reference data,owner rank,1,dropped",
                      "reference data,lock,1,dropped"});
    EXPECT_EQ(csv.find("lost function"), std::string::npos) << csv;
    EXPECT_NE(run.err.find("\tContainer entries dropped (item not in the item lookup files): 1: lf_nothing (1)\n"),
              std::string::npos)
        << run.err;
    expectSoundToBoth(work);

    // Without models the container and activator have no stand-in; the lights have models, so none is made.
    RunResult plain = work.run({"--report", "losses.csv", "input.esp"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(topGroups(work.output()), (std::vector<std::string>{"NPC_", "WRLD"}));
    expectLines(support::fileText(work.path("losses.csv")), {"placed reference,lf_chest,2,dropped"});
}

TEST(PlacedFunctions, ALightWithoutAModelShinesWithoutModelsToo) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::light("lf_glow", 0x001, 512, ""));
    tes3::Record room = tes3::cell("Room", 0, 0);
    room.raw(tes3::placedReference("lf_glow", 100, 100, 0));
    plugin.add(room).add(tes3::land(0, 0, flat));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    ASSERT_EQ(file.records("LIGH").size(), 1u);
    EXPECT_EQ(file.records("LIGH")[0]->find("MODL"), nullptr);
    EXPECT_EQ(tes4::u32(file.records("LIGH")[0]->find("DATA")->data, 4), 512u);
    ASSERT_EQ(placedObjects(file).size(), 1u);
    EXPECT_EQ(baseOf(*placedObjects(file)[0]), file.records("LIGH")[0]->formId);
    expectSoundToBoth(work);
}

TEST(PlacedFunctions, ItemsLyingAboutOfEveryKindBecomeTheirItemsWithTheirCounts) {
    WorkDir work;
    work.writeFile("lfdat/misc.dat", support::fileText(work.path("lfdat/misc.dat")) +
                                         "lf_key,Key,CheydinhalChapelKey,000034EA\n");
    tes3::Plugin plugin;
    plugin.add(tes3::weapon("lf_sword", 1, 100))
        .add(tes3::armour("lf_helm", 0, 3, 50))
        .add(tes3::clothing("lf_shirt", 2, 5))
        .add(tes3::book("lf_book", "A Book", "Its text."))
        .add(tes3::potion("lf_potion", 75))
        .add(tes3::simpleItem("INGR", "lf_root", "IRDT"))
        .add(tes3::simpleItem("MISC", "lf_cup", "MCDT"))
        .add(tes3::simpleItem("APPA", "lf_mortar", "AADT"))
        .add(tes3::simpleItem("LOCK", "lf_pick", "LKDT"))
        .add(tes3::simpleItem("PROB", "lf_probe", "PBDT"))
        .add(tes3::simpleItem("REPA", "lf_hammer", "RIDT"))
        .add(tes3::light("lf_torch", 0x002, 128, "l\\torch.nif"))
        .add(tes3::simpleItem("MISC", "lf_key", "MCDT", 1))
        .add(tes3::simpleItem("MISC", "lf_other_key", "MCDT", 1));
    // Id, count (NAM9; 0 for none) and the Oblivion item it becomes (0: the converted book).
    struct Lying {
        const char* id;
        int32_t count;
        uint32_t item;
    };
    const Lying lying[] = {{"lf_sword", 3, 0x000229BA},  {"lf_helm", 0, 0x0002319C},  {"lf_shirt", 2, 0x000229A6},
                           {"lf_book", 0, 0},            {"lf_potion", 4, 0x00098496}, {"lf_root", 0, 0x00033691},
                           {"lf_cup", 6, 0x00019115},    {"lf_mortar", 0, 0x0006E312}, {"lf_pick", 2, 0x0000000A},
                           {"lf_probe", 0, 0x0000000A},  {"lf_hammer", 0, 0x0000000C}, {"lf_torch", 0, 0x0002CF9F},
                           {"lf_key", 0, 0x000034EA},    {"Gold_001", 25, 0x0000000F}};
    tes3::Record room = tes3::cell("Room", 0, 0);
    float x = 100;
    for (const Lying& item : lying)
        room.raw(tes3::placedReference(item.id, x += 50, 100, 0,
                                       item.count != 0 ? subs({{"NAM9", tes3::int32s({item.count})}}) : tes3::Bytes()));
    room.raw(tes3::placedReference("lf_other_key", 2000, 100, 0));  // a key no line names: no Oblivion key opens its lock
    plugin.add(room).add(tes3::land(0, 0, flat));
    plugin.save(work.path("input.esp"));
    RunResult run = work.run({"--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    tes4::File file = work.output();
    std::vector<const tes4::Entry*> placed = placedObjects(file);
    ASSERT_EQ(placed.size(), std::size(lying));
    for (size_t i = 0; i < placed.size(); ++i) {
        SCOPED_TRACE(lying[i].id);
        EXPECT_EQ(baseOf(*placed[i]), lying[i].item != 0 ? lying[i].item : file.records("BOOK")[0]->formId);
        const tes4::Subrecord* count = placed[i]->find("XCNT");
        if (lying[i].count > 1) {
            ASSERT_NE(count, nullptr);
            EXPECT_EQ(tes4::u32(count->data, 0), static_cast<uint32_t>(lying[i].count));
        } else {
            EXPECT_EQ(count, nullptr);
        }
    }
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Items placed"), 14);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed objects"), 0);
    EXPECT_NE(run.out.find("\tTotal Placed objects:                   0\n\tTotal Doors linked:                     0\n"
                           "\tTotal Items placed:                     14\n"),
              std::string::npos);
    std::string csv = support::fileText(work.path("losses.csv"));
    expectLines(csv, {"item by kind,lf_sword,1,WeapSteelLongsword 000229BA", "item by kind,lf_torch,1,Torch02 0002CF9F",
                      "item by kind,lf_hammer,1,RepairHammer 0000000C", "placed reference,lf_other_key,1,dropped"});
    EXPECT_EQ(csv.find("reference data,count"), std::string::npos) << csv;
    expectSoundToBoth(work);

    // With models the torch that can be carried is a light of its own that still can be; the others stay items.
    run = work.run({"--models", "morrowind", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    file = work.output();
    ASSERT_EQ(file.records("LIGH").size(), 1u);
    EXPECT_EQ(tes4::u32(file.records("LIGH")[0]->find("DATA")->data, 12), 0x002u);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Items placed"), 13);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed objects"), 2);  // the torch, and the other key as a static
    expectSoundToBoth(work);
}

TEST(PlacedFunctions, AnInteriorsObjectsAreWhatTheSameObjectsOutsideAre) {
    WorkDir work;
    work.writeFile("lfdat/misc.dat", support::fileText(work.path("lfdat/misc.dat")) +
                                         "lf_key_known,Known key,CheydinhalChapelKey,000034EA\n");
    // Each placed object as its base's editor ID and the subrecords after its base.
    using Seen = std::vector<std::pair<std::string, std::vector<std::pair<std::string, Bytes>>>>;
    auto seen = [](const tes4::File& file, const std::vector<const tes4::Entry*>& placed) {
        std::map<uint32_t, std::string> bases;
        for (const char* type : {"CONT", "LIGH", "ACTI"})
            for (const tes4::Entry* base : file.records(type)) bases[base->formId] = text(*base, "EDID");
        Seen out;
        for (const tes4::Entry* refr : placed) {
            std::vector<std::pair<std::string, Bytes>> subs;
            for (const tes4::Subrecord& sub : refr->subrecords)
                if (sub.type != "NAME" && sub.type != "DATA" && sub.type != "XOWN") subs.push_back({sub.type, sub.data});
            subs.push_back({"owned", Bytes{refr->find("XOWN") != nullptr}});
            out.push_back({bases[baseOf(*refr)], subs});
        }
        return out;
    };
    furnishedPlugin().save(work.path("input.esp"));
    ASSERT_EQ(work.run({"--models", "morrowind", "input.esp"}).status, 0);
    tes4::File outside = work.output();
    Seen outdoors = seen(outside, placedObjects(outside));
    furnishedPlugin(true).save(work.path("input.esp"));
    RunResult run = work.run({"--models", "morrowind", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    tes4::File inside = work.output();
    std::vector<interiors::InteriorCell> cells = interiors::interiorCells(inside);
    ASSERT_EQ(cells.size(), 1u);
    ASSERT_EQ(outdoors.size(), 12u);
    EXPECT_EQ(seen(inside, cells[0].temporary), outdoors);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed objects"), 12);
    expectSoundToBoth(work);
}

// Without --models the shipped objects.dat's stand-ins serve the base
// game's lights, containers and activators, each of its Oblivion type: the
// candle, the barrel (the plugin's own, holding items, and locked) and the
// chimney smoke become REFRs of an Oblivion.esm LIGH, CONT and ACTI; the
// barrel keeps its lock, and its contents, which the stand-in's replace,
// are reported.
TEST(PlacedFunctions, StandInsOfTheBaseGamesLightsContainersAndActivatorsAreOfTheirType) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::container("barrel_01", {{5, "Gold_001"}, {2, "ingred_bread_01"}}));
    tes3::Record room = tes3::cell("Room", 0, 0);
    room.raw(tes3::placedReference("light_com_candle_07_157", 100, 100, 0));
    room.raw(tes3::placedReference("Barrel_01", 200, 100, 0, subs({{"FLTV", tes3::int32s({50})}})));
    room.raw(tes3::placedReference("active_chimney_smoke02", 300, 100, 0));
    plugin.add(room).add(tes3::land(0, 0, flat));
    plugin.save(work.path("input.esp"));
    RunResult run = work.run({"--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    tes4::File file = work.output();
    EXPECT_EQ(topGroups(file), (std::vector<std::string>{"WRLD"}));

    std::vector<const tes4::Entry*> placed = placedObjects(file);
    ASSERT_EQ(placed.size(), 3u);
    // CandleFat01Yellow128, BarrelClutterMiddle01, SmokeLarge.
    EXPECT_EQ(baseOf(*placed[0]), 0x0002467Bu);
    EXPECT_EQ(baseOf(*placed[1]), 0x00024459u);
    EXPECT_EQ(baseOf(*placed[2]), 0x000B072Du);
    const tes4::Subrecord* lock = placed[1]->find("XLOC");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(lock->data[0], 50);
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed objects"), 3);

    std::string csv = support::fileText(work.path("losses.csv"));
    expectLines(csv, {"stand-in contents,Barrel_01,1,the stand-in's contents"});
    EXPECT_EQ(csv.find("placed reference,"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("reference data,lock"), std::string::npos) << csv;
    EXPECT_NE(run.err.find("\tContainers placed through a stand-in (they hold the stand-in's contents, not their own): 1: "
                           "Barrel_01 (1)\n"),
              std::string::npos)
        << run.err;
    expectSoundToBoth(work);
}
