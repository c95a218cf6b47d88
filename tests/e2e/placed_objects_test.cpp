// Placed objects: every reference of an exterior cell whose base Landfer
// knows becomes a REFR, with a stand-in of objects.dat or, with --models, a
// static of its Morrowind model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "landscape_support.h"
#include "run_output.h"
#include "test_helpers.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::WorkDir;
using tes4::Bytes;

namespace {

float flat(int, int) { return 0.0f; }

Bytes reference(const std::string& id, float x, float y, float z, const tes3::Bytes& extra = {}) {
    return tes3::placedReference(id, x, y, z, extra);
}

tes3::Bytes scaled(float scale) { return tes3::Record("X").sub("XSCL", tes3::floats({scale})).data(); }

const char* const standIns =
    "# trees by prefix, a longer prefix, and one exact line\n"
    "lf_tree_*,TreeA,00000A01,1.5,-10\n"
    "lf_tree_big*,TreeB,00000A02\n"
    "LF_TREE_BIG_01,TreeC,00000A03,1,5\n"
    "lf_rock,RockA,00000A04,2\n";

// One placed object as read back: the grid of its cell, its base, scale and placement.
struct Placed {
    int32_t gridX, gridY;
    uint32_t base;
    float scale;  // 1 without XSCL
    bool hasScale;
    std::vector<float> data;
};

std::vector<Placed> placedObjects(const tes4::File& file) {
    std::vector<Placed> out;
    for (const landscape::WorldCell& cell : landscape::worldCells(file))
        for (const tes4::Entry* refr : cell.placed) {
            if (refr->type != "REFR") continue;
            const tes4::Subrecord* xscl = refr->find("XSCL");
            std::vector<float> data;
            for (size_t i = 0; i < 6; ++i) data.push_back(tes4::f32(refr->find("DATA")->data, 4 * i));
            out.push_back({cell.gridX, cell.gridY, tes4::u32(refr->find("NAME")->data, 0),
                           xscl ? tes4::f32(xscl->data, 0) : 1.0f, xscl != nullptr, data});
        }
    return out;
}

}  // namespace

TEST(PlacedObjects, StandInsByExactLongestPrefixAndCaseBlindLinesWithTheirScaleAndHeight) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(standIns));
    tes3::Record home = tes3::cell("Home", 0, 0);
    home.raw(reference("lf_tree_small", 100, 100, 50))              // prefix: x1.5, 10 lower
        .raw(reference("lf_tree_big_02", 200, 100, 50))            // the longer prefix
        .raw(reference("lf_Tree_Big_01", 300, 100, 50))            // the exact line, in another case
        .raw(reference("lf_rock", 400, 100, 0, scaled(1.5f)))      // 1.5 x 2, kept to 2
        .raw(reference("lf_rock", 500, 100, 0, scaled(0.5f)))      // 0.5 x 2 is 1: no XSCL
        .raw(reference("lf_unknown", 600, 100, 0))                 // no line: dropped
        .raw(reference("lf_rock", 700, 100, 0, tes3::Record("X").sub("DELE", tes3::int32s({0})).data()))
        .raw(reference("lf_rock", 5000, 5000, 0))                  // the NE quad
        .raw(reference("lf_rock", -100, 100, 0))                   // no cell there: the nearest quad, SW
        .raw(reference("lf_rock", 9000, 100, 0))                   // in Bare's area, a cell without land
        .raw(reference("lf_rock", 800, 100, 0,
                       tes3::Record("X").ztext("ANAM", "lf_owner").sub("FLTV", tes3::int32s({50})).data()));
    tes3::Plugin plugin;
    plugin.add(home).add(tes3::land(0, 0, flat)).add(tes3::cell("Bare", 1, 0));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);

    std::vector<Placed> placed = placedObjects(file);
    std::map<std::pair<int32_t, int32_t>, std::vector<uint32_t>> basesByCell;
    for (const Placed& object : placed) basesByCell[{object.gridX, object.gridY}].push_back(object.base);
    EXPECT_EQ(basesByCell, (std::map<std::pair<int32_t, int32_t>, std::vector<uint32_t>>{
                               {{0, 0}, {0xA01, 0xA02, 0xA03, 0xA04, 0xA04, 0xA04, 0xA04}},
                               {{1, 1}, {0xA04}},
                               {{2, 0}, {0xA04}}}));
    ASSERT_EQ(placed.size(), 9u);
    // Scales: only where they are not 1; positions with the z offset, rotations as they were.
    EXPECT_EQ(placed[0].scale, 1.5f);
    EXPECT_EQ(placed[0].data, (std::vector<float>{100, 100, 40, 0.1f, 0.2f, 0.3f}));
    EXPECT_FALSE(placed[1].hasScale);
    EXPECT_EQ(placed[2].data[2], 55.0f);
    EXPECT_EQ(placed[3].scale, 2.0f);
    EXPECT_FALSE(placed[4].hasScale);
    EXPECT_EQ(placed[5].data[0], -100.0f);  // kept where it stands, in the nearest quad
    // The REFRs follow their cell's land in its temporary children, in FormID order.
    for (const landscape::WorldCell& cell : landscape::worldCells(file)) {
        uint32_t last = cell.land ? cell.land->formId : 0;
        for (const tes4::Entry* refr : cell.placed) {
            EXPECT_EQ(refr->flags, 0u);
            EXPECT_GT(refr->formId, last);
            last = refr->formId;
        }
    }
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed objects"), 9);
    std::string report = e2e::lossReport(run.err);
    EXPECT_NE(report.find("\tPlaced references dropped (no NPC, stand-in or model for the base): 1: lf_unknown (1)\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\tReference data a placed object cannot carry in Oblivion: 2: owner (1), lock (1)\n"),
              std::string::npos)
        << report;
    // The inspector counts them and finds each inside its cell, but the one it reports as outside.
    RunResult inspected = work.inspect({"LANDFER.ESP"});
    EXPECT_EQ(inspected.status, 0) << inspected.out << inspected.err;
}

TEST(PlacedObjects, ModelsOfThePluginAndItsMasterBecomeStaticsAndFunctionsLostAreReported) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(standIns));
    tes3::Plugin master;
    master.add(tes3::plainRecord("STAT", "lf_master_rock").ztext("MODL", "r\\lf_rock.nif"));
    master.add(tes3::plainRecord("DOOR", "lf_door").ztext("MODL", "d\\lf_door.nif"));
    master.save(work.path("master.esm"));
    tes3::Record grove = tes3::cell("Grove", 0, 0);
    grove.raw(reference("lf_own_tree", 100, 100, 0))
        .raw(reference("LF_OWN_TREE", 200, 100, 0, scaled(1.25f)))
        .raw(reference("lf_master_rock", 300, 100, 0))
        .raw(reference("lf_door", 400, 100, 0))
        .raw(reference("lf_rock", 500, 100, 0))  // no model anywhere: its stand-in
        .raw(reference("lf_creature", 600, 100, 0));
    tes3::Plugin plugin;
    // The plugin's static comes after the cell that places it.
    plugin.add(grove).add(tes3::land(0, 0, flat));
    plugin.add(tes3::plainRecord("STAT", "lf_own_tree").ztext("MODL", "f\\lf_tree_01.nif"));
    plugin.add(tes3::plainRecord("CREA", "lf_creature").ztext("MODL", "c\\lf_beast.nif"));
    plugin.save(work.path("input.esp"));
    RunResult run = work.run({"--models", "morrowind", "--master", "master.esm", "--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    tes4::File file = work.output();

    std::vector<std::string> labels;
    for (const tes4::Entry& group : file.groups) labels.push_back(group.labelText());
    EXPECT_EQ(labels, (std::vector<std::string>{"DOOR", "STAT", "WRLD"}));
    std::map<uint32_t, std::pair<std::string, std::string>> bases;  // FormID: editor ID, model
    for (const char* type : {"STAT", "DOOR"})
        for (const tes4::Entry* base : file.records(type)) {
            auto text = [&](const char* subrecord) {
                const Bytes& data = base->find(subrecord)->data;
                return std::string(data.begin(), data.end() - 1);
            };
            bases[base->formId] = {text("EDID"), text("MODL")};
            ASSERT_NE(base->find("MODB"), nullptr);
        }
    std::vector<std::pair<std::string, std::string>> used;
    for (const Placed& object : placedObjects(file))
        used.push_back(bases.count(object.base) ? bases[object.base] : std::make_pair(std::string("stand-in"), std::to_string(object.base)));
    // One record per base id, named in the characters the editor takes; the
    // door a door of its own, the creature nothing.
    EXPECT_EQ(used, (std::vector<std::pair<std::string, std::string>>{
                        {"lfowntree", "morrowind\\f\\lf_tree_01.nif"},
                        {"lfowntree", "morrowind\\f\\lf_tree_01.nif"},
                        {"lfmasterrock", "morrowind\\r\\lf_rock.nif"},
                        {"lfdoor", "morrowind\\d\\lf_door.nif"},
                        {"stand-in", std::to_string(0xA04)}}));
    EXPECT_EQ(file.records("STAT").size(), 2u);
    EXPECT_EQ(file.records("DOOR").size(), 1u);
    std::string csv = support::fileText(work.path("losses.csv"));
    EXPECT_EQ(csv.find("lost function,lf_door"), std::string::npos) << csv;
    EXPECT_NE(csv.find("placed reference,lf_creature,1,dropped\n"), std::string::npos) << csv;
    RunResult inspected = work.inspect({"LANDFER.ESP"});
    EXPECT_EQ(inspected.status, 0) << inspected.out << inspected.err;

    // Without --models the plugin's own tree has no stand-in and stays out.
    RunResult plain = work.run({"--master", "master.esm", "input.esp"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(work.output().records("STAT").empty());
    EXPECT_EQ(e2e::summaryCount(plain.out, "Total Placed objects"), 1);
}

TEST(PlacedObjects, ModelPathsThatCannotBeWrittenAreToldForWhatTheyAre) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(standIns));
    tes3::Record grove = tes3::cell("Grove", 0, 0);
    tes3::Plugin plugin;
    const std::vector<std::pair<std::string, std::string>> bases = {
        {"lf_fine", "f\\fine.nif"},
        {"lf_climber", "f\\..\\..\\..\\evil.nif"},
        {"lf_rooted", "\\windows\\evil.nif"},
        {"lf_drive", "C:\\evil.nif"},
        {"lf_long", std::string(70000, 'm') + ".nif"},
        {"lf_rock", "..\\rock.nif"},  // its stand-in serves instead
    };
    float x = 100;
    for (const auto& [id, model] : bases) {
        plugin.add(tes3::plainRecord("STAT", id).ztext("MODL", model));
        grove.raw(reference(id, x, 100, 0));
        x += 100;
    }
    plugin.add(grove).add(tes3::land(0, 0, flat));
    plugin.save(work.path("input.esp"));
    // A prefix ending in a separator is joined with one backslash all the same.
    RunResult run = work.run({"--models", "morrowind\\", "--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    tes4::File file = work.output();
    ASSERT_EQ(file.records("STAT").size(), 1u);
    const Bytes& model = file.records("STAT")[0]->find("MODL")->data;
    EXPECT_EQ(std::string(model.begin(), model.end() - 1), "morrowind\\f\\fine.nif");
    std::vector<uint32_t> placedBases;
    for (const Placed& object : placedObjects(file)) placedBases.push_back(object.base);
    EXPECT_EQ(placedBases, (std::vector<uint32_t>{file.records("STAT")[0]->formId, 0xA04}));
    const std::string messages = e2e::withoutPlaces(e2e::withoutLossReport(run.err));
    for (const char* id : {"lf_climber", "lf_rooted", "lf_drive", "lf_rock"})
        EXPECT_TRUE(support::contains(messages, std::string("The STAT record ") + id + " cannot be converted: its model path "))
            << id << "\n" << messages;
    EXPECT_TRUE(support::contains(messages, "leaves the meshes folder. Ignoring!\n")) << messages;
    EXPECT_TRUE(support::contains(messages, "its MODL subrecord would hold 70015 bytes, more than 65535")) << messages;
    std::string csv = support::fileText(work.path("losses.csv"));
    for (const char* id : {"lf_climber", "lf_rooted", "lf_drive", "lf_long"})
        EXPECT_TRUE(support::contains(csv, std::string("unwritable model,") + id + ",1,dropped\n")) << id << "\n" << csv;
    EXPECT_FALSE(support::contains(csv, "placed reference,")) << csv;
}

// The real plugins: stand-ins alone place a sixth of their references (a
// quarter of the exterior's, where the forests stand; the interiors' are
// furniture and clutter, which stand-ins leave to --models); with --models
// (and the master the Bitter Coast add-on names)
// every reference whose base the plugin or its master defines with a model.
TEST(PlacedObjects, RealPluginsPlaceTheirForestsAndWithModelsEveryObjectTheyDefine) {
    const std::string samples = std::string(LANDFER_SOURCE_DIR) + "/../shared/samples/";
    if (!std::filesystem::exists(samples)) GTEST_SKIP() << "no sample plugins";
    long references = 0, standIns = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        if (entry.path().extension() != ".esp") continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        WorkDir work;
        std::vector<std::string> masterArgs;
        std::vector<std::string> sources = {entry.path().string()};
        if (name == "vality_bc_addon.esp") {
            masterArgs = {"--master", samples + "graht_swamp_trees.esp"};
            sources.push_back(samples + "graht_swamp_trees.esp");
        }
        // Stand-ins alone.
        RunResult run = work.run({"--report", "losses.csv", entry.path().string()});
        ASSERT_EQ(run.status, 0) << run.err;
        int placed = e2e::summaryCount(run.out, "Total Placed objects");
        int npcs = e2e::summaryCount(run.out, "Total Placed NPCs");
        std::string csv = support::fileText(work.path("losses.csv"));
        long dropped = 0;
        for (size_t at = csv.find("\nplaced reference,"); at != std::string::npos; at = csv.find("\nplaced reference,", at + 1)) {
            size_t countAt = csv.find(',', csv.find(',', at + 1) + 1) + 1;
            dropped += std::stol(csv.substr(countAt));
        }
        references += placed + npcs + dropped;
        standIns += placed;
        // With the models: nothing dropped has a model in the plugin or its master.
        std::set<std::string> modelled;
        for (const std::string& source : sources)
            for (const tes3::ReadRecord& record : tes3::readPlugin(tes4::readFileBytes(source)))
                if (record.find("MODL") != nullptr && record.find("NAME") != nullptr && record.type != "NPC_" &&
                    record.type != "CREA" && record.type != "BODY") {  // body parts are worn, never placed
                    const Bytes& id = record.find("NAME")->data;
                    std::string text(id.begin(), std::find(id.begin(), id.end(), 0));
                    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                    modelled.insert(text);
                }
        std::vector<std::string> args = masterArgs;
        args.insert(args.end(), {"--models", "morrowind", "--report", "losses.csv", entry.path().string()});
        RunResult withModels = work.run(args);
        ASSERT_EQ(withModels.status, 0) << withModels.err;
        EXPECT_GE(e2e::summaryCount(withModels.out, "Total Placed objects"), placed);
        std::string modelCsv = support::fileText(work.path("losses.csv"));
        for (size_t at = modelCsv.find("\nplaced reference,"); at != std::string::npos;
             at = modelCsv.find("\nplaced reference,", at + 1)) {
            size_t idAt = at + std::string("\nplaced reference,").size();
            std::string id = modelCsv.substr(idAt, modelCsv.find(',', idAt) - idAt);
            for (char& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_EQ(modelled.count(id), 0u) << id;
        }
        RunResult inspected = work.inspect({"LANDFER.ESP"});
        EXPECT_EQ(inspected.status, 0) << inspected.out << inspected.err;
    }
    EXPECT_GE(6 * standIns, references) << standIns << " of " << references;
}
