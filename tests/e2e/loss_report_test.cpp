// The report of what a run could not carry over, on standard error after
// the summary and as CSV with --report; and the options beyond -v/-V.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_run.h"
#include "run_output.h"
#include "tes3_every_record.h"
#include "tes3_land.h"
#include "tes3_npc.h"

using e2e::RunResult;
using e2e::WorkDir;
using e2e::convertOk;
using tes4::Bytes;

namespace {

int32_t flat(int, int) { return 0; }

tes3::Record npcCarrying(const std::string& id, const char* race, const char* npcClass,
                         const std::vector<std::string>& items) {
    tes3::Record record("NPC_");
    record.ztext("NAME", id).ztext("FNAM", "Name of " + id);
    if (race != nullptr) record.ztext("RNAM", race);
    if (npcClass != nullptr) record.ztext("CNAM", npcClass);
    record.sub("NPDT", tes3::longNpdt(tes3::NpcStats())).sub("FLAG", tes3::npcFlags(0));
    for (const std::string& item : items) record.sub("NPCO", tes3::inventoryEntry(1, item));
    record.sub("AIDT", tes3::aiData(30, 0, 10, 0));
    return record;
}

// A plugin that loses something of every kind.
tes3::Plugin losingPlugin() {
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("lf_dirt", 0, "Tx_AC_dirt_01.tga"))  // number 1, in ltex.dat
        .add(tes3::landTexture("lf_moss", 1, "lf_mod_moss.dds"))      // number 2, not
        .add(tes3::landTexture("lf_unused", 2, "lf_unused.dds"));     // number 3, not, and never painted
    std::vector<std::string> once;
    for (int i = 1; i <= 10; ++i) once.push_back("lf_once_" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    plugin.add(npcCarrying("lf_npc", "Nord", "lf_odd_class",
                           {"chitin dagger", "lf_often", "lf_twice", once[0], once[1], once[2], once[3], once[4]}));
    plugin.add(npcCarrying("lf_drow", "man_drow", "Warrior",
                           {"lf_often", "lf_twice", once[5], once[6], once[7], once[8], once[9]}));
    plugin.add(npcCarrying("lf_ghost", "Dremora", nullptr, {"lf_often", "lf_odd, \"quoted\""}));

    tes3::Record marsh = tes3::cell("Marsh", 0, 0);
    marsh.raw(tes3::placedReference(1, "flora_tree", 100.0f, 100.0f));
    marsh.raw(tes3::placedReference(2, "lf_base_guard", 200.0f, 100.0f));
    marsh.raw(tes3::placedReference(3, "flora_tree", 300.0f, 100.0f));
    marsh.raw(tes3::placedReference(4, "lf_npc", 400.0f, 100.0f));
    tes3::LandOptions options;
    options.vtex.assign(256, 1);
    for (int i = 0; i < 100; ++i) options.vtex[i] = 2;
    for (int i = 100; i < 150; ++i) options.vtex[i] = 0;  // the default ground: no loss
    for (int i = 150; i < 156; ++i) options.vtex[i] = 9;  // no land texture record
    plugin.add(marsh).add(tes3::land(0, 0, flat, options));

    plugin.add(tes3::topic("lf_journal", 4))
        .add(tes3::response("lf_info", "Begun.", 10))
        .add(tes3::response("lf_info", "Begun again.", 20).sub("QSTR", Bytes{1}));
    return plugin;
}

const std::string expectedReport =
    "Not carried over:\n"
    "\tInventory entries dropped (item not in the item lookup files): 16: lf_often (3), lf_twice (2), "
    "lf_once_01 (1), lf_once_02 (1), lf_once_03 (1), lf_once_04 (1), lf_once_05 (1), lf_once_06 (1), "
    "lf_once_07 (1), lf_once_08 (1), and 3 more\n"
    "\tNPCs given the default class (class not in classes.dat): 2: lf_odd_class (1), (none) (1)\n"
    "\tNPCs made Imperial (race not in the race table): 2: man_drow (1), Dremora (1)\n"
    "\tLand textures not in ltex.dat: 3, 106 texture squares unpainted: lf_mod_moss.dds (100), "
    "texture number 9 without LTEX (6), lf_unused.dds (0)\n"
    "\tPlaced references dropped (no NPC, stand-in or model for the base): 3: flora_tree (2), lf_base_guard (1)\n"
    "\tJournal restarts dropped (the stages are kept): 1: lf_journal (1)\n"
    "\tWarnings (see the messages above): 2: NPC_ lf_drow (1), NPC_ lf_ghost (1)\n";

}  // namespace

TEST(LossReport, EveryKindOfLossAfterTheMessagesAndInTheCsv) {
    WorkDir work;
    losingPlugin().save(work.path("input.esp"));
    RunResult run = work.run({"--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "Unable to populate an ltex FormID for lf_mod_moss.dds: Not in my LTEX file!!\n"
              "Unable to populate an ltex FormID for lf_unused.dds: Not in my LTEX file!!\n"
              "The race man_drow of the NPC lf_drow is not in the race table: the race becomes Imperial. No face "
              "data for race man_drow in lfdat/man_drowMale.dat; using lfdat/ImperialMale.dat\n"
              "The race Dremora of the NPC lf_ghost is not in the race table: the race becomes Imperial. No face "
              "data for race Dremora in lfdat/DremoraMale.dat; using lfdat/ImperialMale.dat\n" +
                  expectedReport);
    // The summary is whole on standard output; the placed NPC made it.
    EXPECT_NE(run.out.find("\tTotal Placed NPCs:                      1\n"
                           "\tTotal Placed objects:                   0\n"
                           "\tTotal Doors linked:                     0\n"
                           "\tTotal Items placed:                     0\n"
                           "\tTotal Inventory Swapped:                1\n"),
              std::string::npos)
        << run.out;

    std::vector<uint8_t> csv = tes4::readFileBytes(work.path("losses.csv"));
    std::string expectedCsv =
        "kind,identifier,count,became\n"
        "inventory item,lf_often,3,dropped\n"
        "inventory item,lf_twice,2,dropped\n";
    for (int i = 1; i <= 10; ++i)
        expectedCsv += "inventory item,lf_once_" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ",1,dropped\n";
    expectedCsv +=
        "inventory item,\"lf_odd, \"\"quoted\"\"\",1,dropped\n"
        "class,lf_odd_class,1,default class Commoner 00023C0D\n"
        "class,,1,default class Commoner 00023C0D\n"
        "race,man_drow,1,Imperial 00000907\n"
        "race,Dremora,1,Imperial 00000907\n"
        "land texture,lf_mod_moss.dds,100,unpainted\n"
        "land texture,texture number 9 without LTEX,6,unpainted\n"
        "land texture,lf_unused.dds,0,unpainted\n"
        "placed reference,flora_tree,2,dropped\n"
        "placed reference,lf_base_guard,1,dropped\n"
        "journal restart,lf_journal,1,ordinary stage\n"
        // The messages, with where in the input their records are.
        "warning,NPC_ lf_drow,1,The race man_drow of the NPC lf_drow is not in the race table: the race becomes "
        "Imperial. No face data for race man_drow in lfdat/man_drowMale.dat; using lfdat/ImperialMale.dat (record "
        "at byte 1100 of input.esp)\n"
        "warning,NPC_ lf_ghost,1,The race Dremora of the NPC lf_ghost is not in the race table: the race becomes "
        "Imperial. No face data for race Dremora in lfdat/DremoraMale.dat; using lfdat/ImperialMale.dat (record at "
        "byte 1589 of input.esp)\n";
    EXPECT_EQ(std::string(csv.begin(), csv.end()), expectedCsv);

    // The restarted entry is still a stage.
    tes4::File file = work.output();
    auto quests = file.records("QUST");
    ASSERT_EQ(quests.size(), 1u);
    int stages = 0;
    for (const auto& sub : quests[0]->subrecords) stages += sub.type == "INDX";
    EXPECT_EQ(stages, 2);

    // Without --report the report on standard error is the same.
    RunResult again = work.run({"input.esp"});
    EXPECT_EQ(e2e::lossReport(again.err), expectedReport);
}

TEST(LossReport, NoLossesNoReportAndAnEmptyCsv) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(tes3::global("lf_counter", 's', 3.0f));
    plugin.add(npcCarrying("lf_smith", "Redguard", "Smith", {"iron dagger", "Gold_001"}));
    plugin.add(tes3::landTexture("lf_dirt", 0, "Tx_AC_dirt_01.tga"));
    tes3::LandOptions options;
    options.vtex.assign(256, 0);
    options.vtex[7] = 1;
    plugin.add(tes3::cell("Quiet", 0, 0)).add(tes3::land(0, 0, flat, options));
    plugin.save(work.path("input.esp"));
    RunResult run = work.run({"input.esp", "--report", "losses.csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(e2e::withoutPlaces(run.err), "");
    std::vector<uint8_t> csv = tes4::readFileBytes(work.path("losses.csv"));
    EXPECT_EQ(std::string(csv.begin(), csv.end()), "kind,identifier,count,became\n");
}

TEST(LossReport, MiscItemsAreOptionalAndSearchedAfterWeapons) {
    WorkDir work;
    auto inventoryOf = [](const tes4::File& file) {
        std::vector<uint32_t> ids;
        for (const auto& sub : file.records("NPC_").at(0)->subrecords)
            if (sub.type == "CNTO") ids.push_back(tes4::u32(sub.data, 0));
        return ids;
    };
    tes3::Plugin plugin;
    plugin.add(npcCarrying("lf_rich", "Imperial", "Warrior", {"Gold_001", "iron dagger", "pick_journeyman_01"}));
    // Gold is Oblivion's gold, the lockpick its lockpick.
    EXPECT_EQ(inventoryOf(convertOk(work, plugin)), (std::vector<uint32_t>{0x0F, 0x19171, 0x0A}));

    // A weapon of the same id wins over the misc entry.
    work.writeFile("lfdat/misc.dat", std::string("iron dagger,a,b,0000000F\nGold_001,a,b,0000000F\n"));
    EXPECT_EQ(inventoryOf(convertOk(work, plugin)), (std::vector<uint32_t>{0x0F, 0x19171}));

    // Without misc.dat the items are lost, without a message of their own.
    std::remove(work.path("lfdat/misc.dat").c_str());
    RunResult run;
    EXPECT_EQ(inventoryOf(convertOk(work, plugin, run)), (std::vector<uint32_t>{0x19171}));
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "Not carried over:\n"
              "\tInventory entries dropped (item not in the item lookup files): 2: Gold_001 (1), "
              "pick_journeyman_01 (1)\n");
}

TEST(CommandLine, HelpListsTheOptions) {
    WorkDir work;
    RunResult help = work.run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(e2e::withoutPlaces(help.err), "");
    EXPECT_EQ(help.out.rfind("Usage: " + e2e::converterName() + " [options] input_filename.esp\n", 0), 0u) << help.out;
    for (const char* option : {"-v, -V", "--report FILE", "--master FILE", "--help"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_FALSE(work.exists("LANDFER.ESP"));
}

TEST(CommandLine, UnknownOptionNamesHelpBeforeTheUsage) {
    WorkDir work;
    RunResult run = work.run({"--frobnicate", "input.esp"});
    EXPECT_EQ(run.status, 1);
    // getopt's own complaint comes first.
    const std::string self = e2e::converterName();
    const std::string ours = "Try " + self + " --help for the list of options.\nUsage: " + self +
                             " [-V] original.esp\n\n\t-V : Display current Version, then exit.\n";
    ASSERT_GE(run.err.size(), ours.size());
    EXPECT_EQ(run.err.substr(run.err.size() - ours.size()), ours);
    EXPECT_EQ(run.err.find('\n'), run.err.size() - ours.size() - 1) << run.err;  // one line before ours

    // --report needs a file name.
    run = work.run({"input.esp", "--report"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(ours), std::string::npos);
    EXPECT_FALSE(work.exists("LANDFER.ESP"));
}

TEST(CommandLine, ReportWithoutInputOrUnwritable) {
    WorkDir work;
    // Options alone name no input: the banner, as with no argument.
    RunResult run = work.run({"--report", "losses.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("\n  -----", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("Usage: " + e2e::converterName() + " input_filename.esp\n\n"), std::string::npos);
    EXPECT_FALSE(work.exists("losses.csv"));

    // A report that cannot be written stops the run before the conversion.
    losingPlugin().save(work.path("input.esp"));
    run = work.run({"--report", "no_such_dir/losses.csv", "input.esp"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "Unable to open no_such_dir/losses.csv for writing: No such file or directory\n");
    EXPECT_EQ(run.out.find("Landfer has finished"), std::string::npos);
    EXPECT_FALSE(work.exists("LANDFER.ESP"));

    // Nor may it overwrite the plugin read or the one written.
    for (const char* path : {"input.esp", "./input.esp", "LANDFER.ESP"}) {
        run = work.run({"--report", path, "input.esp"});
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(e2e::withoutPlaces(run.err), "The report file " + std::string(path) + " would overwrite a plugin; name another file.\n");
    }
    EXPECT_EQ(tes4::readFileBytes(work.path("input.esp")), losingPlugin().bytes());
}
