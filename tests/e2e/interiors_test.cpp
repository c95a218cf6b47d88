// Interior cells: their lighting, water and flags, their blocks and
// sub-blocks, editor IDs unique with the exteriors', the NPCs and objects
// placed in them, and the doors that lead between them and the exterior.
#include <gtest/gtest.h>

#include <cmath>
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
using interiors::InteriorCell;
using tes4::Bytes;

namespace {

const char* const doorStandIns =
    "lf_bush,Bush,00000A01\n"
    "[DOOR]\n"
    "lf_door*,ChorrolLoadDoorMiddle01,0002ACF4\n";

Bytes sub(const char* type, const tes3::Bytes& data) { return tes3::Record("X").sub(type, data).data(); }

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

float dataFloat(const tes4::Entry& record, const char* type, size_t index) {
    return tes4::f32(record.find(type)->data, 4 * index);
}

}  // namespace

TEST(Interiors, LightingWaterAndFlagsOfEachInterior) {
    WorkDir work;
    tes3::Bytes lit = tes3::ambient({10, 20, 30}, {40, 50, 60}, {70, 80, 90}, 0.25f);
    tes3::Plugin plugin;
    // Water, like an exterior, illegal to sleep in, a region and a map colour: the last three are lost.
    plugin.add(tes3::interiorCell("Balmora, Guild of Mages", 0x01 | 0x02 | 0x04 | 0x80,
                                  join({lit, sub("WHGT", tes3::floats({-12.5f})), sub("RGNN", tes3::ztext("Bitter")),
                                        sub("NAM5", {1, 2, 3, 0})})));
    // The old whole-number water height; no fog at all.
    plugin.add(tes3::interiorCell("Old Cellar", 0x03, join({sub("INTV", tes3::int32s({-7})),
                                                                 tes3::ambient({1, 1, 1}, {2, 2, 2}, {3, 3, 3}, 0.0f)})));
    // No water flag: its height is not written; no AMBI: no lighting.
    plugin.add(tes3::interiorCell("Dry Room", 0x01, sub("WHGT", tes3::floats({5.0f}))));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    EXPECT_NE(run.out.find("\tTotal Exterior CELLs:                   0\n\tTotal Interior CELLs:                   3\n"),
              std::string::npos)
        << run.out;

    std::vector<InteriorCell> cells = interiors::interiorCells(file);
    ASSERT_EQ(cells.size(), 3u);
    const InteriorCell* guild = interiors::interiorNamed(cells, std::string("Balmora, Guild of Mages"));
    ASSERT_NE(guild, nullptr);
    EXPECT_EQ(guild->editorId(), "BalmoraGuildofMages");
    EXPECT_EQ(guild->cell->find("DATA")->data, (Bytes{0x83}));
    const tes4::Subrecord* xcll = guild->cell->find("XCLL");
    ASSERT_NE(xcll, nullptr);
    ASSERT_EQ(xcll->data.size(), 36u);
    EXPECT_EQ(Bytes(xcll->data.begin(), xcll->data.begin() + 12), (Bytes{10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0}));
    EXPECT_FLOAT_EQ(tes4::f32(xcll->data, 12), 3072.0f);  // a quarter of the way in from 4096
    EXPECT_FLOAT_EQ(tes4::f32(xcll->data, 16), 4096.0f);
    EXPECT_FLOAT_EQ(tes4::f32(xcll->data, 28), 1.0f);
    EXPECT_FLOAT_EQ(tes4::f32(xcll->data, 32), 4096.0f);
    EXPECT_FLOAT_EQ(tes4::f32(guild->cell->find("XCLW")->data, 0), -12.5f);

    const InteriorCell* cellar = interiors::interiorNamed(cells, "Old Cellar");
    ASSERT_NE(cellar, nullptr);
    EXPECT_EQ(cellar->cell->find("DATA")->data, (Bytes{0x03}));
    EXPECT_FLOAT_EQ(tes4::f32(cellar->cell->find("XCLW")->data, 0), -7.0f);
    EXPECT_FLOAT_EQ(tes4::f32(cellar->cell->find("XCLL")->data, 12), 4096.0f);  // no fog begins where it ends

    const InteriorCell* dry = interiors::interiorNamed(cells, "Dry Room");
    ASSERT_NE(dry, nullptr);
    EXPECT_EQ(dry->cell->find("DATA")->data, (Bytes{0x01}));
    EXPECT_EQ(dry->cell->find("XCLW"), nullptr);
    EXPECT_EQ(dry->cell->find("XCLL"), nullptr);

    std::string report = e2e::lossReport(run.err);
    EXPECT_NE(report.find("Interior cell data Oblivion's CELL cannot carry: 3: region (1), map colour (1), illegal to "
                          "sleep (1)"),
              std::string::npos)
        << report;
}

TEST(Interiors, BlocksAndSubBlocksFollowTheDigitsOfTheFormIds) {
    WorkDir work;
    tes3::Plugin plugin;
    // FormIDs 0x011E8480 on: 2000000, ... in decimal, across endings 9 and 0 and a second ten.
    for (int i = 0; i < 23; ++i) plugin.add(tes3::interiorCell("Room " + std::to_string(i)));
    tes4::File file = e2e::convertOk(work, plugin);
    std::vector<InteriorCell> cells = interiors::interiorCells(file);
    ASSERT_EQ(cells.size(), 23u);
    std::pair<int32_t, int32_t> last{-1, -1};
    for (const InteriorCell& cell : cells) {
        uint32_t number = cell.cell->formId & 0x00FFFFFF;
        EXPECT_EQ(cell.block, static_cast<int32_t>(number % 10)) << std::hex << cell.cell->formId;
        EXPECT_EQ(cell.subBlock, static_cast<int32_t>(number / 10 % 10)) << std::hex << cell.cell->formId;
        EXPECT_LE(last, std::make_pair(cell.block, cell.subBlock));
        last = {cell.block, cell.subBlock};
    }
    // 2000009 is block 9, sub-block 0; 2000010 block 0, sub-block 1.
    EXPECT_EQ(cells.front().block, 0);
    EXPECT_EQ(cells.front().subBlock, 0);
    EXPECT_EQ(cells.back().block, 9);
}

TEST(Interiors, EditorIdsAreUniqueAcrossInteriorsAndExteriors) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::cell("Caldera", 0, 0));
    plugin.add(tes3::interiorCell("Caldera"));
    plugin.add(tes3::interiorCell("caldera!"));
    plugin.add(tes3::interiorCell("Caldera2"));
    plugin.add(tes3::interiorCell("12 Steps"));
    tes4::File file = e2e::convertOk(work, plugin);  // the inspector finds no two editor IDs alike
    std::vector<InteriorCell> cells = interiors::interiorCells(file);
    ASSERT_EQ(cells.size(), 4u);
    std::vector<std::string> ids;
    for (const InteriorCell& cell : cells) ids.push_back(cell.editorId());
    // The exterior's quads claim "Caldera SW" and so on, not "Caldera" itself.
    EXPECT_EQ(ids, (std::vector<std::string>{"Caldera", "caldera2", "Caldera22", "MW12Steps"}));
}

TEST(Interiors, NpcsStandPersistentAndThousandsOfObjectsTemporary) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(doorStandIns));
    tes3::Record hall = tes3::interiorCell("Great Hall");
    hall.raw(tes3::placedReference("Guard", 10, 20, 30));
    const int objects = 3000;
    for (int i = 0; i < objects; ++i) hall.raw(tes3::placedReference("lf_bush", static_cast<float>(i), -5, 0));
    hall.raw(tes3::placedReference("lf_unknown", 0, 0, 0));
    RunResult run;
    tes4::File file = e2e::convertOk(work, tes3::Plugin().add(npc_test::npc("Guard")).add(hall), run);
    std::vector<InteriorCell> cells = interiors::interiorCells(file);
    ASSERT_EQ(cells.size(), 1u);
    ASSERT_EQ(cells[0].persistent.size(), 1u);
    EXPECT_EQ(cells[0].persistent[0]->type, "ACHR");
    EXPECT_EQ(cells[0].persistent[0]->flags, 0x400u);
    EXPECT_EQ(tes4::u32(cells[0].persistent[0]->find("NAME")->data, 0), file.records("NPC_")[0]->formId);
    ASSERT_EQ(cells[0].temporary.size(), static_cast<size_t>(objects));
    for (const tes4::Entry* refr : cells[0].temporary) {
        EXPECT_EQ(refr->type, "REFR");
        EXPECT_EQ(refr->flags, 0u);
        EXPECT_EQ(tes4::u32(refr->find("NAME")->data, 0), 0x00000A01u);
    }
    EXPECT_FLOAT_EQ(dataFloat(*cells[0].temporary.back(), "DATA", 0), objects - 1.0f);
    EXPECT_TRUE(landscape::worldCells(file).empty());  // nothing of it in the world
    EXPECT_NE(e2e::lossReport(run.err).find("lf_unknown (1)"), std::string::npos);
}

namespace {

// The door of a cell at (x, y, z) whose XTEL holds this target and arrival.
void expectTeleport(const tes4::Entry* door, uint32_t target, float x, float y, float z) {
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->flags, 0x400u);
    const tes4::Subrecord* xtel = door->find("XTEL");
    ASSERT_NE(xtel, nullptr) << std::hex << door->formId;
    ASSERT_EQ(xtel->data.size(), 28u);
    EXPECT_EQ(tes4::u32(xtel->data, 0), target) << std::hex << door->formId;
    EXPECT_EQ(tes4::f32(xtel->data, 4), x);
    EXPECT_EQ(tes4::f32(xtel->data, 8), y);
    EXPECT_EQ(tes4::f32(xtel->data, 12), z);
    EXPECT_EQ(tes4::f32(xtel->data, 24), 1.5f);  // the arrival's z rotation
}

// Doors between the exterior and two interiors, several into one, one-way
// doors and one into a cell the plugin lacks.
tes3::Plugin doorPlugin(const std::string& door) {
    tes3::Record shore = tes3::cell("Shore", 0, 0);
    shore.raw(tes3::placedReference(door, 1000, 1000, 0, tes3::destination(0, -100, 0, 1.5f, "Hut")));
    tes3::Record hut = tes3::interiorCell("Hut");
    hut.raw(tes3::placedReference(door, 0, -150, 0, tes3::destination(1000, 900, 0, 1.5f)));
    tes3::Record hall = tes3::interiorCell("Hall");
    hall.raw(tes3::placedReference(door, 0, 0, 0, tes3::destination(500, 0, 0, 1.5f, "Cellar")));
    tes3::Record cellar = tes3::interiorCell("Cellar");
    cellar.raw(tes3::placedReference(door, 3000, 0, 0, tes3::destination(20, 0, 0, 1.5f, "hall")))  // the farther
        .raw(tes3::placedReference(door, 520, 0, 0, tes3::destination(10, 0, 0, 1.5f, "Hall")))     // the nearest
        .raw(tes3::placedReference(door, 100, 100, 0, tes3::destination(5, 5, 5, 1.5f, "Attic")))   // one way
        .raw(tes3::placedReference("lf_bush", 7, 7, 0, tes3::destination(1, 1, 1, 1.5f, "Hall")));  // no door
    tes3::Record attic = tes3::interiorCell("Attic");
    attic.raw(tes3::placedReference(door, 9, 9, 0, tes3::destination(1, 2, 3, 1.5f, "Vivec, Nowhere")));
    return tes3::Plugin().add(shore).add(hut).add(hall).add(cellar).add(attic);
}

}  // namespace

TEST(Doors, LinkedPairsTheNearestOfSeveralMarkersAndDoorsLeadingOut) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(doorStandIns));
    RunResult run;
    tes4::File file = e2e::convertOk(work, doorPlugin("lf_door_01"), run);
    EXPECT_NE(run.out.find("\tTotal Placed objects:                   8\n\tTotal Doors linked:                     6\n"),
              std::string::npos)
        << run.out;
    std::vector<InteriorCell> cells = interiors::interiorCells(file);
    ASSERT_EQ(cells.size(), 4u);
    const InteriorCell& hut = *interiors::interiorNamed(cells, "Hut");
    const InteriorCell& hall = *interiors::interiorNamed(cells, "Hall");
    const InteriorCell& cellar = *interiors::interiorNamed(cells, "Cellar");
    const InteriorCell& attic = *interiors::interiorNamed(cells, "Attic");

    // Exterior and interior: the exterior door stands in the world's persistent cell.
    const tes4::Entry* outside = interiors::placedAt(landscape::persistentReferences(file), 1000, 1000);
    const tes4::Entry* inside = interiors::placedAt(hut.persistent, 0, -150);
    ASSERT_NE(outside, nullptr);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(tes4::u32(outside->find("NAME")->data, 0), 0x0002ACF4u);
    expectTeleport(outside, inside->formId, 0, -100, 0);
    expectTeleport(inside, outside->formId, 1000, 900, 0);

    // Interior to interior: the hall's door and the nearest of the cellar's two leading back.
    const tes4::Entry* hallDoor = interiors::placedAt(hall.persistent, 0, 0);
    const tes4::Entry* nearest = interiors::placedAt(cellar.persistent, 520, 0);
    expectTeleport(hallDoor, nearest->formId, 500, 0, 0);
    expectTeleport(nearest, hallDoor->formId, 10, 0, 0);
    // The farther has no door left to lead back: a marker in the hall, where it arrives.
    const tes4::Entry* farther = interiors::placedAt(cellar.persistent, 3000, 0);
    const tes4::Entry* hallMarker = interiors::placedAt(hall.persistent, 20, 0);
    ASSERT_NE(hallMarker, nullptr);
    EXPECT_EQ(tes4::u32(hallMarker->find("NAME")->data, 0), 0x00000034u);
    EXPECT_EQ(hallMarker->flags, 0x400u);
    expectTeleport(farther, hallMarker->formId, 20, 0, 0);
    // One way into the attic, whose only door leads out of the plugin.
    const tes4::Entry* atticMarker = interiors::placedAt(attic.persistent, 5, 5);
    expectTeleport(interiors::placedAt(cellar.persistent, 100, 100), atticMarker->formId, 5, 5, 5);
    const tes4::Entry* leadingOut = interiors::placedAt(attic.persistent, 9, 9);
    ASSERT_NE(leadingOut, nullptr);
    EXPECT_EQ(leadingOut->find("XTEL"), nullptr);
    EXPECT_EQ(leadingOut->flags, 0x400u);
    // A bush is no door: it stands, temporary, and its destination is lost.
    ASSERT_EQ(cellar.temporary.size(), 1u);
    EXPECT_EQ(cellar.temporary[0]->find("XTEL"), nullptr);

    std::string report = e2e::lossReport(run.err);
    EXPECT_NE(report.find("Doors linked to a marker: 2: Cellar to hall (1), Cellar to Attic (1)"), std::string::npos)
        << report;
    EXPECT_NE(report.find("Doors leading out of the plugin: 1: Attic to Vivec, Nowhere (1)"), std::string::npos)
        << report;
    EXPECT_NE(report.find("teleport (1)"), std::string::npos) << report;
    if (e2e::wryeBashChecker().empty()) return;  // no Wrye Bash beside the checkout
    RunResult judged = e2e::wryeBashRoundTrip(work, {"LANDFER.ESP"});
    EXPECT_EQ(judged.status, 0) << judged.out << judged.err;
}

TEST(Doors, WithModelsAMorrowindDoorBecomesAnOblivionDoor) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(doorStandIns));
    tes3::Record door("DOOR");
    door.ztext("NAME", "lf_door_oak").ztext("MODL", "d\\oak.nif").ztext("FNAM", "Oak Door");
    tes3::Plugin plugin = doorPlugin("lf_door_oak");
    plugin.add(door);
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run, {"--models", "mw"});
    auto doors = file.records("DOOR");
    ASSERT_EQ(doors.size(), 1u);
    EXPECT_EQ(npc_test::textOf(doors[0]->find("EDID")), "lfdooroak");
    EXPECT_EQ(doors[0]->find("FULL")->data, tes3::ztext("Oak Door"));
    EXPECT_EQ(doors[0]->find("MODL")->data, tes3::ztext("mw\\d\\oak.nif"));
    EXPECT_EQ(doors[0]->find("FNAM")->data, (Bytes{0}));
    std::vector<InteriorCell> cells = interiors::interiorCells(file);
    const InteriorCell& hut = *interiors::interiorNamed(cells, "Hut");
    const tes4::Entry* inside = interiors::placedAt(hut.persistent, 0, -150);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(tes4::u32(inside->find("NAME")->data, 0), doors[0]->formId);
    const tes4::Entry* outside = interiors::placedAt(landscape::persistentReferences(file), 1000, 1000);
    expectTeleport(inside, outside->formId, 1000, 900, 0);
    EXPECT_EQ(run.err.find("lost function"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Objects placed as statics"), std::string::npos) << run.err;
}

TEST(Doors, APluginsOwnDoorTakesTheDoorForAnyDoorAndKeepsItsTeleport) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(doorStandIns) + "*,LoadDoorLower01,0001C715\n");
    // The plugin's own door, which no line names; and an id that is no door of the plugin.
    tes3::Plugin plugin = doorPlugin("lf_gate");
    plugin.add(tes3::Record("DOOR").ztext("NAME", "lf_gate").ztext("MODL", "d\\gate.nif"));
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    std::vector<InteriorCell> cells = interiors::interiorCells(file);
    const tes4::Entry* inside = interiors::placedAt(interiors::interiorNamed(cells, "Hut")->persistent, 0, -150);
    const tes4::Entry* outside = interiors::placedAt(landscape::persistentReferences(file), 1000, 1000);
    ASSERT_NE(inside, nullptr);
    ASSERT_NE(outside, nullptr);
    EXPECT_EQ(tes4::u32(outside->find("NAME")->data, 0), 0x0001C715u);
    expectTeleport(outside, inside->formId, 0, -100, 0);
    expectTeleport(inside, outside->formId, 1000, 900, 0);
    EXPECT_NE(e2e::lossReport(run.err).find("no stand-in or model of their own; they keep their teleport): 7: lf_gate (7)"),
              std::string::npos)
        << run.err;

    // A base no record of the plugin or a master makes a door stays out, as before.
    tes4::File unknown = e2e::convertOk(work, doorPlugin("lf_unknown"), run);
    EXPECT_TRUE(landscape::persistentReferences(unknown).empty());
}

TEST(Doors, ALockedDoorKeepsItsLockWithItsKeyOrWithout) {
    WorkDir work;
    work.writeFile("lfdat/objects.dat", std::string(doorStandIns));
    work.writeFile("lfdat/misc.dat", support::fileText(work.path("lfdat/misc.dat")) +
                                         "lf_key_known,Known key,CheydinhalChapelKey,000034EA\n");
    auto locked = [](int32_t level, const char* key, const tes3::Bytes& destination) {
        return join({sub("FLTV", tes3::int32s({level})), sub("KNAM", tes3::ztext(key)), destination});
    };
    tes3::Record shore = tes3::cell("Shore", 0, 0);
    shore.raw(tes3::placedReference("lf_door_01", 1000, 1000, 0,
                                    locked(30, "lf_key_known", tes3::destination(0, -100, 0, 1.5f, "Hut"))));
    tes3::Record hut = tes3::interiorCell("Hut");
    hut.raw(tes3::placedReference("lf_door_01", 0, -150, 0,
                                  locked(100, "lf_key_unknown", tes3::destination(1000, 900, 0, 1.5f))));
    tes3::Plugin plugin;
    plugin.add(tes3::simpleItem("MISC", "lf_key_known", "MCDT", 1)).add(tes3::simpleItem("MISC", "lf_key_unknown", "MCDT", 1));
    plugin.add(shore).add(hut);
    RunResult run;
    tes4::File file = e2e::convertOk(work, plugin, run);
    const tes4::Entry* outside = interiors::placedAt(landscape::persistentReferences(file), 1000, 1000);
    const tes4::Entry* inside =
        interiors::placedAt(interiors::interiorNamed(interiors::interiorCells(file), "Hut")->persistent, 0, -150);
    ASSERT_NE(outside, nullptr);
    ASSERT_NE(inside, nullptr);
    ASSERT_NE(outside->find("XLOC"), nullptr);
    ASSERT_NE(inside->find("XLOC"), nullptr);
    EXPECT_EQ(outside->find("XLOC")->data, (Bytes{30, 0, 0, 0, 0xEA, 0x34, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(inside->find("XLOC")->data, (Bytes{99, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));  // no key of the output
    expectTeleport(outside, inside->formId, 0, -100, 0);
    EXPECT_NE(e2e::lossReport(run.err).find("(the lock is kept): 1: lf_key_unknown (1)"), std::string::npos) << run.err;
}
