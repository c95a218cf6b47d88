// What NPCs carry beyond the three item files: the base game's potions,
// ingredients, scrolls, gold, levelled lists and lights through misc.dat,
// and the items of the plugin or of a master (--master) mapped by kind,
// each listed in the loss report with what it became.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "npc_test_support.h"
#include "tes3_items.h"

using e2e::RunResult;
using e2e::WorkDir;
using namespace npc_test;

namespace {

const std::string byKindLine =
    "\tInventory entries mapped by kind (an item of the plugin or a master that no lookup line names): ";

// A master defining a weapon, an armour piece, a potion and an item the
// plugin deletes.
tes3::Plugin masterFile() {
    tes3::Plugin master;
    master.add(tes3::weapon("TR_longsword", 1, 100))         // long blade, steel's price
        .add(tes3::armour("TR_cuirass", 1, 40, 120))         // cuirass, heavy (above 27 pounds)
        .add(tes3::potion("TR_potion", 75))                   // restore health
        .add(tes3::weapon("TR_deleted_axe", 7, 10));
    return master;
}

// Converts with these options before input.esp; the status must be 0.
tes4::File convertWith(const WorkDir& work, const tes3::Plugin& plugin, const std::vector<std::string>& options,
                       RunResult& run) {
    work.writeFile("input.esp", plugin.bytes());
    std::vector<std::string> args = options;
    args.push_back("input.esp");
    run = work.run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return work.output();
}

std::string fileText(const WorkDir& work, const std::string& name) {
    Bytes bytes = tes4::readFileBytes(work.path(name));
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ItemsThroughMiscDat, PotionIngredientScrollGoldLevelledListAndTorch) {
    WorkDir work;
    RunResult run;
    tes4::File file = convertOk(work,
                                tes3::Plugin().add(carrying({"p_restore_health_s", "ingred_ash_yam_01", "sc_firebite",
                                                             "Gold_001", "random gold", "l_m_wpn_melee_axe",
                                                             "torch_infinite_time", "p_fortify_willpower_q"})),
                                run);
    // PotionRestoreHealth, Potato, a fire scroll, Gold001, LL1LootGold100,
    // the levelled war axes, Torch02 and the strong willpower potion.
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)),
              (std::vector<uint32_t>{0x00098496, 0x0003368C, 0x000888BE, 0x0F, 0x00014931, 0x0003ABC3, 0x0002CF9F,
                                     0x00056E57}));
    EXPECT_EQ(run.err.find("Inventory entries"), std::string::npos) << run.err;
}

// The base game's levelled lists become Oblivion's levelled lists of the
// same kind, a list of one ingredient that ingredient; the plain paper
// (spelt with a space in the game, with an underscore by some plugins) a
// blank sheet.
TEST(ItemsThroughMiscDat, TheBaseGamesLevelledListsPaperAndSalts) {
    WorkDir work;
    RunResult run;
    tes4::File file = convertOk(work,
                                tes3::Plugin().add(carrying({"random_iron_weapon", "Sc_Paper_Plain", "sc_paper plain",
                                                             "L_N_Soul Gem", "random_scroll_all", "l_b_rings",
                                                             "random_bonemeal", "ingred_ash_salts_01"})),
                                run);
    // LL0LootWeapon1Iron100, BlankSheet twice, LL0LootSoulGemsEmpty100,
    // LL2LootScroll100, LL0LootRing100, Bonemeal, VampireDust.
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)),
              (std::vector<uint32_t>{0x0002686F, 0x000CAA9A, 0x000CAA9A, 0x0003E4ED, 0x0008C250, 0x0008359B,
                                     0x0001EBFF, 0x00009182}));
    EXPECT_EQ(run.err.find("Inventory entries"), std::string::npos) << run.err;
}

// Morrowind's ids are case-insensitive: every spelling finds the line.
TEST(ItemsThroughMiscDat, IdsMatchInAnyLetterCase) {
    WorkDir work;
    tes4::File file = convertOk(
        work, tes3::Plugin().add(carrying({"Potion_Cyro_Whiskey_01", "potion_cyro_whiskey_01",
                                           "POTION_CYRO_WHISKEY_01", "gold_001", "IRON DAGGER"})));
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)),
              (std::vector<uint32_t>{0x00033569, 0x00033569, 0x00033569, 0x0F, 0x00019171}));
}

TEST(ItemsByKind, AMastersWeaponArmourAndPotionWithMaster) {
    WorkDir work;
    work.writeFile("Master.esm", masterFile().bytes());
    // The plugin names its master, as a real one does.
    tes3::Plugin plugin(false);
    plugin.add(tes3::headerRecord("Landfer tests", "", {"Master.esm"}));
    plugin.add(carrying({"tr_longsword", "TR_CUIRASS", "TR_potion"}));
    RunResult run;
    // Without the master the items are unknown.
    tes4::File file = convertWith(work, plugin, {}, run);
    EXPECT_TRUE(inventoryOf(*file.records("NPC_").at(0)).empty());
    EXPECT_NE(run.err.find("Inventory entries dropped (item not in the item lookup files): 3"), std::string::npos);

    file = convertWith(work, plugin, {"--master", "Master.esm", "--report", "losses.csv"}, run);
    // WeapSteelLongsword, SteelCuirass, PotionRestoreHealth.
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)), (std::vector<uint32_t>{0x000229BA, 0x000229A2, 0x00098496}));
    EXPECT_NE(run.err.find(byKindLine + "3: tr_longsword (1) as WeapSteelLongsword 000229BA, TR_CUIRASS (1) as "
                                        "SteelCuirass 000229A2, TR_potion (1) as PotionRestoreHealth 00098496\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(fileText(work, "losses.csv"),
              "kind,identifier,count,became\n"
              "class,,1,default class Commoner 00023C0D\n"
              "mapped by kind,tr_longsword,1,WeapSteelLongsword 000229BA\n"
              "mapped by kind,TR_CUIRASS,1,SteelCuirass 000229A2\n"
              "mapped by kind,TR_potion,1,PotionRestoreHealth 00098496\n");
    EXPECT_NE(run.out.find("\tTotal Inventory Swapped:                3\n"), std::string::npos);
}

// The plugin's own items are known wherever they stand, lookup lines win,
// a deleted record removes its master's item, and kinds without an
// Oblivion counterpart stay dropped.
TEST(ItemsByKind, ThePluginsOwnItemsAfterTheNpcAndLookupLinesFirst) {
    WorkDir work;
    work.writeFile("Master.esm", masterFile().bytes());
    tes3::Record deleted("WEAP");
    deleted.ztext("NAME", "TR_deleted_axe").sub("DELE", tes3::int32s({0}));
    tes3::Plugin plugin;
    plugin.add(carrying({"my_dagger", "my_ring", "Gold_001", "my_pauldron", "my_belt", "TR_deleted_axe",
                         "my_spear", "my_robe"}))
        .add(tes3::weapon("my_dagger", 0, 10, 3))   // short blade of 3 pounds: a dagger, iron
        .add(tes3::clothing("my_ring", 8, 500))     // the dearest rings
        .add(tes3::Record("MISC").ztext("NAME", "gold_001").sub("MCDT", tes3::int32s({0, 1, 0})))
        .add(tes3::armour("my_pauldron", 2, 5, 50))  // no pauldrons in Oblivion
        .add(tes3::clothing("my_belt", 3, 5))
        .add(deleted)
        .add(tes3::weapon("my_spear", 6, 50))
        .add(tes3::clothing("my_robe", 4, 30));
    RunResult run;
    tes4::File file = convertWith(work, plugin, {"--master", "Master.esm"}, run);
    // WeapIronDagger, JewelryRing5Gold6Diamond, Gold001 (misc.dat), MageRobe.
    EXPECT_EQ(inventoryOf(*file.records("NPC_").at(0)),
              (std::vector<uint32_t>{0x00019171, 0x00038024, 0x0F, 0x00064F7F}));
    EXPECT_NE(run.err.find("Inventory entries dropped (item not in the item lookup files): 4: my_pauldron (1), "
                           "my_belt (1), TR_deleted_axe (1), my_spear (1)\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(byKindLine + "3: my_dagger (1) as WeapIronDagger 00019171, my_ring (1) as "
                                        "JewelryRing5Gold6Diamond 00038024, my_robe (1) as MageRobe 00064F7F\n"),
              std::string::npos)
        << run.err;
}

TEST(ItemsByKind, AMasterThatCannotBeReadIsFatalBeforeAnythingIsWritten) {
    WorkDir work;
    work.writeFile("Whole.esm", masterFile().bytes());
    Bytes cut = masterFile().bytes();
    cut.resize(cut.size() - 5);
    work.writeFile("Cut.esm", cut);
    work.writeFile("input.esp", tes3::Plugin().add(carrying({"tr_potion"})).bytes());
    RunResult run = work.run({"--master", "Missing.esm", "input.esp"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "Unable to read the master file Missing.esm: Unable to open Missing.esm for reading: No such file or "
              "directory\n");
    EXPECT_FALSE(work.exists("LANDFER.ESP"));
    run = work.run({"--master", "Whole.esm", "--master", "Cut.esm", "input.esp"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("Unable to read the master file Cut.esm: Unable to read entire marker record", 0), 0u)
        << run.err;
    EXPECT_FALSE(work.exists("LANDFER.ESP"));
}
