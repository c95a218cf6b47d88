// The inventory and class lookups, with lookup files written by the tests.
#include <gtest/gtest.h>

#include <string>

#include "npc_test_support.h"

using e2e::RunResult;
using e2e::WorkDir;
using namespace npc_test;

namespace {

tes3::Record ofClass(const char* id, const char* npcClass) {
    tes3::Record record("NPC_");
    record.ztext("NAME", id).ztext("RNAM", "Imperial");
    if (npcClass != nullptr) record.ztext("CNAM", npcClass);
    record.sub("AIDT", tes3::aiData(0, 0, 0, 0));
    return record;
}

const std::string corruptClassLine = "Found a corrupt line in lfdat/classes.dat. Should be 2 fields, commar delimited. "
                                     "Ignoring. Line was: ";

}  // namespace

TEST(InventoryLookup, FileOrderFirstLineWholeIdsInAnyCaseAndHexCase) {
    WorkDir work;
    work.writeFile("lfdat/armour.dat",
                   "shared_id,a,b,00000001\nshared_id,a,b,00000002\nlower_hex,a,b,0001c6d1\nUPPER_HEX,a,b,0001C6D1\n");
    // Lines without a comma hold no entry and do not end the search.
    work.writeFile("lfdat/clothing.dat", "\nabove_blank,a,b,00000010\n\nbelow_blank,a,b,00000011\nno comma\n"
                                         "after_text,a,b,00000012\n");
    work.writeFile("lfdat/weapons.dat", "shared_id,a,b,00000003\nweapon_only,a,b,00000004\nprefix_id_long,a,b,00000005\n");
    tes3::Record record = carrying({"shared_id", "lower_hex", "UPPER_HEX", "above_blank", "below_blank",
                                    "after_text", "weapon_only", "Shared_ID", "prefix_id", "prefix_id_long_er"});
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(record), &run);
    // Ids match whole, in any letter case (Shared_ID is shared_id); only the
    // ids no file holds are lost.
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "Not carried over:\n"
              "\tInventory entries dropped (item not in the item lookup files): 2: prefix_id (1), "
              "prefix_id_long_er (1)\n"
              "\tNPCs given the default class (class not in classes.dat): 1: (none) (1)\n");
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)),
              (std::vector<uint32_t>{1, 0x1C6D1, 0x1C6D1, 0x10, 0x11, 0x12, 4, 1}));
    EXPECT_NE(run.out.find("\tTotal Inventory Swapped:                8\n"), std::string::npos);
}

TEST(InventoryLookup, LaterFilesAreOpenedOnlyWhenNeeded) {
    WorkDir work;
    work.writeFile("lfdat/armour.dat", "in_armour,a,b,00000001\n");
    std::remove(work.path("lfdat/weapons.dat").c_str());
    RunResult run = work.convert(tes3::Plugin().add(carrying({"in_armour"})));
    EXPECT_EQ(run.status, 0) << run.err;
    run = work.convert(tes3::Plugin().add(carrying({"in_armour", "nowhere"})));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "Unable to open inventory lookup data file lfdat/weapons.dat: No such file or directory!\n");

    std::remove(work.path("lfdat/armour.dat").c_str());
    run = work.convert(tes3::Plugin().add(npc("empty-handed")).add(carrying({"anything"})));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "Unable to open inventory lookup data file lfdat/armour.dat: No such file or directory!\n");
}

TEST(InventoryLookup, CorruptMatchingLinesAreReportedAndPassedOver) {
    WorkDir work;
    work.writeFile("lfdat/armour.dat",
                   "other,not an entry\nbad_commas,only two,00000001\nbad_commas,a,b,00000007\n"
                   "bad_digits,a,b,12G45678\nbad_digits,a,b,1234\r\n");
    work.writeFile("lfdat/clothing.dat", "bad_digits,a,b,00000008\n");
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(carrying({"bad_commas", "bad_digits"})), &run);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "Ignoring a corrupt line in lfdat/armour.dat: bad_commas,only two,00000001\n"
              "Ignoring a corrupt line in lfdat/armour.dat: bad_digits,a,b,12G45678\n"
              "Ignoring a corrupt line in lfdat/armour.dat: bad_digits,a,b,1234\n");
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)), (std::vector<uint32_t>{7, 8}));
}

TEST(InventoryLookup, LongLinesAreReadWhole) {
    WorkDir work;
    // Read in 511-character pieces, this line's tail would pass for an entry of its own.
    std::string longField = std::string(511, 'p') + "tail_id,a,b,00000009\n";
    std::string longRest = "long_rest,a," + std::string(2000, 'z') + ",0000000A\n";
    work.writeFile("lfdat/armour.dat", longField + longRest + "after_long,a,b,0000000B\n");
    tes4::File file = convertOk(work, tes3::Plugin().add(carrying({"tail_id", "long_rest", "after_long"})));
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)), (std::vector<uint32_t>{0xA, 0xB}));
}

TEST(ClassLookup, MatchesInAnyCaseAndIgnoresMalformedLines) {
    WorkDir work;
    work.writeFile("lfdat/classes.dat",
                   "Warrior,00023787\nWarrior,00000001\nLower,00023c0d\n,00000832\nCrlf,000237A8\r\nno comma line\n"
                   "Short,0002378\nShort,0002378C\nLast,00023792");
    tes3::Plugin plugin;
    plugin.add(ofClass("a", "Warrior")).add(ofClass("b", "Lower")).add(ofClass("c", nullptr));
    plugin.add(ofClass("d", "Crlf")).add(ofClass("e", "Short")).add(ofClass("f", "Last")).add(ofClass("g", "WARRIOR"));
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    std::vector<uint32_t> classes;
    for (const tes4::Entry* record : file.records("NPC_")) classes.push_back(tes4::u32(record->find("CNAM")->data, 0));
    // WARRIOR is Warrior: Morrowind's ids are case-insensitive.
    EXPECT_EQ(classes, (std::vector<uint32_t>{0x23787, 0x23C0D, 0x832, 0x237A8, 0x2378C, 0x23792, 0x23787}));
    // Each corrupt line is reported once, by the first lookup that reads up to it.
    std::string twoReports = corruptClassLine + "no comma line\n\n" + corruptClassLine + "Short,0002378\n\n";
    // A class mapped to the default class's FormID on purpose is no loss.
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              twoReports + "Not carried over:\n\tWarnings (see the messages above): 2: lfdat/classes.dat (2)\n");

    std::remove(work.path("lfdat/classes.dat").c_str());
    run = work.convert(tes3::Plugin().add(npc("someone")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "Unable to open Classes lookup file (lfdat/classes.dat): No such file or directory\n");
}

TEST(ClassLookup, UnknownClassGetsCommoner) {
    WorkDir work;
    tes4::File file = convertOk(work, tes3::Plugin().add(ofClass("odd", "lf_no_such_class")));
    EXPECT_EQ(file.records("NPC_").at(0)->find("CNAM")->data, (Bytes{0x0D, 0x3C, 0x02, 0x00}));
}
