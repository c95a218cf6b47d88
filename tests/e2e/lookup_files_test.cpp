// The lookup files as users edit them (a byte order mark, a corrupt line),
// and identifiers in the report that would break its lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "landscape_support.h"
#include "npc_test_support.h"
#include "tes3_land.h"
#include "test_helpers.h"

using e2e::RunResult;
using e2e::WorkDir;
using support::contains;
using namespace npc_test;

namespace {

const std::string byteOrderMark = "\xEF\xBB\xBF";

tes3::Record carrying(const std::string& id, const std::string& npcClass, const std::vector<std::string>& items) {
    tes3::Record record("NPC_");
    record.ztext("NAME", id).ztext("RNAM", "Imperial").ztext("CNAM", npcClass);
    for (const std::string& item : items) record.sub("NPCO", tes3::inventoryEntry(1, item));
    record.sub("AIDT", tes3::aiData(0, 0, 0, 0));
    return record;
}

// A land painted with lf_texture.dds (LTEX 0) under `cell`, and an NPC of
// `npcClass` carrying `item`: what the class, item and ltex files are read for.
tes3::Plugin paintedLandAndNpc(const std::string& npcClass, const std::string& item,
                               const tes3::Record& cell = tes3::cell("", 0, 0)) {
    tes3::LandOptions painted;
    painted.vtex.assign(256, 1);
    tes3::Plugin plugin;
    plugin.add(tes3::landTexture("t", 0, "lf_texture.dds"))
        .add(carrying("lf_npc", npcClass, {item}))
        .add(cell)
        .add(tes3::land(0, 0, [](int, int) { return 0; }, painted));
    return plugin;
}

}  // namespace

TEST(LookupFiles, AByteOrderMarkAtTheStartIsSkipped) {
    WorkDir work;
    work.writeFile("lfdat/classes.dat", byteOrderMark + "lf_class,00023787\n");
    work.writeFile("lfdat/armour.dat", byteOrderMark + "lf_item,a,b,00000001\n");
    work.writeFile("lfdat/ltex.dat", byteOrderMark + "a,b,lf_texture.dds,000000A1\r\n");
    tes3::Plugin plugin = paintedLandAndNpc("lf_class", "lf_item");
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "");  // every first line found: no message, no loss
    const tes4::Entry& npc = *file.records("NPC_").at(0);
    EXPECT_EQ(tes4::u32(npc.find("CNAM")->data, 0), 0x23787u);
    ASSERT_NE(npc.find("CNTO"), nullptr);
    EXPECT_EQ(tes4::u32(npc.find("CNTO")->data, 0), 1u);
    const tes4::Entry& land = *landscape::worldCells(file).at(0).land;
    ASSERT_NE(land.find("BTXT"), nullptr);  // one texture: the base of every quadrant
    EXPECT_EQ(tes4::u32(land.find("BTXT")->data, 0), 0xA1u);
}

TEST(LookupFiles, ACorruptLineIsReportedOnceWhateverTheNumberOfRecords) {
    WorkDir work;
    work.writeFile("lfdat/classes.dat", "no comma line\nlf_class,00023787\n");
    work.writeFile("lfdat/armour.dat", "lf_item,only two,00000001\nlf_item,a,b,00000002\n");
    tes3::Plugin plugin;
    for (int i = 0; i < 50; ++i) plugin.add(carrying("lf_npc" + std::to_string(i), "lf_class", {"lf_item"}));
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "Ignoring a corrupt line in lfdat/armour.dat: lf_item,only two,00000001\n"
              "Found a corrupt line in lfdat/classes.dat. Should be 2 fields, commar delimited. Ignoring. Line was: "
              "no comma line\n\n"
              "Not carried over:\n"
              "\tWarnings (see the messages above): 2: lfdat/armour.dat (1), lfdat/classes.dat (1)\n");
    ASSERT_EQ(file.records("NPC_").size(), 50u);
    for (const tes4::Entry* npc : file.records("NPC_")) {
        ASSERT_NE(npc->find("CNTO"), nullptr);
        EXPECT_EQ(tes4::u32(npc->find("CNTO")->data, 0), 2u);
    }
}

TEST(LookupFiles, LineEndsInIdentifiersAreEscapedInTheReport) {
    WorkDir work;
    work.writeFile("lfdat/classes.dat", "lf_class,00023787\n");
    RunResult run;
    convertOk(work, tes3::Plugin().add(carrying("lf_npc", "lf_class", {"lf_two\nlines", "lf_cr\rend", "lf_tab\tx"})),
              &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "Not carried over:\n"
              "\tInventory entries dropped (item not in the item lookup files): 3: lf_two\\nlines (1), "
              "lf_cr\\rend (1), lf_tab\\tx (1)\n");
    run = work.run({"--report", "losses.csv", "input.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    const tes4::Bytes csv = tes4::readFileBytes(work.path("losses.csv"));
    EXPECT_EQ(std::string(csv.begin(), csv.end()),
              "kind,identifier,count,became\n"
              "inventory item,\"lf_two\nlines\",1,dropped\n"
              "inventory item,\"lf_cr\rend\",1,dropped\n"
              "inventory item,lf_tab\tx,1,dropped\n");
}

TEST(LookupFiles, FormIdsNoOblivionRecordCanHaveAreCorruptLines) {
    // No record has the FormID 0, Oblivion.esm has none with a master
    // byte, and a FormID is the line's last field: each such line is
    // reported and the next good line for the id taken.
    const std::vector<std::string> impossible = {"00000000", "01000001", "FFFFFFFF", "00000001 and more",
                                                 "000000010", "00000001,5"};
    std::string items, classes, textures;
    for (const std::string& formId : impossible) {
        items += "lf_item,a,b," + formId + "\n";
        classes += "lf_class," + formId + "\n";
        textures += "a,b,lf_texture.dds," + formId + "\n";
    }
    WorkDir work;
    work.writeFile("lfdat/armour.dat", items + "lf_item,a,b,00000002 \n");
    work.writeFile("lfdat/classes.dat", classes + "lf_class,00023787\r\n");
    work.writeFile("lfdat/ltex.dat", textures + "a,b,lf_texture.dds,000000A1\n");
    tes3::Plugin plugin = paintedLandAndNpc("lf_class", "lf_item");
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    const std::string messages = e2e::withoutPlaces(run.err);
    for (const std::string& formId : impossible) {
        EXPECT_TRUE(contains(messages, "Ignoring a corrupt line in lfdat/armour.dat: lf_item,a,b," + formId + "\n"))
            << formId;
        EXPECT_TRUE(contains(messages, "Line was: lf_class," + formId + "\n")) << formId;
        EXPECT_TRUE(contains(messages, "Ignoring a corrupt line in lfdat/ltex.dat: a,b,lf_texture.dds," + formId + "\n"))
            << formId;
    }
    const tes4::Entry& npc = *file.records("NPC_").at(0);
    EXPECT_EQ(tes4::u32(npc.find("CNAM")->data, 0), 0x23787u);
    EXPECT_EQ(tes4::u32(npc.find("CNTO")->data, 0), 2u);
    EXPECT_EQ(tes4::u32(landscape::worldCells(file).at(0).land->find("BTXT")->data, 0), 0xA1u);
}

TEST(LookupFiles, AFolderInPlaceOfALookupFileIsNoEmptyFile) {
    // Whatever needs the file: an NPC with an item none of the first three
    // files holds (then misc.dat is read), a placed object, a painted land.
    tes3::Record cell = tes3::cell("", 0, 0);
    cell.raw(tes3::placedReference("lf_rock", 100, 100, 0));
    const tes3::Plugin plugin = paintedLandAndNpc("Acrobat", "lf_nowhere", cell);
    const struct {
        const char* file;
        int status;
        const char* message;  // up to the system's reason, which differs on Windows
    } cases[] = {
        {"armour.dat", 1, "Unable to open inventory lookup data file lfdat/armour.dat: "},
        {"weapons.dat", 1, "Unable to open inventory lookup data file lfdat/weapons.dat: "},
        {"classes.dat", 1, "Unable to open Classes lookup file (lfdat/classes.dat): "},
        {"misc.dat", 0, "Unable to open inventory lookup data file lfdat/misc.dat: "},
        {"objects.dat", 0, "Unable to open the stand-in lookup file (lfdat/objects.dat): "},
        {"ltex.dat", 0, "Unable to open the LTEX texture lookup file (lfdat/ltex.dat): "},
    };
    for (const auto& folder : cases) {
        WorkDir work;
        std::filesystem::remove(work.path(std::string("lfdat/") + folder.file));
        std::filesystem::create_directory(work.path(std::string("lfdat/") + folder.file));
        RunResult run = work.convert(plugin);
        EXPECT_EQ(run.status, folder.status) << folder.file << "\n" << run.err;
        EXPECT_TRUE(contains(e2e::withoutPlaces(run.err), folder.message)) << folder.file << "\n" << run.err;
    }
}
