// The pure builders: a quad's LAND record data and an NPC's record data,
// from their inputs alone, read back subrecord by subrecord.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actors/npc_builder.h"
#include "landscape/land_conversion.h"
#include "record_subrecords.h"
#include "tes4_reader.h"
#include "written_subrecords.h"

using namespace landfer;
using Bytes = std::vector<uint8_t>;

namespace {

using support::Sub;
using support::subrecords;

// A land whose normals hold their own position, flat at height offset 0.
struct TestLand {
    Bytes normals = Bytes(65 * 65 * 3);
    Bytes heights = Bytes(4 + 65 * 65 + 3, 0);
    Bytes textures = Bytes(512, 0);
    TestLand() {
        for (size_t i = 0; i < normals.size(); ++i) normals[i] = static_cast<uint8_t>(i / 3 % 65);
        for (size_t square = 0; square < 256; ++square) textures[2 * square] = 1;  // texture number 1 everywhere
        heights[4] = 10;  // the first vertex is 10 above the offset, so is every other (deltas 0)
    }
    LandInput input(bool withTextures) const {
        LandInput land;
        land.normals = normals.data();
        land.heights = heights.data();
        land.textures = withTextures ? textures.data() : nullptr;
        return land;
    }
};

Bytes quadData(const LandTextureTable& textures, const LandInput& input, Quad quad) {
    return writtenSubrecords([&](RecordWriter& record) { writeQuadData(textures, input, quad, record); });
}

}  // namespace

TEST(QuadBuilder, TheSouthEastQuadTakesItsWindowAndHeights) {
    TestLand land;
    std::vector<Sub> subs = subrecords(quadData(LandTextureTable(), land.input(false), Quad::SE));
    ASSERT_EQ(subs.size(), 3u);  // no colours, no textures
    EXPECT_EQ(subs[0].type, "DATA");
    EXPECT_EQ(subs[0].data, (Bytes{0x1F, 0, 0, 0}));
    EXPECT_EQ(subs[1].type, "VNML");
    ASSERT_EQ(subs[1].data.size(), 33u * 33u * 3u);
    // Column 32 to 64 of rows 0 to 32: each element holds its column.
    for (int row = 0; row < 33; ++row)
        for (int column = 0; column < 33; ++column)
            ASSERT_EQ(subs[1].data[static_cast<size_t>(3 * (33 * row + column))], 32 + column) << row << "," << column;
    EXPECT_EQ(subs[2].type, "VHGT");
    ASSERT_EQ(subs[2].data.size(), 1096u);
    // The offset is the height below the SE quad's first vertex (the
    // land's own offset, 0); that vertex keeps its delta of 10 and every
    // other vertex, as high, a delta of 0.
    EXPECT_FLOAT_EQ(tes4::f32(subs[2].data, 0), 0.0f);
    EXPECT_EQ(subs[2].data[4], 10);
    for (size_t i = 5; i < 4 + 33 * 33; ++i) ASSERT_EQ(subs[2].data[i], 0) << i;
}

TEST(QuadBuilder, OneTextureEverywhereIsEachQuadrantsBaseWithoutALayer) {
    TestLand land;
    std::vector<Sub> subs = subrecords(quadData(LandTextureTable{{1, 0x00012345}}, land.input(true), Quad::NE));
    ASSERT_EQ(subs.size(), 3u + 4u);
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const Sub& btxt = subs[static_cast<size_t>(3 + quadrant)];
        EXPECT_EQ(btxt.type, "BTXT");
        EXPECT_EQ(btxt.data, (Bytes{0x45, 0x23, 0x01, 0x00, static_cast<uint8_t>(quadrant), 0x79, 0, 0}));
    }
    // A texture without a FormID paints nothing.
    EXPECT_EQ(subrecords(quadData(LandTextureTable{{1, 0}}, land.input(true), Quad::NE)).size(), 3u);
}

TEST(NpcBuilder, TheRecordCarriesWhatTheLookupsChose) {
    MorrowindNpc npc;
    npc.editorId = "fm_guard";
    npc.fullName = "Guard";
    npc.female = true;
    npc.essential = true;
    npc.level = 7;
    npc.hasAi = true;
    npc.flee = 30;
    npc.hello = 40;
    npc.alarm = 50;
    npc.health = 120;
    npc.skills[1] = 55;  // Morrowind's Armorer: Oblivion's first skill
    NpcChoices choices;
    choices.editorId = "fm_guard";
    choices.race = findRace("Argonian");
    choices.classFormId = 0x000237A8;
    choices.inventory = {{0x0002C0F3, 2}, {0x00000F, 100}};
    std::vector<Sub> subs =
        subrecords(writtenSubrecords([&](RecordWriter& record) { writeNpcData(npc, choices, record); }));
    std::string order;
    for (const Sub& sub : subs) order += sub.type + " ";
    EXPECT_EQ(order, "EDID FULL MODL MODB ACBS RNAM CNTO CNTO AIDT CNAM DATA ");
    ASSERT_EQ(subs.size(), 11u);
    EXPECT_EQ(std::string(subs[0].data.begin(), subs[0].data.end()), std::string("fm_guard", 9));
    EXPECT_EQ(std::string(subs[2].data.begin(), subs[2].data.end() - 1), "Characters\\_Male\\SkeletonBeast.nif");
    EXPECT_EQ(tes4::u32(subs[4].data, 0), 0x00100000u | 0x01u | 0x02u);  // female, essential
    EXPECT_EQ(tes4::u16(subs[4].data, 10), 7u);  // level
    EXPECT_EQ(tes4::u32(subs[5].data, 0), 0x00023FE9u);  // the Argonian race
    EXPECT_EQ(subs[6].data, (Bytes{0xF3, 0xC0, 0x02, 0x00, 2, 0, 0, 0}));
    EXPECT_EQ(tes4::u32(subs[7].data, 4), 100u);
    EXPECT_EQ(subs[8].data, (Bytes{5, 70, 40, 50, 0, 0, 0, 0, 0, 0, 0, 0}));  // aggression, confidence, energy, responsibility
    EXPECT_EQ(tes4::u32(subs[9].data, 0), 0x000237A8u);
    ASSERT_EQ(subs[10].data.size(), 21u + 4u + 8u);
    EXPECT_EQ(subs[10].data[0], 55);
    EXPECT_EQ(tes4::u32(subs[10].data, 21), 120u);  // health
}
