// Exterior cells and their land, read back from the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "e2e_run.h"
#include "interior_support.h"
#include "run_output.h"
#include "test_helpers.h"
#include "landscape_support.h"
#include "npc_test_support.h"
#include "tes3_every_record.h"
#include "tes3_land.h"

using support::contains;
using e2e::RunResult;
using e2e::WorkDir;
using e2e::convertOk;
using landscape::WorldCell;
using tes4::Bytes;

namespace {

int32_t flat(int, int) { return 0; }

// Gentle hills: every step fits a signed byte.
int32_t hills(int r, int c) {
    return static_cast<int32_t>(300 * std::sin(r * 0.11) + 200 * std::cos(c * 0.07 + r * 0.03) + 3 * c) - 200;
}

std::string editorId(const tes4::Entry& cell) {
    const tes4::Subrecord* edid = cell.find("EDID");
    return edid == nullptr ? "" : std::string(edid->data.begin(), edid->data.end() - 1);
}

}  // namespace

TEST(CellsAndLand, OneCellGivesTheWorldFourQuadsAndFourLands) {
    WorkDir work;
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(tes3::cell("", 3, -2)).add(tes3::land(3, -2, flat)), &run);
    Bytes bytes = work.outputBytes();

    // The world block, then the world children group labelled with the world record.
    EXPECT_EQ(std::string(bytes.begin() + 85, bytes.begin() + 89), "GRUP");
    EXPECT_EQ(tes4::u32(bytes, 85 + 16), 0x2F09u);
    EXPECT_EQ(std::string(bytes.begin() + 105, bytes.begin() + 109), "WRLD");
    EXPECT_EQ(tes4::u32(bytes, 105 + 12), 0x010008FFu);
    EXPECT_EQ(std::string(bytes.begin() + 125, bytes.begin() + 140), std::string("EDID\x08\0Landfer\0FULL", 18).substr(0, 15));
    EXPECT_EQ(tes4::u32(bytes, 220 + 8), 0x010008FFu);
    EXPECT_EQ(tes4::u32(bytes, 220 + 12), 1u);
    ASSERT_EQ(file.groups.size(), 1u);
    EXPECT_EQ(file.groups[0].size, bytes.size() - 85);

    std::vector<WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 4u);
    const int32_t grids[4][2] = {{6, -4}, {7, -4}, {6, -3}, {7, -3}};
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(cells[q].gridX, grids[q][0]);
        EXPECT_EQ(cells[q].gridY, grids[q][1]);
        EXPECT_EQ(cells[q].cell->size, 21u);
        EXPECT_EQ(cells[q].cell->find("DATA")->data, Bytes{0x00});  // the Morrowind cell has no water flag
        EXPECT_EQ(cells[q].cell->find("EDID"), nullptr);
        EXPECT_EQ(cells[q].cell->formId, 0x011E8480u + q);
        ASSERT_NE(cells[q].land, nullptr);
        EXPECT_EQ(cells[q].land->formId, 0x011E8484u + q);
        EXPECT_TRUE(cells[q].land->compressed());
        EXPECT_EQ(cells[q].land->data.size(), 4385u);
        EXPECT_EQ(cells[q].land->find("DATA")->data, (Bytes{0x1F, 0, 0, 0}));
        for (double height : landscape::landHeights(*cells[q].land)) EXPECT_EQ(height, 0.0);
    }
    // The world group and record, its children, one block, one sub-block, four cells, each with its
    // children, temporary children and land.
    EXPECT_EQ(tes4::u32(bytes, 30), 2u + 1u + 1u + 1u + 4u * 4u);
    EXPECT_TRUE(contains(e2e::withoutPlaces(run.out), "\tTotal Exterior CELLs:                   1\n\tTotal Interior CELLs:                   0\n\tTotal LAND records:                     1\n"));
    EXPECT_EQ(run.out.substr(run.out.find("... \n") + 5, 3), "CL\n");
    for (const char* name : {"cell1.tmp", "cell2.tmp", "cell3.tmp", "cell4.tmp", "cell_names.tmp"})
        EXPECT_FALSE(work.exists(name));
}

TEST(CellsAndLand, NamesAreMadeUniqueAndColoursAreCut) {
    WorkDir work;
    tes3::LandOptions withColours;
    withColours.colours = true;
    tes3::Plugin plugin;
    const char* names[] = {"Riverside", "Riverside", "riverside", "Riverside"};
    for (int i = 0; i < 4; ++i) plugin.add(tes3::cell(names[i], i, 0)).add(tes3::land(i, 0, flat, withColours));
    tes4::File file = convertOk(work, plugin);
    std::vector<WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 16u);
    EXPECT_EQ(editorId(*cells[0].cell), "Riverside SW");
    EXPECT_EQ(cells[0].cell->size, 40u);  // 28 + 12
    EXPECT_EQ(editorId(*cells[3].cell), "Riverside NE");
    EXPECT_EQ(editorId(*cells[4].cell), "Riverside2 SW");
    // The editor takes IDs that differ only in letter case for one.
    EXPECT_EQ(editorId(*cells[9].cell), "riverside3 SE");
    EXPECT_EQ(editorId(*cells[14].cell), "Riverside4 NW");
    // Colours: the NE quad starts at input vertex (32, 32).
    tes3::Record input = tes3::land(0, 0, flat, withColours);
    const tes3::Bytes& inputData = input.data();
    size_t vclr = inputData.size() - 65 * 65 * 3;
    ASSERT_EQ(cells[3].land->data.size(), 7658u);
    const Bytes& colours = cells[3].land->find("VCLR")->data;
    EXPECT_EQ(Bytes(colours.begin(), colours.begin() + 3),
              Bytes(inputData.begin() + vclr + 3 * (32 * 65 + 32), inputData.begin() + vclr + 3 * (32 * 65 + 32) + 3));
}

TEST(CellsAndLand, InteriorCellsGoToTheirOwnGroupAndLandlessCellsAreWrittenAtTheEnd) {
    WorkDir work;
    tes3::Record flagged = tes3::cell("Vault", 0, 0, 0x01);
    flagged.ztext("NAM0", "x");
    tes3::Record ambient = tes3::cell("Cave", 0, 0);
    ambient.ztext("RGNN", "Region").sub("AMBI", Bytes(16, 0));
    tes3::Record water = tes3::cell("Pool", 0, 0);
    water.sub("WHGT", tes3::floats({1.0f}));
    tes3::Record deleted("CELL");
    deleted.ztext("NAME", "Gone").sub("DELE", Bytes(4, 0)).sub("DATA", tes3::int32s({0, 5, 5}));
    RunResult run;
    tes4::File file = convertOk(work,
                                tes3::Plugin()
                                    .add(flagged)
                                    .add(ambient)
                                    .add(water)
                                    .add(tes3::cell("Shore", 1, 1))  // no land: written at the end
                                    .add(deleted)
                                    .add(tes3::land(5, 5, flat))
                                    .add(tes3::book("b", "B", "between")),
                                &run);
    std::vector<WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 8u);
    // In the world's order: Shore's sub-block (0, 0) before that of Gone's grid (1, 1).
    EXPECT_EQ(editorId(*cells[0].cell), "Shore SW");
    EXPECT_EQ(cells[0].land, nullptr);
    // It keeps the FormIDs it took when staged, after the three interiors before it.
    EXPECT_EQ(cells[0].cell->formId, 0x011E8483u);
    // The deleted cell is no cell: its grid's land gets unnamed cells of its own.
    EXPECT_EQ(editorId(*cells[4].cell), "");
    EXPECT_NE(cells[4].land, nullptr);
    // The interiors, by the interior flag or by what only an interior holds.
    std::vector<std::string> interiorNames;
    for (const interiors::InteriorCell& interior : interiors::interiorCells(file))
        interiorNames.push_back(npc_test::textOf(interior.cell->find("FULL")));
    std::sort(interiorNames.begin(), interiorNames.end());
    EXPECT_EQ(interiorNames, (std::vector<std::string>{"Cave", "Pool", "Vault"}));
    // The book came last in the input; its group still comes before the interiors and the world.
    ASSERT_EQ(file.groups.size(), 3u);
    EXPECT_EQ(file.groups[0].labelText(), "BOOK");
    EXPECT_EQ(file.groups[1].labelText(), "CELL");
    EXPECT_EQ(file.groups[2].labelText(), "WRLD");
    EXPECT_TRUE(contains(e2e::withoutPlaces(run.out),
                         "\tTotal Exterior CELLs:                   1\n\tTotal Interior CELLs:                   3\n"));
}

TEST(LandPairing, EachLandGoesUnderTheCellsOfItsOwnGrid) {
    WorkDir work;
    tes3::Plugin plugin;
    // All cells first, then their lands in another order, then a land without a cell.
    plugin.add(tes3::cell("A", 0, 0)).add(tes3::cell("B", 1, 0)).add(tes3::cell("C", -1, 2));
    plugin.add(tes3::land(-1, 2, hills)).add(tes3::land(0, 0, flat)).add(tes3::land(1, 0, hills));
    plugin.add(tes3::land(7, 7, flat));
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    std::vector<WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 16u);
    const std::pair<std::string, int> expected[] = {{"C SW", -2}, {"A SW", 0}, {"B SW", 2}, {"", 14}};
    for (int land = 0; land < 4; ++land) {
        EXPECT_EQ(editorId(*cells[4 * land].cell), expected[land].first);
        EXPECT_EQ(cells[4 * land].gridX, expected[land].second);
        for (int q = 0; q < 4; ++q) EXPECT_NE(cells[4 * land + q].land, nullptr);
    }
    EXPECT_TRUE(contains(e2e::withoutPlaces(run.out), "\tTotal Exterior CELLs:                   3\n\tTotal Interior CELLs:                   0\n\tTotal LAND records:                     4\n"));
}

TEST(Heights, EveryVertexKeepsItsHeightAndEdgesMeet) {
    WorkDir work;
    tes3::LandOptions options;
    options.offset = -12.5f;
    tes4::File file = convertOk(work, tes3::Plugin().add(tes3::cell("", -3, 4)).add(tes3::land(-3, 4, hills, options)));
    std::vector<WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 4u);
    for (int q = 0; q < 4; ++q) {
        std::vector<double> heights = landscape::landHeights(*cells[q].land);
        int rowBase = q >= 2 ? 32 : 0, colBase = q % 2 ? 32 : 0;
        for (int i = 0; i < 33; ++i)
            for (int j = 0; j < 33; ++j)
                ASSERT_EQ(heights[i * 33 + j], -12.5 + hills(rowBase + i, colBase + j)) << q << " " << i << " " << j;
    }
    // The NE quad's offset is its first vertex's height, and its first delta 0.
    const Bytes& ne = cells[3].land->find("VHGT")->data;
    EXPECT_EQ(tes4::f32(ne, 0), -12.5f + hills(32, 32));
    EXPECT_EQ(ne[4], 0);
}

TEST(Heights, TheDocumentedSouthEastOffset) {
    WorkDir work;
    // d(0,0) = 5, and the deltas of row 0 up to column 32 add up to 40.
    auto heights = [](int r, int c) { return r == 0 ? 5 + (c <= 32 ? c * 40 / 32 : 40) : 5 + 40 * (c >= 32); };
    tes4::File file = convertOk(work, tes3::Plugin().add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, heights)));
    const Bytes& se = landscape::worldCells(file)[1].land->find("VHGT")->data;
    EXPECT_EQ(tes4::f32(se, 0), 40.0f);
    EXPECT_EQ(static_cast<int8_t>(se[4]), 5);
}

TEST(Heights, ACliffAlongColumn32CostsOnlyTheUnreachableVertices) {
    WorkDir work;
    // Rows climb 128 units each at column 32: a step no byte can hold in the
    // first column of the eastern quads.
    auto cliff = [](int r, int c) { return std::min(c, 32) * std::min(4 * r, 124); };
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, cliff)), run);
    std::vector<WorldCell> cells = landscape::worldCells(file);
    long moved = 0;
    double largest = 0;
    for (int q = 0; q < 4; ++q) {
        std::vector<double> heights = landscape::landHeights(*cells[q].land);
        int rowBase = q >= 2 ? 32 : 0, colBase = q % 2 ? 32 : 0;
        for (int i = 0; i < 33; ++i) {
            for (int j = 0; j < 33; ++j) {
                double error = heights[i * 33 + j] - cliff(rowBase + i, colBase + j);
                moved += error != 0.0;
                largest = std::max(largest, std::fabs(error));
                if (q == 1 && j == 0)
                    EXPECT_LE(std::fabs(error), 32.0) << i;  // off by one per row climbed, never by 256
                else
                    ASSERT_EQ(error, 0.0) << q << " " << i << " " << j;
            }
        }
    }
    // The clamping is no silent loss: the vertices that moved, and by how much at most (in game units).
    ASSERT_GT(moved, 0);
    EXPECT_TRUE(contains(e2e::lossReport(run.err),
                         "\tLand vertices moved (a height step too steep for Oblivion): " + std::to_string(moved) +
                             ": LAND (0, 0), up to " + std::to_string(static_cast<long>(8 * largest)) + " units (" +
                             std::to_string(moved) + ")\n"))
        << run.err;
}

TEST(LandInput, ShortSubrecordsAreCaught) {
    WorkDir work;
    tes3::Record shortNormals("LAND");
    shortNormals.sub("INTV", tes3::int32s({0, 0})).sub("VNML", Bytes(100, 0)).sub("VHGT", Bytes(4232, 0));
    tes3::Record shortColours = tes3::land(1, 1, flat);
    shortColours.sub("VCLR", Bytes(10, 0));
    tes3::Record noHeights("LAND");
    noHeights.sub("INTV", tes3::int32s({2, 2})).sub("VNML", Bytes(12675, 0));
    tes3::Record noGrid("LAND");
    noGrid.sub("VNML", Bytes(12675, 0));
    tes3::Record hugeName = tes3::cell(std::string(70000, 'n'), 4, 4);
    tes3::Record headless("CELL");
    headless.ztext("NAME", "No data");
    // Height offsets that are no number, or whose Oblivion value (8 times as large) is none.
    tes3::Plugin plugin;
    plugin.add(shortNormals).add(shortColours).add(noHeights).add(noGrid).add(headless).add(hugeName);
    for (float offset : {std::nanf(""), -INFINITY, 1e38f}) {
        tes3::LandOptions options;
        options.offset = offset;
        plugin.add(tes3::land(5, 5, flat, options));
    }
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "The LAND record at grid (0, 0) is malformed (its VNML subrecord holds 100 of 12675 bytes). Ignoring!\n"
              "The LAND record at grid (1, 1) is malformed (its VCLR subrecord holds 10 of 12675 bytes): the land is "
              "converted without it.\n"
              "Unable to find VHGT!!!\n"
              "The CELL record No data is malformed (it has no DATA). Ignoring!\n"
              "The CELL record " + std::string(70000, 'n') +
                  " cannot be converted: its EDID subrecord would hold 70004 bytes, more than 65535. Ignoring!\n"
              "The LAND record at grid (5, 5) is malformed (its height offset is not a finite number). Ignoring!\n"
              "The LAND record at grid (5, 5) is malformed (its height offset is not a finite number). Ignoring!\n"
              "The LAND record at grid (5, 5) is malformed (its height offset 1e+38 is beyond the heights Oblivion can hold). "
              "Ignoring!\n");
    std::vector<WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0].land->data.size(), 4385u);  // converted without its colours
    EXPECT_TRUE(contains(e2e::withoutPlaces(run.out), "\tTotal LAND records:                     1\n"));
}

TEST(PlacedNpcs, ACellWithThousandsOfNpcsReachesTheOutputWhole) {
    WorkDir work;
    tes3::Record npc("NPC_");
    npc.ztext("NAME", "lf_crowd").ztext("FNAM", "Crowd").ztext("RNAM", "Nord").ztext("CNAM", "Guard");
    npc.sub("NPDT", Bytes{5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).sub("FLAG", Bytes{0x18, 0, 0, 0});
    tes3::Record crowded = tes3::cell("Market", 0, 0);
    for (int i = 0; i < 1000; ++i) {
        tes3::Record ref("X");
        ref.sub("FRMR", tes3::int32s({i})).ztext("NAME", "lf_crowd").sub("DATA", tes3::floats({10.0f + i, 20.0f, 0, 0, 0, 0}));
        crowded.raw(ref.data());
    }
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(npc).add(crowded).add(tes3::land(0, 0, flat)), &run);
    std::vector<WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_TRUE(cells[0].persistent());
    EXPECT_EQ(cells[0].placed.size(), 1000u);  // 60 000 bytes of placed NPCs in one group
    EXPECT_NE(cells[1].land, nullptr);
    EXPECT_TRUE(contains(e2e::withoutPlaces(run.out), "\tTotal Placed NPCs:                      1000\n"));
}

// A reference without NAME, without DATA or without a position costs only
// itself, reported; an NPC whose record comes after its cell is placed all
// the same, once the whole input is read.
TEST(PlacedNpcs, BrokenReferencesCostOnlyThemselvesAndLateNpcsArePlaced) {
    WorkDir work;
    tes3::Record cell = tes3::cell("Market", 0, 0);
    tes3::Record nameless("X");
    nameless.sub("FRMR", tes3::int32s({2})).sub("DATA", tes3::floats({1, 2, 3, 0, 0, 0}));
    tes3::Record dataless("X");
    dataless.sub("FRMR", tes3::int32s({3})).ztext("NAME", "lf_late");
    const float nan = std::nanf("");
    cell.raw(tes3::placedReference(1, "lf_late", 100.0f, 100.0f))
        .raw(nameless.data())
        .raw(tes3::placedReference(4, "lf_late", nan, 100.0f))
        .raw(dataless.data())
        .raw(tes3::placedReference(5, "LF_Late", 200.0f, 100.0f));
    RunResult run;
    // The NPC_ record after the cell that places it, its land between them.
    tes4::File file = convertOk(work, tes3::Plugin().add(cell).add(tes3::land(0, 0, flat)).add(npc_test::npc("lf_late")), run);
    std::vector<const tes4::Entry*> placed = landscape::placedNpcs(file);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(tes4::f32(placed[1]->find("DATA")->data, 0), 200.0f);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)), "A reference in the CELL record at grid (0, 0) has no NAME. Ignoring it!\n");
    // The one without DATA is followed by another reference.
    EXPECT_TRUE(contains(e2e::withoutPlaces(run.out), "Recursive FRMR - returning 28\n")) << run.out;
    EXPECT_TRUE(contains(e2e::withoutPlaces(run.out), "WARNING: I COULDN'T DECIDE UPON: (nan, 100.000000) for original cell (0, 0) - quad 0\n"))
        << run.out;
    EXPECT_TRUE(contains(e2e::lossReport(run.err),
                         "\tPlaced references left out (no NAME, DATA or position): 3: lf_late (2), (none) (1)\n"))
        << run.err;
    EXPECT_EQ(e2e::summaryCount(run.out, "Total Placed NPCs"), 2);
}

// The editor finds records by editor ID and takes IDs that differ only in
// letter case for one: a cell's stem is its name unless an earlier cell
// used it, else the name and the smallest number from 2 that is unused.
TEST(CellsAndLand, EditorIdStemsAreUniqueWithoutRegardToCase) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
        {{"Riverside", "Riverside", "Riverside"}, {"Riverside SW", "Riverside2 SW", "Riverside3 SW"}},
        {{"Riverside", "Riverside", "Riverside2"}, {"Riverside SW", "Riverside2 SW", "Riverside22 SW"}},
        {{"Riverside", "riverside"}, {"Riverside SW", "riverside2 SW"}},
        {{"", "Moor", ""}, {"", "Moor SW", ""}},
    };
    for (const auto& [names, stems] : cases) {
        WorkDir work;
        tes3::Plugin plugin;
        for (size_t i = 0; i < names.size(); ++i) plugin.add(tes3::cell(names[i], static_cast<int32_t>(i), 0));
        tes4::File file = convertOk(work, plugin);
        std::vector<std::string> found;
        std::vector<WorldCell> cells = landscape::worldCells(file);
        for (size_t i = 0; i < cells.size(); i += 4) found.push_back(editorId(*cells[i].cell));
        EXPECT_EQ(found, stems);
    }
}
