// Land textures: numbered by LTEX index, looked up in ltex.dat, painted as layers.
#include <gtest/gtest.h>

#include <string>

#include "e2e_run.h"
#include "run_output.h"
#include "landscape_support.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::WorkDir;
using tes4::Bytes;

namespace {

int32_t flat(int, int) { return 0; }

const char* const lookupFile =
    "# test textures\r\n"
    "grass,Grass,tx_grass.tga,000000A1\r\n"
    "rock,Rock,tx_rock.tga,000000b2\n"
    "sand,Sand,Tx_Sand.tga,000000C3\n"
    "sand,Sand,tx_sand.tga,000000C4\n"
    "dup,Dup,tx_rock.tga,000000FF\n"
    "short,tx_short.tga,000000D5\n"
    "bad,Bad,tx_bad.tga,0000XYZ1\n";

// The two lines of the lookup file that hold no entry, reported when it is read.
const std::string corruptLines =
    "Ignoring a corrupt line in lfdat/ltex.dat: short,tx_short.tga,000000D5\n"
    "Ignoring a corrupt line in lfdat/ltex.dat: bad,Bad,tx_bad.tga,0000XYZ1\n";

tes3::LandOptions textures(uint16_t fill) {
    tes3::LandOptions options;
    options.vtex.assign(256, fill);
    return options;
}

struct Layer {
    uint32_t formId;
    int quadrant;
    int number;
    std::vector<int> positions;
};

std::vector<Layer> layers(const tes4::Entry& land) {
    std::vector<Layer> out;
    const auto& subs = land.subrecords;
    for (size_t i = 0; i + 1 < subs.size(); ++i) {
        if (subs[i].type != "ATXT") continue;
        EXPECT_EQ(subs[i + 1].type, "VTXT");
        Layer layer{tes4::u32(subs[i].data, 0), subs[i].data[4], tes4::u16(subs[i].data, 6), {}};
        EXPECT_EQ(subs[i].data[5], 0x79);
        for (size_t e = 0; e < subs[i + 1].data.size(); e += 8) {
            layer.positions.push_back(tes4::u16(subs[i + 1].data, e));
            EXPECT_EQ(tes4::u32(subs[i + 1].data, e + 4), 0x3F800000u);
        }
        out.push_back(layer);
    }
    return out;
}

tes4::File convertWithLookup(const WorkDir& work, const tes3::Plugin& plugin, RunResult& run) {
    work.writeFile("lfdat/ltex.dat", std::string(lookupFile));
    run = work.convert(plugin);
    EXPECT_EQ(run.status, 0) << run.err;
    return work.output();
}

}  // namespace

TEST(LandTextures, NumbersFollowTheIndexAndUnknownTexturesKeepTheirPlace) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("g", 0, "tx_grass.tga"))
        .add(tes3::landTexture("m", 1, "tx_moss.tga"))  // not in the lookup file
        .add(tes3::landTexture("r", 2, "tx_rock.tga"));
    tes3::Record noIndex("LTEX");  // takes the number after the highest: 4
    noIndex.ztext("NAME", "s").ztext("DATA", "TX_SAND.TGA");
    plugin.add(noIndex);
    for (int i = 0; i < 5; ++i) plugin.add(tes3::cell("", i, 0)).add(tes3::land(i, 0, flat, textures(i)));
    RunResult run;
    tes4::File file = convertWithLookup(work, plugin, run);
    EXPECT_EQ(run.err,
              corruptLines +
              "Unable to populate an ltex FormID for tx_moss.tga: Not in my LTEX file!!\n"
              "Not carried over:\n"
              "\tLand textures not in ltex.dat: 1, 256 texture squares unpainted: tx_moss.tga (256)\n");
    std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 20u);
    // Number 0 is no texture; 1 grass; 2 the unknown moss; 3 rock (first line wins); 4 sand in other case.
    const uint32_t expected[5] = {0, 0xA1, 0, 0xB2, 0xC3};
    for (int land = 0; land < 5; ++land) {
        std::vector<Layer> found = layers(*cells[4 * land].land);
        if (expected[land] == 0) {
            EXPECT_TRUE(found.empty()) << land;
            EXPECT_EQ(cells[4 * land].land->data.size(), 4385u);
            continue;
        }
        ASSERT_EQ(found.size(), 4u) << land;
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            EXPECT_EQ(found[quadrant].formId, expected[land]);
            EXPECT_EQ(found[quadrant].quadrant, quadrant);
            EXPECT_EQ(found[quadrant].number, 0);
            ASSERT_EQ(found[quadrant].positions.size(), 289u);
            for (int p = 0; p < 289; ++p) EXPECT_EQ(found[quadrant].positions[p], p);
        }
        EXPECT_EQ(cells[4 * land].land->data.size(), 4385u + 4 * 2332u);
    }
}

TEST(LandTextures, BlocksAreUnscrambledAndLayersOrderedByFirstAppearance) {
    WorkDir work;
    tes3::LandOptions options = textures(1);  // grass everywhere
    options.vtex[16] = 3;  // block 1, first square: texture grid row 0, column 4 -> rock
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("g", 0, "tx_grass.tga")).add(tes3::landTexture("r", 2, "tx_rock.tga"));
    plugin.add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, flat, options));
    RunResult run;
    tes4::File file = convertWithLookup(work, plugin, run);
    std::vector<Layer> found = layers(*landscape::worldCells(file)[0].land);
    // Quadrant 1 of the SW quad starts at texture column 4: rock comes first there.
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0].quadrant, 0);
    EXPECT_EQ(found[1].quadrant, 1);
    EXPECT_EQ(found[1].formId, 0xB2u);
    EXPECT_EQ(found[1].number, 0);
    std::vector<int> rock;
    for (int r = 0; r <= 4; ++r)
        for (int c = 0; c <= 3; ++c) rock.push_back(17 * r + c);
    EXPECT_EQ(found[1].positions, rock);
    EXPECT_EQ(found[2].formId, 0xA1u);
    EXPECT_EQ(found[2].number, 1);
    EXPECT_EQ(found[2].positions.size(), 289u - rock.size());
}

TEST(LandTextures, LookupFileRules) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("c", 0, "test textures"))  // only in a comment
        .add(tes3::landTexture("s", 1, "tx_short.tga"))     // a line of two commas
        .add(tes3::landTexture("b", 2, "tx_bad.tga"));      // no eight hex digits
    RunResult run;
    convertWithLookup(work, plugin, run);
    EXPECT_EQ(e2e::withoutLossReport(run.err),
              corruptLines +
              "Unable to populate an ltex FormID for test textures: Not in my LTEX file!!\n"
              "Unable to populate an ltex FormID for tx_short.tga: Not in my LTEX file!!\n"
              "Unable to populate an ltex FormID for tx_bad.tga: Not in my LTEX file!!\n");

    // A missing lookup file is reported once, not once per land texture.
    std::remove(work.path("lfdat/ltex.dat").c_str());
    RunResult missing = work.convert(tes3::Plugin()
                                         .add(tes3::landTexture("g", 0, "tx_grass.tga"))
                                         .add(tes3::landTexture("r", 1, "tx_rock.tga"))
                                         .add(tes3::cell("", 0, 0))
                                         .add(tes3::land(0, 0, flat, textures(1))));
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(e2e::withoutLossReport(missing.err),
              "Unable to open the LTEX texture lookup file (lfdat/ltex.dat): No such file or directory\n"
              "Unable to populate an ltex FormID for tx_grass.tga: Not in my LTEX file!!\n"
              "Unable to populate an ltex FormID for tx_rock.tga: Not in my LTEX file!!\n");
}

TEST(LandTextures, DeletedOrFilelessRecordsAreSkippedAndTheRunGoesOn) {
    WorkDir work;
    tes3::Record deleted("LTEX");  // as plugins store a deleted land texture
    deleted.sub("DELE", tes3::int32s({0})).ztext("NAME", "old").sub("INTV", tes3::int32s({0}));
    tes3::Record noData("LTEX");
    noData.ztext("NAME", "x").sub("INTV", tes3::int32s({1}));
    tes3::Plugin plugin;
    plugin.add(deleted).add(noData).add(tes3::landTexture("r", 2, "tx_rock.tga"));
    plugin.add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, flat, textures(3)));
    RunResult run;
    tes4::File file = convertWithLookup(work, plugin, run);
    EXPECT_EQ(run.err, corruptLines);
    EXPECT_EQ(run.out, "Landfer is now reading input.esp ... \nCouldn't find LTEX DATA subrec!\nCL" +
                           run.out.substr(run.out.find("\n\nLandfer has finished")));
    std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 4u);
    for (const landscape::WorldCell& cell : cells) {
        std::vector<Layer> found = layers(*cell.land);
        ASSERT_EQ(found.size(), 4u);
        for (const Layer& layer : found) EXPECT_EQ(layer.formId, 0xB2u);
    }
}

TEST(LandTextures, ANumberDefinedTwiceCountsItsSquaresForTheFileItHadThen) {
    WorkDir work;
    tes3::LandOptions some = textures(0);
    for (int i = 0; i < 100; ++i) some.vtex[i] = 1;
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("a", 0, "lf_first_missing.dds"))
        .add(tes3::cell("", 0, 0))
        .add(tes3::land(0, 0, flat, textures(1)))
        .add(tes3::landTexture("b", 0, "tx_grass.tga"))
        .add(tes3::cell("", 1, 0))
        .add(tes3::land(1, 0, flat, textures(1)))
        .add(tes3::landTexture("c", 0, "lf_second_missing.dds"))
        .add(tes3::cell("", 2, 0))
        .add(tes3::land(2, 0, flat, some));
    RunResult run;
    tes4::File file = convertWithLookup(work, plugin, run);
    EXPECT_EQ(e2e::lossReport(run.err),
              "Not carried over:\n"
              "\tLand textures not in ltex.dat: 2, 356 texture squares unpainted: lf_first_missing.dds (256), "
              "lf_second_missing.dds (100)\n");
    std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 12u);
    EXPECT_TRUE(layers(*cells[0].land).empty());
    EXPECT_EQ(layers(*cells[4].land).at(0).formId, 0xA1u);
}

TEST(LandTextures, NumberZeroNeverGetsATexture) {
    // An index of -1 maps to number 0; so does the number after 0xFFFFFFFF
    // (index 0xFFFFFFFE) for an LTEX without an index. Both are reported and
    // ignored: the unpainted land stays unpainted.
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("minus", -1, "tx_grass.tga"))
        .add(tes3::landTexture("last", -2, "tx_rock.tga"));
    tes3::Record noIndex("LTEX");
    noIndex.ztext("NAME", "after").ztext("DATA", "tx_sand.tga");
    plugin.add(noIndex).add(tes3::cell("", 0, 0)).add(tes3::land(0, 0, flat, textures(0)));
    RunResult run;
    tes4::File file = convertWithLookup(work, plugin, run);
    EXPECT_EQ(run.err,
              "The LTEX record minus is malformed (it has the index -1, which would give it texture number 0, no "
              "texture). Ignoring!\n" +
              corruptLines +
              "The LTEX record after is malformed (it has no index, and the number after the highest so far would "
              "be 0, no texture). Ignoring!\n");
    std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 4u);
    for (const landscape::WorldCell& cell : cells) EXPECT_TRUE(layers(*cell.land).empty());
}
