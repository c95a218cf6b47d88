// The plugin's masters (--master, matched to its MAST list): the ground of
// its cells without land of their own, and the cells it edits converted
// whole, with the masters' references and the plugin's changes on top.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "e2e_run.h"
#include "interior_support.h"
#include "landscape_support.h"
#include "run_output.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::WorkDir;
using landscape::WorldCell;
using tes3::frmr;

namespace {

int32_t flat(int, int) { return 0; }
int32_t slope(int r, int c) { return 2 * r + c; }
int32_t ridge(int r, int) { return 5 * r; }

// Stand-ins for the objects of the tests, each of its own FormID.
const char* const standIns =
    "lf_rock_a,RockA,00000A01\n"
    "lf_rock_b,RockB,00000A02\n"
    "lf_rock_c,RockC,00000A03\n"
    "lf_tree,TreeA,00000A04\n"
    "lf_bush,BushA,00000A05\n";
const char* const textures =
    "mine,Mine,tx_plugin.tga,000000A1\n"
    "master,Master,tx_master.tga,000000B2\n";

tes3::Plugin withMasters(const std::vector<std::string>& masters) {
    tes3::Plugin plugin(false);
    plugin.add(tes3::headerRecord("Landfer tests", "", masters));
    return plugin;
}

tes3::LandOptions paintedWith(uint16_t number) {
    tes3::LandOptions options;
    options.vtex.assign(256, number);
    return options;
}

// Converts input.esp with the lookup files above and the given options; the run must succeed.
tes4::File convertWith(const WorkDir& work, const tes3::Plugin& plugin, std::vector<std::string> args, RunResult& run) {
    work.writeFile("lfdat/objects.dat", std::string(standIns));
    work.writeFile("lfdat/ltex.dat", std::string(textures));
    plugin.save(work.path("input.esp"));
    args.push_back("input.esp");
    run = work.run(args);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    return work.output();
}

void expectWryeBashLoadsIt(const WorkDir& work) {
    if (e2e::wryeBashChecker().empty()) return;
    RunResult judged = e2e::wryeBashRoundTrip(work, {"LANDFER.ESP"});
    EXPECT_EQ(judged.status, 0) << judged.out << judged.err;
}

const WorldCell* cellAt(const std::vector<WorldCell>& cells, int32_t gridX, int32_t gridY) {
    for (const WorldCell& cell : cells)
        if (!cell.persistent() && cell.gridX == gridX && cell.gridY == gridY) return &cell;
    return nullptr;
}

// The placed objects of the world: base FormID and position (x, y) by Oblivion cell.
using Placements = std::map<std::pair<int32_t, int32_t>, std::vector<std::pair<uint32_t, std::pair<float, float>>>>;
Placements placements(const tes4::File& file) {
    Placements out;
    for (const WorldCell& cell : landscape::worldCells(file))
        for (const tes4::Entry* refr : cell.placed) {
            const tes4::Bytes& data = refr->find("DATA")->data;
            out[{cell.gridX, cell.gridY}].push_back(
                {tes4::u32(refr->find("NAME")->data, 0), {tes4::f32(data, 0), tes4::f32(data, 4)}});
        }
    return out;
}

uint32_t baseTexture(const tes4::Entry& land) { return tes4::u32(land.find("BTXT")->data, 0); }

std::string fromMastersReport(const std::string& err) {
    size_t at = err.rfind("Taken from the masters:\n");
    return at == std::string::npos ? std::string() : err.substr(at);
}

}  // namespace

TEST(Masters, ACellWithoutLandGetsItsMastersLandWithTheMastersOwnTextureNumbers) {
    WorkDir work;
    // The master's texture 1 is its own tx_master; the plugin's texture 1 is tx_plugin.
    tes3::Plugin master = withMasters({});
    tes3::LandOptions shoreTextures = paintedWith(1);
    std::fill(shoreTextures.vtex.begin(), shoreTextures.vtex.begin() + 16, 2);  // one block of squares
    master.add(tes3::landTexture("master_ground", 0, "tx_master.tga"))
        .add(tes3::landTexture("master_unknown", 1, "tx_master_unknown.tga"))
        .add(tes3::cell("Shore", 0, 0))
        .add(tes3::land(0, 0, slope, shoreTextures))
        .add(tes3::cell("", 9, 9))
        .add(tes3::land(9, 9, flat, paintedWith(1)));
    master.save(work.path("Base.esm"));
    tes3::Plugin plugin = withMasters({"BASE.ESM"});  // matched without regard to case
    plugin.add(tes3::landTexture("plugin_ground", 0, "tx_plugin.tga"))
        .add(tes3::cell("Shore", 0, 0).raw(tes3::reference(frmr(0, 1), "lf_tree", 100, 100)))
        .add(tes3::cell("Own", 5, 5))
        .add(tes3::land(5, 5, flat, paintedWith(1)));
    RunResult run;
    tes4::File file = convertWith(work, plugin, {"--master", "Base.esm"}, run);

    std::vector<WorldCell> cells = landscape::worldCells(file);
    EXPECT_EQ(cells.size(), 8u);  // the master's cell (9, 9), which the plugin lacks, is not copied
    EXPECT_EQ(e2e::summaryCount(run.out, "Total LAND records"), 2);
    const WorldCell* shore = cellAt(cells, 1, 1);
    ASSERT_NE(shore, nullptr);
    ASSERT_NE(shore->land, nullptr);
    // The NE quad starts at the master's vertex (32, 32).
    EXPECT_DOUBLE_EQ(landscape::landHeights(*shore->land)[0], 2 * 32 + 32);
    EXPECT_EQ(baseTexture(*shore->land), 0xB2u);
    EXPECT_EQ(baseTexture(*cellAt(cells, 10, 10)->land), 0xA1u);
    EXPECT_NE(fromMastersReport(run.err).find(
                  "\tLands taken from a master (cells of the plugin without land of their own): 1: Base.esm (1)\n"),
              std::string::npos)
        << run.err;
    // The master's texture that ltex.dat lacks is reported by its file.
    EXPECT_NE(e2e::lossReport(run.err).find("16 texture squares unpainted: tx_master_unknown.tga (16)"),
              std::string::npos)
        << run.err;
    expectWryeBashLoadsIt(work);
}

TEST(Masters, AnEditedExteriorIsConvertedWholeWithThePluginsChangesOnTop) {
    WorkDir work;
    tes3::Plugin master = withMasters({});
    master.add(tes3::cell("Seyda", 0, 0)
                   .raw(tes3::reference(frmr(0, 1), "lf_rock_a", 100, 100))
                   .raw(tes3::reference(frmr(0, 2), "lf_rock_b", 200, 100))
                   .raw(tes3::reference(frmr(0, 3), "lf_rock_c", 300, 100))
                   .raw(tes3::reference(frmr(0, 4), "lf_tree", 400, 100)))
        .add(tes3::land(0, 0, flat))
        .add(tes3::cell("", 1, 0))
        .add(tes3::land(1, 0, ridge));
    master.save(work.path("Base.esm"));
    tes3::Plugin plugin = withMasters({"Base.esm"});
    plugin.add(tes3::cell("Seyda", 0, 0)
                   .raw(tes3::reference(frmr(1, 2), "lf_rock_b", 250, 150))        // replaced: moved a little
                   .raw(tes3::deletedReference(frmr(1, 3), "lf_rock_c"))          // deleted
                   .raw(tes3::movedReference(frmr(1, 4), 1, 0, "lf_tree", 8300, 100))  // moved to (1, 0)
                   .raw(tes3::reference(frmr(1, 99), "lf_bush", 500, 100))        // no master has it
                   .raw(tes3::reference(frmr(0, 1), "lf_bush", 600, 100)));       // new
    RunResult run;
    tes4::File file = convertWith(work, plugin, {"--master", "Base.esm", "--report", "losses.csv"}, run);

    Placements placed = placements(file);
    using Objects = std::vector<std::pair<uint32_t, std::pair<float, float>>>;
    EXPECT_EQ(placed[std::make_pair(0, 0)], (Objects{{0xA01, {100, 100}}, {0xA02, {250, 150}}, {0xA05, {500, 100}}, {0xA05, {600, 100}}}));
    EXPECT_EQ(placed[std::make_pair(2, 0)], (Objects{{0xA04, {8300, 100}}}));
    // The cell the tree moved to gets its master's land.
    std::vector<WorldCell> cells = landscape::worldCells(file);
    const WorldCell* moved = cellAt(cells, 2, 1);
    ASSERT_NE(moved, nullptr);
    ASSERT_NE(moved->land, nullptr);
    EXPECT_DOUBLE_EQ(landscape::landHeights(*moved->land)[33], 5 * 33);
    EXPECT_NE(e2e::withoutPlaces(run.err).find("The CELL record Seyda (0, 0) changes 1 reference that no master has: kept as new "
                           "references.\n"),
              std::string::npos)
        << run.err;
    std::string report = fromMastersReport(run.err);
    for (const char* line : {"\tReferences of the masters in the cells the plugin edits: 3: Seyda (0, 0) (3)\n",
                             "\tReferences of the masters the plugin replaces: 1: Seyda (0, 0) (1)\n",
                             "\tReferences of the masters the plugin deletes: 1: Seyda (0, 0) (1)\n",
                             "\tReferences moved to another cell (by the cell they left): 1: Seyda (0, 0) (1)\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << report;
    EXPECT_NE(run.err.find("\tReferences of the plugin changing one no master has (kept as new references): 1: "
                           "Seyda (0, 0) (1)\n"),
              std::string::npos)
        << run.err;
    std::ifstream csvFile(work.path("losses.csv"));
    std::string csv((std::istreambuf_iterator<char>(csvFile)), std::istreambuf_iterator<char>());
    for (const char* row : {"master reference,\"Seyda (0, 0)\",3,converted\n", "replaced reference,\"Seyda (0, 0)\",1,",
                            "deleted reference,\"Seyda (0, 0)\",1,removed\n", "moved reference,\"Seyda (0, 0)\",1,",
                            "unknown master reference,\"Seyda (0, 0)\",1,a new reference\n"})
        EXPECT_NE(csv.find(row), std::string::npos) << row << csv;
    expectWryeBashLoadsIt(work);
}

TEST(Masters, AnEditedInteriorIsConvertedWholeWithItsMastersLightAndThePluginsChanges) {
    WorkDir work;
    tes3::Plugin master = withMasters({});
    master.add(tes3::interiorCell("Seyda Neen, Census Office", 0x01,
                                  tes3::ambient({10, 20, 30}, {40, 50, 60}, {70, 80, 90}, 0.5f))
                   .raw(tes3::reference(frmr(0, 1), "lf_rock_a", 100, 100))
                   .raw(tes3::reference(frmr(0, 2), "lf_rock_b", 200, 100))
                   .raw(tes3::reference(frmr(0, 3), "lf_rock_c", 300, 100)));
    master.save(work.path("Base.esm"));
    // The plugin names the interior in other letters and gives it no light of its own.
    tes3::Plugin plugin = withMasters({"Base.esm"});
    plugin.add(tes3::interiorCell("seyda neen, census office")
                   .raw(tes3::reference(frmr(1, 2), "lf_rock_b", 250, 150))  // replaced
                   .raw(tes3::deletedReference(frmr(1, 3), "lf_rock_c"))    // deleted
                   .raw(tes3::reference(frmr(0, 1), "lf_bush", 600, 100)));  // new
    RunResult run;
    tes4::File file = convertWith(work, plugin, {"--master", "Base.esm"}, run);
    std::vector<interiors::InteriorCell> cells = interiors::interiorCells(file);
    ASSERT_EQ(cells.size(), 1u);
    std::vector<std::pair<uint32_t, float>> placed;
    for (const tes4::Entry* refr : cells[0].temporary)
        placed.push_back({tes4::u32(refr->find("NAME")->data, 0), tes4::f32(refr->find("DATA")->data, 0)});
    EXPECT_EQ(placed, (std::vector<std::pair<uint32_t, float>>{{0xA01, 100}, {0xA02, 250}, {0xA05, 600}}));
    const tes4::Subrecord* light = cells[0].cell->find("XCLL");
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(tes4::Bytes(light->data.begin(), light->data.begin() + 3), (tes4::Bytes{10, 20, 30}));
    std::string report = fromMastersReport(run.err);
    for (const char* line : {"\tReferences of the masters in the cells the plugin edits: 2: seyda neen, census office (2)\n",
                             "\tReferences of the masters the plugin replaces: 1: seyda neen, census office (1)\n",
                             "\tReferences of the masters the plugin deletes: 1: seyda neen, census office (1)\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << report;
    expectWryeBashLoadsIt(work);
}

TEST(Masters, TheLaterMasterWinsAndChangesItsOwnMastersReferences) {
    WorkDir work;
    tes3::Plugin base = withMasters({});
    // A name longer than the head the index reads of a cell at first.
    base.add(tes3::cell(std::string(600, 'x'), 0, 0)
                 .raw(tes3::reference(frmr(0, 1), "lf_rock_a", 100, 100))
                 .raw(tes3::reference(frmr(0, 2), "lf_rock_b", 200, 100)))
        .add(tes3::land(0, 0, flat));
    base.save(work.path("Base.esm"));
    // The second master names the first as its own master 1.
    tes3::Plugin second = withMasters({"Base.esm"});
    second.add(tes3::cell("Outpost", 0, 0).raw(tes3::reference(frmr(1, 2), "lf_rock_c", 222, 100)))
        .add(tes3::land(0, 0, ridge));
    second.save(work.path("Second.esm"));
    tes3::Plugin plugin = withMasters({"Base.esm", "Second.esm", "Missing.esm"});
    plugin.add(tes3::cell("", 0, 0)
                   .raw(tes3::reference(frmr(3, 7), "lf_tree", 300, 100))    // a change to a master not given
                   .raw(tes3::deletedReference(frmr(1, 1), "lf_rock_a")));
    RunResult run;
    // Given in another order: the load order is the MAST list's.
    tes4::File file = convertWith(work, plugin, {"--master", "Second.esm", "--master", "Base.esm"}, run);

    std::vector<WorldCell> cells = landscape::worldCells(file);
    const WorldCell* sw = cellAt(cells, 0, 0);
    ASSERT_NE(sw, nullptr);
    ASSERT_NE(sw->land, nullptr);
    EXPECT_DOUBLE_EQ(landscape::landHeights(*sw->land)[33], 5);  // the second master's ridge
    ASSERT_NE(sw->cell->find("EDID"), nullptr);
    const tes4::Bytes& edid = sw->cell->find("EDID")->data;
    EXPECT_EQ(std::string(edid.begin(), edid.end() - 1), "Outpost SW");  // the plugin's record leaves the name to it
    using Objects = std::vector<std::pair<uint32_t, std::pair<float, float>>>;
    EXPECT_EQ(placements(file)[std::make_pair(0, 0)], (Objects{{0xA03, {222, 100}}, {0xA04, {300, 100}}}));
    std::string messages = e2e::withoutLossReport(run.err);
    EXPECT_NE(messages.find("The plugin names the master Missing.esm, which no --master gives: its changes to that "
                            "master's references are converted as references of its own.\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(messages.find("no master has"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\tMasters of the plugin no --master gives: 1: Missing.esm (1)\n"), std::string::npos)
        << run.err;
    EXPECT_NE(fromMastersReport(run.err).find(": 1: Second.esm (1)\n"), std::string::npos) << run.err;
    expectWryeBashLoadsIt(work);
}

TEST(Masters, AMasterThatCannotBeReadEndsTheRunBeforeAnythingIsWritten) {
    WorkDir work;
    tes3::Plugin master = withMasters({});
    master.add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, flat));
    tes3::Bytes cut = master.bytes();
    cut.resize(cut.size() - 100);
    work.writeFile("Cut.esm", cut);
    work.writeFile("Other.esm", std::string("TES4 this is no Morrowind file"));
    tes3::Plugin plugin = withMasters({"Cut.esm", "Other.esm"});
    plugin.add(tes3::cell("", 0, 0));
    plugin.save(work.path("input.esp"));
    for (const char* name : {"Cut.esm", "Other.esm"}) {
        RunResult run = work.run({"--master", name, "input.esp"});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err.rfind(std::string("Unable to read the master file ") + name + ": ", 0), 0u) << run.err;
        EXPECT_FALSE(work.exists("LANDFER.ESP"));
    }
}
