// The real Morrowind plugins in ../shared/samples (absent from a user's
// clone: then these tests skip).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "e2e_run.h"
#include "interior_support.h"
#include "landscape_support.h"
#include "run_output.h"
#include "tes3_land.h"

namespace fs = std::filesystem;

namespace {

const std::string samplesDir = std::string(LANDFER_SOURCE_DIR) + "/../shared/samples";

// An interior cell, by the interior flag (bit 0 of the flags that open its
// DATA), as the format defines it.
bool isInteriorCell(const tes3::ReadRecord& cell) {
    const tes3::ReadSubrecord* data = cell.find("DATA");
    return data == nullptr || data->data.size() < 12 || (tes4::u32(data->data, 0) & 1) != 0;
}

// The heights of each Morrowind land (65 x 65 vertices), by its grid.
using LandHeights = std::map<std::pair<int32_t, int32_t>, std::vector<double>>;

}  // namespace

TEST(RealSamples, EveryPluginConvertsWithItsLandUnderItsOwnCells) {
    if (!fs::is_directory(samplesDir)) GTEST_SKIP() << "no sample plugins here";
    int plugins = 0;
    for (const auto& entry : fs::directory_iterator(samplesDir)) {
        if (entry.path().extension() != ".esp") continue;
        ++plugins;
        SCOPED_TRACE(entry.path().filename().string());
        tes3::Bytes input = tes4::readFileBytes(entry.path().string());
        e2e::WorkDir work;
        work.writeFile("input.esp", input);
        e2e::RunResult run = work.run({"input.esp"});
        ASSERT_EQ(run.status, 0) << run.err;
        tes4::File file = work.output();
        std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
        std::map<std::pair<int32_t, int32_t>, std::vector<const landscape::WorldCell*>> byGrid;
        for (const auto& cell : cells) byGrid[{cell.gridX, cell.gridY}].push_back(&cell);

        std::set<std::pair<int32_t, int32_t>> morrowindGrids;
        size_t staged = 0;
        LandHeights morrowindLands;
        std::set<std::string> everyReferencedId;
        for (const tes3::ReadRecord& record : tes3::readPlugin(input)) {
            if (record.type == "CELL")
                for (size_t i = 0; i + 1 < record.subrecords.size(); ++i)
                    if (record.subrecords[i].type == "FRMR" && record.subrecords[i + 1].type == "NAME") {
                        const tes3::Bytes& id = record.subrecords[i + 1].data;
                        everyReferencedId.insert(std::string(id.begin(), std::find(id.begin(), id.end(), 0)));
                    }
            if (record.type == "CELL" && !isInteriorCell(record)) {
                const tes3::Bytes& data = record.subrecords[record.subrecords[1].type == "DELE" ? 2 : 1].data;
                int32_t x = static_cast<int32_t>(tes4::u32(data, 4)), y = static_cast<int32_t>(tes4::u32(data, 8));
                ++staged;
                morrowindGrids.insert({x, y});
                for (int q = 0; q < 4; ++q)
                    EXPECT_FALSE((byGrid[{2 * x + q % 2, 2 * y + q / 2}].empty())) << x << "," << y;
            }
            const tes3::ReadSubrecord* grid = record.find("INTV");
            const tes3::ReadSubrecord* vhgt = record.find("VHGT");
            if (record.type != "LAND" || grid == nullptr || vhgt == nullptr) continue;
            int32_t x = static_cast<int32_t>(tes4::u32(grid->data, 0)), y = static_cast<int32_t>(tes4::u32(grid->data, 4));
            if (morrowindGrids.insert({x, y}).second) ++staged;  // a land without a cell gets cells of its own
            std::vector<double> heights = tes3::decodeHeights(vhgt->data, 65);
            morrowindLands.emplace(std::make_pair(x, y), heights);  // the first land of a grid counts
        }
        // Vertices lie 128 units apart in either game, with a row at each
        // edge of a land: 64 steps across a Morrowind cell, 32 across an
        // Oblivion one. Every vertex of every Oblivion land keeps the height
        // of the Morrowind vertex at its place.
        size_t lands = 0;
        for (const landscape::WorldCell& cell : cells) {
            if (cell.land == nullptr) continue;
            ++lands;
            auto morrowind = morrowindLands.find({static_cast<int32_t>(std::floor(cell.gridX / 2.0)),
                                                  static_cast<int32_t>(std::floor(cell.gridY / 2.0))});
            ASSERT_NE(morrowind, morrowindLands.end()) << cell.gridX << "," << cell.gridY;
            std::vector<double> out = landscape::landHeights(*cell.land);
            int wrong = 0;
            for (int row = 0; row < 33; ++row)
                for (int col = 0; col < 33; ++col) {
                    int64_t east = int64_t{cell.gridX} * 32 + col - int64_t{morrowind->first.first} * 64;
                    int64_t north = int64_t{cell.gridY} * 32 + row - int64_t{morrowind->first.second} * 64;
                    wrong += std::fabs(out[row * 33 + col] - morrowind->second[north * 65 + east]) >= 0.01;
                }
            EXPECT_EQ(wrong, 0) << "land of cell " << cell.gridX << "," << cell.gridY;
        }
        EXPECT_EQ(lands, 4 * morrowindLands.size());
        // Every placed NPC's base object is the NPC converted from the reference's own ID.
        std::map<uint32_t, std::string> npcIds;
        for (const tes4::Entry* npc : file.records("NPC_")) {
            const tes4::Bytes& id = npc->find("EDID")->data;
            npcIds[npc->formId] = std::string(id.begin(), id.end() - 1);
        }
        // The world's persistent cell (its NPCs and doors) and the interiors hold the placed NPCs.
        std::vector<std::vector<const tes4::Entry*>> persistentGroups;
        size_t persistentCells = 0, exteriorPersistent = 0;
        for (const landscape::WorldCell& cell : cells) {
            if (!cell.persistent()) continue;
            ++persistentCells;
            exteriorPersistent += cell.placed.size();
            persistentGroups.push_back(cell.placed);
        }
        for (const interiors::InteriorCell& interior : interiors::interiorCells(file))
            persistentGroups.push_back(interior.persistent);
        size_t placed = 0;
        for (const std::vector<const tes4::Entry*>& group : persistentGroups)
            for (const tes4::Entry* achr : group) {
                if (achr->type != "ACHR") continue;
                ++placed;
                auto npc = npcIds.find(tes4::u32(achr->find("NAME")->data, 0));
                ASSERT_NE(npc, npcIds.end());
                EXPECT_EQ(everyReferencedId.count(npc->second), 1u) << npc->second;
            }
        EXPECT_NE(run.out.find("\tTotal Placed NPCs:                      " + std::to_string(placed) + "\n"),
                  std::string::npos);
        // Nothing else is in the world: no interior cell, and every cell once.
        EXPECT_EQ(cells.size(), 4 * staged + persistentCells);
        EXPECT_EQ(persistentCells, exteriorPersistent > 0 ? 1u : 0u);
    }
    EXPECT_GT(plugins, 0);
}

// The Bitter Coast add-on names the swamp trees plugin as one of its
// masters (by its released name): given, it lends the add-on the ground
// of its cells without land and the references of the cells both edit.
TEST(RealSamples, TheBitterCoastAddOnWithItsSwampTreesMaster) {
    if (!fs::is_directory(samplesDir)) GTEST_SKIP() << "no sample plugins here";
    e2e::WorkDir work;
    work.writeFile("input.esp", tes4::readFileBytes(samplesDir + "/vality_bc_addon.esp"));
    work.writeFile("Graht Morrowind Swamp Trees.esm", tes4::readFileBytes(samplesDir + "/graht_swamp_trees.esp"));
    e2e::RunResult alone = work.run({"input.esp"});
    ASSERT_EQ(alone.status, 0) << alone.err;
    e2e::RunResult run = work.run({"--master", "Graht Morrowind Swamp Trees.esm", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    // Two more lands, and the master's trees in the cells the add-on edits.
    EXPECT_EQ(e2e::summaryCount(run.out, "Total LAND records"), e2e::summaryCount(alone.out, "Total LAND records") + 2);
    EXPECT_GT(e2e::summaryCount(run.out, "Total Placed objects"), e2e::summaryCount(alone.out, "Total Placed objects"));
    EXPECT_NE(run.err.find("\tLands taken from a master (cells of the plugin without land of their own): 2: Graht "
                           "Morrowind Swamp Trees.esm (2)\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("The plugin names the master Morrowind.esm, which no --master gives"), std::string::npos);
    work.output();
    if (e2e::wryeBashChecker().empty()) return;
    e2e::RunResult judged = e2e::wryeBashRoundTrip(work, {"LANDFER.ESP"});
    EXPECT_EQ(judged.status, 0) << judged.out << judged.err;
}
