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

// A BTXT (no positions) or an ATXT with the positions of its VTXT.
struct Layer {
    std::string type;
    uint32_t formId;
    int quadrant;
    int number;
    std::vector<int> positions;
};

std::vector<Layer> layers(const tes4::Entry& land) {
    std::vector<Layer> out;
    const auto& subs = land.subrecords;
    for (size_t i = 0; i < subs.size(); ++i) {
        if (subs[i].type != "ATXT" && subs[i].type != "BTXT") continue;
        Layer layer{subs[i].type, tes4::u32(subs[i].data, 0), subs[i].data[4], tes4::u16(subs[i].data, 6), {}};
        EXPECT_EQ(subs[i].data[5], 0x79);
        if (layer.type == "ATXT") {
            EXPECT_EQ(subs.at(i + 1).type, "VTXT");
            for (size_t e = 0; e < subs[i + 1].data.size(); e += 8) {
                layer.positions.push_back(tes4::u16(subs[i + 1].data, e));
                EXPECT_EQ(tes4::u32(subs[i + 1].data, e + 4), 0x3F800000u);
            }
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
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              corruptLines +
              "Unable to populate an ltex FormID for tx_moss.tga: Not in my LTEX file!!\n"
              "Not carried over:\n"
              "\tLand textures not in ltex.dat: 1, 256 texture squares unpainted: tx_moss.tga (256)\n"
              "\tWarnings (see the messages above): 2: lfdat/ltex.dat (2)\n");
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
        // One texture: each quadrant's base, without a layer.
        ASSERT_EQ(found.size(), 4u) << land;
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            EXPECT_EQ(found[quadrant].type, "BTXT");
            EXPECT_EQ(found[quadrant].formId, expected[land]);
            EXPECT_EQ(found[quadrant].quadrant, quadrant);
            EXPECT_EQ(found[quadrant].number, 0);
        }
        EXPECT_EQ(cells[4 * land].land->data.size(), 4385u + 4 * 14u);
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
    // Quadrant 1 of the SW quad starts at texture column 4: rock is its one layer over the grass.
    ASSERT_EQ(found.size(), 5u);
    for (size_t i : {0, 1, 3, 4}) {
        EXPECT_EQ(found[i].type, "BTXT");
        EXPECT_EQ(found[i].formId, 0xA1u);
        EXPECT_EQ(found[i].quadrant, i < 2 ? static_cast<int>(i) : static_cast<int>(i) - 1);
    }
    EXPECT_EQ(found[2].type, "ATXT");
    EXPECT_EQ(found[2].quadrant, 1);
    EXPECT_EQ(found[2].formId, 0xB2u);
    EXPECT_EQ(found[2].number, 0);
    std::vector<int> rock;
    for (int r = 0; r <= 4; ++r)
        for (int c = 0; c <= 3; ++c) rock.push_back(17 * r + c);
    EXPECT_EQ(found[2].positions, rock);
}

TEST(LandTextures, LookupFileRules) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("c", 0, "test textures"))  // only in a comment
        .add(tes3::landTexture("s", 1, "tx_short.tga"))     // a line of two commas
        .add(tes3::landTexture("b", 2, "tx_bad.tga"));      // no eight hex digits
    RunResult run;
    convertWithLookup(work, plugin, run);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
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
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(missing.err)),
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
    EXPECT_EQ(e2e::withoutPlaces(run.err), corruptLines +
                                               "Not carried over:\n"
                                               "\tRecords skipped (see the messages above): 1: LTEX x (1)\n"
                                               "\tWarnings (see the messages above): 2: lfdat/ltex.dat (2)\n");
    EXPECT_EQ(e2e::withoutPlaces(run.out), "Landfer is now reading input.esp ... \nCouldn't find LTEX DATA subrec!\nCL" +
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
              "lf_second_missing.dds (100)\n"
              "\tWarnings (see the messages above): 2: lfdat/ltex.dat (2)\n");
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
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "The LTEX record minus is malformed (it has the index -1, which would give it texture number 0, no "
              "texture). Ignoring!\n" +
              corruptLines +
              "The LTEX record after is malformed (it has no index, and the number after the highest so far would "
              "be 0, no texture). Ignoring!\n"
              "Not carried over:\n"
              "\tRecords skipped (see the messages above): 2: LTEX minus (1), LTEX after (1)\n"
              "\tWarnings (see the messages above): 2: lfdat/ltex.dat (2)\n");
    std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
    ASSERT_EQ(cells.size(), 4u);
    for (const landscape::WorldCell& cell : cells) EXPECT_TRUE(layers(*cell.land).empty());
}

namespace {

// Sixteen texture files of the shipped ltex.dat, with their FormIDs.
const std::pair<const char*, uint32_t> shipped[16] = {
    {"Tx_AC_dirt_01.tga", 0x0009C71C},        {"Tx_AC_dirt_grass_01.tga", 0x0009C71D},
    {"Tx_AC_dirt_grass_02.tga", 0x00017845},  {"Tx_AC_dirtroad_01.tga", 0x000008C0},
    {"Tx_AC_scrubplain_01.tga", 0x00115DF1},  {"Tx_AC_scrubplain_02.tga", 0x00150F40},
    {"Tx_AI_clover_02.tga", 0x0001C8BE},      {"Tx_AI_dirt_01.tga", 0x000232DA},
    {"Tx_AI_grass_01.tga", 0x0001C8BA},       {"Tx_AI_mainroad_01.tga", 0x00187C99},
    {"Tx_AI_mudflats_01.tga", 0x0009DA1E},    {"Tx_AI_tilled_dirt_01.tga", 0x00007BF4},
    {"Tx_ashlands_04.tga", 0x00027A26},       {"Tx_ashlands_06.tga", 0x00027A0C},
    {"Tx_ashlands_07.tga", 0x00027A0B},       {"Tx_ashlands_08.tga", 0x00027A0A},
};

uint32_t formIdOf(int number) { return shipped[number - 1].second; }

const tes4::Entry& landAt(const tes4::File& file, int32_t x, int32_t y) {
    for (const landscape::WorldCell& cell : landscape::worldCells(file))
        if (cell.gridX == x && cell.gridY == y && cell.land != nullptr) return *cell.land;
    throw std::runtime_error("no land at that grid");
}

}  // namespace

TEST(LandTextures, AQuadrantHasABaseAndAtMostEightLayers) {
    // The texture grid's first 4 x 4 block is the SW quad's quadrant 0: sixteen textures there.
    // The next is its quadrant 1: texture 1 but for 2 and 3 in one square each. The third is
    // the SE quad's quadrant 0: texture 4 alone. Texture 1 everywhere else.
    tes3::LandOptions options = textures(1);
    for (int square = 0; square < 16; ++square) options.vtex[square] = static_cast<uint16_t>(square + 1);
    options.vtex[16 + 5] = 2;
    options.vtex[16 + 10] = 3;
    for (int square = 32; square < 48; ++square) options.vtex[square] = 4;
    tes3::Plugin plugin;
    for (int i = 0; i < 16; ++i) plugin.add(tes3::landTexture("t" + std::to_string(i), i, shipped[i].first));
    plugin.add(tes3::cell("Painted", 0, 0)).add(tes3::land(0, 0, flat, options));
    WorkDir work;
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);

    std::vector<Layer> sw = layers(landAt(file, 0, 0));
    // Sixteen: square (0, 0) covers the most vertices, 25; the rest of its row and column 20 each,
    // the others 16, of which 6 and 7 are met first.
    ASSERT_GE(sw.size(), 9u);
    EXPECT_EQ(sw[0].type, "BTXT");
    EXPECT_EQ(sw[0].formId, formIdOf(1));
    const int kept[8] = {2, 3, 4, 5, 6, 7, 9, 13};
    for (int layer = 0; layer < 8; ++layer) {
        const Layer& atxt = sw[1 + layer];
        EXPECT_EQ(atxt.type, "ATXT");
        EXPECT_EQ(atxt.quadrant, 0);
        EXPECT_EQ(atxt.number, layer);
        EXPECT_EQ(atxt.formId, formIdOf(kept[layer])) << layer;
        EXPECT_EQ(atxt.positions.size(), kept[layer] == 6 || kept[layer] == 7 ? 16u : 20u) << layer;
    }
    // Three: the base, and the two others as layers 0 and 1 of one square each (4 x 4 vertices).
    ASSERT_EQ(sw.size(), 9u + 3u + 1u + 1u);
    EXPECT_EQ(sw[9].type, "BTXT");
    EXPECT_EQ(sw[9].quadrant, 1);
    EXPECT_EQ(sw[9].formId, formIdOf(1));
    for (int layer = 0; layer < 2; ++layer) {
        EXPECT_EQ(sw[10 + layer].formId, formIdOf(2 + layer));
        EXPECT_EQ(sw[10 + layer].number, layer);
        EXPECT_EQ(sw[10 + layer].positions.size(), 16u);
    }
    for (size_t i : {12, 13}) EXPECT_EQ(sw[i].type, "BTXT");
    // One: the SE quad's quadrant 0 has its base and no layer.
    std::vector<Layer> se = layers(landAt(file, 1, 0));
    ASSERT_EQ(se.size(), 4u);
    EXPECT_EQ(se[0].formId, formIdOf(4));
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        EXPECT_EQ(se[quadrant].type, "BTXT");
        EXPECT_EQ(se[quadrant].quadrant, quadrant);
        if (quadrant > 0) {
            EXPECT_EQ(se[quadrant].formId, formIdOf(1));
        }
    }

    EXPECT_NE(run.err.find("\tTexture squares drawn with their quadrant's base (more than eight layers): 7: 000232DA (1), "
                           "00187C99 (1), 0009DA1E (1), 00007BF4 (1), 00027A0C (1), 00027A0B (1), 00027A0A (1)\n"),
              std::string::npos)
        << run.err;
    if (e2e::wryeBashChecker().empty()) GTEST_SKIP() << "no Wrye Bash here (../shared/oracles): the output is not judged";
    RunResult judged = e2e::wryeBashRoundTrip(work, {"LANDFER.ESP"});
    EXPECT_EQ(judged.status, 0) << judged.out << judged.err;
}
