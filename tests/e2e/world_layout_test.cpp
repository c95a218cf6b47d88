// The layout Oblivion's tools expect: one top group per record type in the
// order GLOB, BOOK, NPC_, WRLD, QUST; the world's cells in Exterior Cell
// Blocks and Sub-Blocks; one children group per cell. Wrye Bash, the tool
// modders use, is the judge: it must load every output and, saving it back,
// write the very same layout.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "run_output.h"
#include "landscape_support.h"
#include "npc_test_support.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::WorkDir;
using e2e::convertOk;
using tes4::Bytes;
namespace fs = std::filesystem;

namespace {

int32_t flat(int, int) { return 0; }

struct Grid {
    int32_t x, y;
    bool operator==(const Grid& other) const { return x == other.x && y == other.y; }
};
std::ostream& operator<<(std::ostream& out, const Grid& grid) { return out << "(" << grid.x << ", " << grid.y << ")"; }

// A block or sub-block label: Y, then X, each 16-bit.
Grid labelGrid(const tes4::Entry& group) {
    return {static_cast<int16_t>(group.label[2] | (group.label[3] << 8)),
            static_cast<int16_t>(group.label[0] | (group.label[1] << 8))};
}

const tes4::Entry& worldChildren(const tes4::File& file) {
    auto worlds = file.topGroups("WRLD");
    EXPECT_EQ(worlds.size(), 1u);
    return worlds.at(0)->children.at(1);
}

// The group types standing behind each cell of a sub-block, by the cell's editor ID.
std::vector<std::vector<uint32_t>> childrenOfCells(const tes4::Entry& subBlock) {
    std::vector<std::vector<uint32_t>> out;
    for (const tes4::Entry& entry : subBlock.children) {
        if (!entry.isGroup) {
            out.emplace_back();
            continue;
        }
        for (const tes4::Entry& child : entry.children) out.back().push_back(child.groupType);
    }
    return out;
}

tes3::Record reference(const std::string& id, float x, float y) {
    tes3::Record ref("X");
    ref.sub("FRMR", tes3::int32s({1})).ztext("NAME", id).sub("DATA", tes3::floats({x, y, 0, 0, 0, 0}));
    return ref;
}

// Cells in four blocks and five sub-blocks, negative grids among them; lands
// after their cells, long after them, for a cell that never comes, and a
// cell that never gets one.
tes3::Plugin spreadWorld() {
    tes3::Plugin plugin;
    plugin.add(tes3::cell("Origin", 0, 0, 0x02)).add(tes3::cell("Far South", 16, -20)).add(tes3::cell("", -1, -1));
    plugin.add(tes3::land(16, -20, flat)).add(tes3::land(0, 0, flat));
    plugin.add(tes3::cell("East", 4, 0)).add(tes3::land(4, 0, flat));
    plugin.add(tes3::land(-40, 17, flat));  // its cell never comes
    plugin.add(tes3::cell("Bare", 3, 0));  // its land never comes
    plugin.add(tes3::land(-1, -1, flat));
    return plugin;
}

// Placed NPCs in three quads of a cell without land, and in a cell with land.
tes3::Plugin placedWorld() {
    tes3::Record market = tes3::cell("Market", 0, 0);
    for (const auto& place : {std::pair<float, float>{10, 10}, {5000, 5000}, {5000, 10}, {20, 20}})
        market.raw(reference("lf_guard", place.first, place.second).data());
    tes3::Record farm = tes3::cell("Farm", 1, 0);
    farm.raw(reference("lf_guard", 8200, 100).data());
    tes3::Plugin plugin;
    plugin.add(npc_test::npc("lf_guard")).add(market).add(farm).add(tes3::land(1, 0, flat));
    return plugin;
}

// Globals, books and NPCs interleaved with the land and a journal.
tes3::Plugin interleaved() {
    tes3::Plugin plugin;
    plugin.add(tes3::global("g1", 's', 1)).add(tes3::book("b1", "B", "x")).add(npc_test::npc("n1"));
    plugin.add(tes3::cell("", 2, 2)).add(tes3::land(2, 2, flat)).add(tes3::global("g2", 's', 2));
    plugin.add(tes3::topic("LF_Quest", 4)).add(tes3::response("r1", "Entry", 10));
    plugin.add(tes3::book("b2", "B", "y")).add(npc_test::npc("n2")).add(tes3::global("g3", 'f', 3));
    plugin.add(tes3::topic("Greeting", 0));
    return plugin;
}

// A cell and a land given twice for one grid, and a cell after its land.
tes3::Plugin repeatedGrids() {
    tes3::Record first = tes3::cell("Market", 0, 0);
    first.raw(reference("lf_guard", 10, 10).data());
    tes3::Record again = tes3::cell("Market Again", 0, 0);
    again.raw(reference("lf_guard", 20, 20).data()).raw(reference("lf_guard", 5000, 20).data());
    tes3::Plugin plugin;
    plugin.add(npc_test::npc("lf_guard")).add(first).add(tes3::land(0, 0, flat)).add(again);
    plugin.add(tes3::land(0, 0, flat)).add(tes3::land(3, 3, flat)).add(tes3::cell("Late", 3, 3));
    return plugin;
}

}  // namespace

TEST(WorldLayout, BlocksSubBlocksAndCellsStandInOblivionsOrder) {
    WorkDir work;
    tes4::File file = convertOk(work, spreadWorld());
    const tes4::Entry& children = worldChildren(file);
    EXPECT_EQ(children.labelValue(), 0x010008FFu);
    std::vector<Grid> blocks;
    for (const tes4::Entry& block : children.children) {
        EXPECT_EQ(block.groupType, 4u);
        blocks.push_back(labelGrid(block));
    }
    // By (Y, X): Far South (32, -40), the unnamed (-2, -2), Origin, Bare and East, the land's own cell (-80, 34).
    EXPECT_EQ(blocks, (std::vector<Grid>{{1, -2}, {-1, -1}, {0, 0}, {-3, 1}}));
    const tes4::Entry& home = children.children.at(2);
    ASSERT_EQ(home.children.size(), 2u);
    EXPECT_EQ(labelGrid(home.children[0]), (Grid{0, 0}));
    EXPECT_EQ(labelGrid(home.children[1]), (Grid{1, 0}));
    EXPECT_EQ(home.children[1].groupType, 5u);

    // Sub-block (0, 0) holds Origin's and Bare's quads by FormID; only Origin's have land.
    const tes4::Entry& first = home.children[0];
    std::vector<std::string> names;
    uint32_t lastFormId = 0;
    for (const tes4::Entry& entry : first.children) {
        if (entry.isGroup) continue;
        EXPECT_GT(entry.formId, lastFormId);
        lastFormId = entry.formId;
        const tes4::Subrecord* edid = entry.find("EDID");
        names.push_back(std::string(edid->data.begin(), edid->data.end() - 1));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Origin SW", "Origin SE", "Origin NW", "Origin NE", "Bare SW", "Bare SE",
                                               "Bare NW", "Bare NE"}));
    EXPECT_EQ(childrenOfCells(first), (std::vector<std::vector<uint32_t>>{{9}, {9}, {9}, {9}, {}, {}, {}, {}}));
    EXPECT_EQ(first.children[0].find("DATA")->data, Bytes{0x02});  // Origin has water
    EXPECT_EQ(first.children[8].find("DATA")->data, Bytes{0x00});  // Bare has none
    // The cell made for a land without one has water and no name.
    const tes4::Entry& made = children.children.at(3).children.at(0).children.at(0);
    EXPECT_EQ(made.find("DATA")->data, Bytes{0x02});
    EXPECT_EQ(made.find("EDID"), nullptr);
    EXPECT_EQ(file.records("CELL").size(), 24u);
    EXPECT_EQ(file.records("LAND").size(), 20u);
}

TEST(WorldLayout, PlacedNpcsStandInTheWorldsPersistentCellAndTheBoundsHoldTheCells) {
    WorkDir work;
    tes3::Plugin plugin = placedWorld();
    tes3::Record wanderer = tes3::cell("Moor", -2, 3);  // its NPC stands far outside its own cell
    wanderer.raw(reference("lf_guard", 50000, -7000).data());
    plugin.add(wanderer);
    tes4::File file = convertOk(work, plugin);
    const tes4::Entry& children = worldChildren(file);
    // First the persistent cell: flagged, with water, at (0, 0), no editor ID.
    const tes4::Entry& persistentCell = children.children.at(0);
    EXPECT_EQ(persistentCell.type, "CELL");
    EXPECT_EQ(persistentCell.flags, 0x400u);
    EXPECT_EQ(persistentCell.find("DATA")->data, Bytes{0x02});
    EXPECT_EQ(persistentCell.find("XCLC")->data, Bytes(8, 0));
    EXPECT_EQ(persistentCell.find("EDID"), nullptr);
    const tes4::Entry& cellChildren = children.children.at(1);
    EXPECT_EQ(cellChildren.groupType, 6u);
    EXPECT_EQ(cellChildren.labelValue(), persistentCell.formId);
    ASSERT_EQ(cellChildren.children.size(), 1u);
    const tes4::Entry& persistent = cellChildren.children[0];
    EXPECT_EQ(persistent.groupType, 8u);
    EXPECT_EQ(persistent.labelValue(), persistentCell.formId);
    // Every NPC, the one outside its cell too, persistent and in FormID order.
    ASSERT_EQ(persistent.children.size(), 6u);
    uint32_t lastFormId = 0;
    for (const tes4::Entry& achr : persistent.children) {
        EXPECT_EQ(achr.type, "ACHR");
        EXPECT_EQ(achr.flags, 0x400u);
        EXPECT_GT(achr.formId, lastFormId);
        lastFormId = achr.formId;
    }
    EXPECT_EQ(tes4::f32(persistent.children[5].find("DATA")->data, 0), 50000.0f);
    EXPECT_EQ(file.records("ACHR").size(), 6u);
    // The exterior cells hold only their temporary children: Market has no land, Farm has.
    const tes4::Entry& subBlock = children.children.at(3).children.at(0);
    EXPECT_EQ(childrenOfCells(subBlock), (std::vector<std::vector<uint32_t>>{{}, {}, {}, {}, {9}, {9}, {9}, {9}}));
    // The bounds: from Moor's SW corner (-4, 6) to Farm's NE corner (3, 1), and Moor's top (7).
    const tes4::Entry* world = file.records("WRLD").at(0);
    const Bytes& low = world->find("NAM0")->data;
    const Bytes& high = world->find("NAM9")->data;
    EXPECT_EQ(std::make_pair(tes4::f32(low, 0), tes4::f32(low, 4)), std::make_pair(-4.0f * 4096, 0.0f));
    EXPECT_EQ(std::make_pair(tes4::f32(high, 0), tes4::f32(high, 4)), std::make_pair(4.0f * 4096, 8.0f * 4096));
}

TEST(WorldLayout, OneTopGroupPerTypeWithRecordsInInputOrderAndFormIdsAsBefore) {
    WorkDir work;
    tes4::File file = convertOk(work, interleaved());
    std::vector<std::string> labels;
    for (const tes4::Entry& group : file.groups) labels.push_back(group.labelText());
    EXPECT_EQ(labels, (std::vector<std::string>{"GLOB", "BOOK", "NPC_", "WRLD", "QUST"}));
    // FormIDs are still taken as the records come: g1, b1, n1, four cells, four lands, g2, b2, n2, g3, the quest.
    auto formIds = [&file](const std::string& type) {
        std::vector<uint32_t> ids;
        for (const tes4::Entry* record : file.records(type)) ids.push_back(record->formId - 0x011E8480u);
        return ids;
    };
    EXPECT_EQ(formIds("GLOB"), (std::vector<uint32_t>{0, 11, 14}));
    EXPECT_EQ(formIds("BOOK"), (std::vector<uint32_t>{1, 12}));
    EXPECT_EQ(formIds("NPC_"), (std::vector<uint32_t>{2, 13}));
    EXPECT_EQ(formIds("QUST"), (std::vector<uint32_t>{15}));
    // 8 records and 5 top groups; the world: its record, 3 groups above the cells, 4 cells with 3 entries each.
    EXPECT_EQ(tes4::u32(work.outputBytes(), 30), 8u + 5u + 1u + 3u + 4u * 4u);
}

TEST(WorldLayout, StagingFilesAreGoneAfterARunAndAfterAFatalError) {
    WorkDir work;
    convertOk(work, interleaved());
    const std::vector<std::string> afterRun = work.files();
    EXPECT_TRUE(e2e::stagingFolders(afterRun).empty());
    EXPECT_EQ(afterRun.size(), 3u);  // input.esp, lfdat, LANDFER.ESP
    // Without the lookup data the run ends at the first NPC, after globals
    // and books were staged; nothing of the failed run is left.
    fs::remove_all(work.path("lfdat"));
    RunResult run = work.convert(interleaved());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(e2e::stagingFolders(work.files()).empty());
    EXPECT_EQ(work.files().size(), 2u);  // input.esp, LANDFER.ESP
    EXPECT_TRUE(work.exists("LANDFER.ESP"));  // the first run's, whole
    work.output();
}

TEST(WorldLayout, GridsBeyondOblivionsWorldAreReported) {
    WorkDir work;
    RunResult run;
    tes4::File file = convertOk(
        work, tes3::Plugin().add(tes3::cell("Edge", 131072, 0)).add(tes3::land(0, -131073, flat)).add(tes3::cell("In", 131071, -131072)),
        &run);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "The CELL record Edge at grid (131072, 0) cannot be converted: only grids from -131072 to 131071 fit "
              "Oblivion's world. Ignoring!\n"
              "The LAND record at grid (0, -131073) cannot be converted: only grids from -131072 to 131071 fit "
              "Oblivion's world. Ignoring!\n");
    EXPECT_NE(run.err.find("\tCells, lands and parts of lands left out (see the messages above): 2: CELL Edge (131072, 0) (1), "
                                  "LAND (0, -131073) (1)\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(file.records("CELL").size(), 4u);
    EXPECT_EQ(labelGrid(worldChildren(file).children.at(0).children.at(0)), (Grid{32767, -32768}));
}

TEST(WryeBash, LoadsEveryOutputAndSavesTheSameLayout) {
    if (e2e::wryeBashChecker().empty()) GTEST_SKIP() << "no Wrye Bash here (../shared/oracles): the outputs are not judged";
    WorkDir outputs;
    std::vector<std::string> checked;
    auto keep = [&](const WorkDir& work, const std::string& name) {
        fs::copy_file(work.path("LANDFER.ESP"), outputs.path(name));
        checked.push_back(name);
    };
    {
        WorkDir work;
        ASSERT_EQ(work.runProgram(LANDFER_MAKE_SAMPLE, {"sample.esp"}).status, 0);
        ASSERT_EQ(work.run({"sample.esp"}).status, 0);
        keep(work, "sample.esp");
    }
    const std::pair<const char*, tes3::Plugin> built[] = {{"spread.esp", spreadWorld()},
                                                          {"placed.esp", placedWorld()},
                                                          {"interleaved.esp", interleaved()},
                                                          {"repeated.esp", repeatedGrids()}};
    for (const auto& plugin : built) {
        WorkDir work;
        ASSERT_EQ(work.convert(plugin.second).status, 0) << plugin.first;
        keep(work, plugin.first);
    }
    {
        // 100 cells, every one waiting for its land to the end of the input.
        WorkDir work;
        ASSERT_EQ(work.runProgram(LANDFER_MAKE_BIG_PLUGIN, {"small", "big.esp", "lfdat", "--cells-first"}).status, 0);
        ASSERT_EQ(work.run({"big.esp"}).status, 0);
        tes4::File file = work.output();
        // The persistent cell of its NPCs and doors, 50 houses and two inns.
        EXPECT_EQ(file.records("CELL").size(), 401u + 52u);
        EXPECT_EQ(file.records("LAND").size(), 400u);
        EXPECT_GT(file.records("REFR").size(), 100u * 24);  // a forest in every cell
        keep(work, "cells_first.esp");
    }
    const std::string samples = std::string(LANDFER_SOURCE_DIR) + "/../shared/samples";
    if (fs::is_directory(samples)) {
        for (const auto& entry : fs::directory_iterator(samples)) {
            if (entry.path().extension() != ".esp") continue;
            WorkDir work;
            work.writeFile("input.esp", tes4::readFileBytes(entry.path().string()));
            ASSERT_EQ(work.run({"input.esp"}).status, 0) << entry.path();
            keep(work, "real_" + entry.path().filename().string());
        }
        // The Morrowind models of the swamp trees a plugin defines, as statics of the plugin.
        WorkDir work;
        ASSERT_EQ(work.run({"--models", "morrowind", samples + "/graht_swamp_trees.esp"}).status, 0);
        EXPECT_FALSE(work.output().records("STAT").empty());
        keep(work, "models_graht_swamp_trees.esp");
    }
    // One load of Wrye Bash for all of them.
    RunResult verdict = e2e::wryeBashRoundTrip(outputs, checked);
    EXPECT_EQ(verdict.status, 0) << verdict.out << verdict.err;
    EXPECT_GE(checked.size(), 4u);
}

TEST(WorldLayout, AGridHoldsOneCellAndOneLand) {
    WorkDir work;
    RunResult run;
    tes4::File file = convertOk(work, repeatedGrids(), &run);
    // Late's land came first: its cells become Late's, without a word.
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "The CELL record Market Again at grid (0, 0) repeats an exterior cell of this plugin: its placed "
              "references join that cell.\n"
              "The LAND record at grid (0, 0) repeats the land of that grid. Ignoring!\n");
    EXPECT_NE(run.err.find("\tCells that repeat a grid (their references join the first): 1: Market Again (0, 0) (1)\n"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("second LAND (0, 0) (1)"), std::string::npos) << run.err;
    EXPECT_EQ(file.records("CELL").size(), 9u);  // and the persistent cell
    EXPECT_EQ(file.records("LAND").size(), 8u);
    EXPECT_EQ(landscape::placedNpcs(file).size(), 3u);
    std::vector<std::string> late;
    for (const landscape::WorldCell& cell : landscape::worldCells(file)) {
        if (cell.gridX < 6) continue;
        const tes4::Subrecord* edid = cell.cell->find("EDID");
        late.push_back(edid ? std::string(edid->data.begin(), edid->data.end() - 1) : "");
        EXPECT_NE(cell.land, nullptr);
    }
    EXPECT_EQ(late, (std::vector<std::string>{"Late SW", "Late SE", "Late NW", "Late NE"}));
    EXPECT_NE(run.out.find("\tTotal Exterior CELLs:                   3\n\tTotal Interior CELLs:                   0\n\tTotal LAND records:                     2\n"),
              std::string::npos);
}
