// NPC_ records converted and read back: the record layout, statistics, AI,
// flags, races and their face data, and the NPC group.
#include <gtest/gtest.h>

#include <string>

#include "npc_test_support.h"

using e2e::RunResult;
using e2e::WorkDir;
using namespace npc_test;

TEST(NpcConversion, LongFormRecordCarriesStatisticsAiClassAndFaceData) {
    WorkDir work;
    tes3::NpcStats stats;
    stats.level = 300;  // two bytes
    for (int i = 0; i < 8; ++i) stats.attributes[i] = static_cast<int8_t>(30 + i);
    for (int i = 0; i < 27; ++i) stats.skills[i] = static_cast<int8_t>(i + 1);
    stats.skills[5] = 40;   // Long Blade
    stats.skills[22] = 60;  // Short Blade: the larger gives Blade
    stats.skills[4] = 30;   // Blunt Weapon: the larger gives Blunt
    stats.skills[6] = 20;   // Axe
    stats.health = 0x1234;
    stats.spellPoints = 0x0203;
    stats.fatigue = 0x0405;
    tes3::Record record("NPC_");
    record.ztext("NAME", "lf_guard").ztext("MODL", "base_anim.nif").ztext("FNAM", "Guard").ztext("RNAM", "Nord");
    record.ztext("CNAM", "Knight").ztext("ANAM", "Fighters Guild").ztext("BNAM", "head").ztext("KNAM", "hair");
    record.ztext("SCRI", "lf_script").sub("NPDT", tes3::longNpdt(stats)).sub("FLAG", tes3::npcFlags(0x02));
    record.sub("NPCS", tes3::ztext("fireball")).sub("AIDT", tes3::aiData(40, 90, 30, 0));
    record.ztext("DODT", "not read");

    tes4::File file = convertOk(work, tes3::Plugin().add(record));
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 1u);
    const tes4::Entry& out = *npcs[0];
    EXPECT_TRUE(out.compressed());
    EXPECT_EQ(out.formId, 0x011E8480u);
    std::vector<std::string> types;
    for (const auto& sub : out.subrecords) types.push_back(sub.type);
    EXPECT_EQ(types, (std::vector<std::string>{"EDID", "FULL", "MODL", "MODB", "ACBS", "RNAM", "AIDT", "CNAM",
                                               "DATA", "HNAM", "LNAM", "ENAM", "HCLR", "FGGS", "FGGA", "FGTS"}));
    EXPECT_EQ(textOf(out.find("EDID")), "lf_guard");
    EXPECT_EQ(textOf(out.find("FULL")), "Guard");
    EXPECT_EQ(textOf(out.find("MODL")), "Characters\\_Male\\skeleton.nif");
    EXPECT_EQ(out.find("MODL")->data.size(), 30u);
    EXPECT_EQ(out.find("MODB")->data, Bytes(4, 0));
    EXPECT_EQ(out.find("ACBS")->data,
              (Bytes{0x02, 0, 0x10, 0, 0x03, 0x02, 0x05, 0x04, 50, 0, 0x2C, 0x01, 1, 1, 1, 1}));
    EXPECT_EQ(tes4::u32(out.find("RNAM")->data, 0), 0x000224FDu);
    // Flee 30 gives confidence 70, hello 40 energy 40, alarm 0 responsibility 0; fight is not carried.
    EXPECT_EQ(out.find("AIDT")->data, (Bytes{5, 70, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(tes4::u32(out.find("CNAM")->data, 0), 0x00000836u);  // Knight
    Bytes skills = {2, 9, 60, 1, 30, 27, 4, 17, 12, 14, 11, 13, 15, 16, 21, 22, 24, 25, 19, 20, 26};
    Bytes data = out.find("DATA")->data;
    ASSERT_EQ(data.size(), 33u);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 21), skills);
    EXPECT_EQ(tes4::u32(data, 21), 0x1234u);
    EXPECT_EQ(Bytes(data.begin() + 25, data.end()), (Bytes{30, 31, 32, 33, 34, 35, 36, 37}));
    // The face data is the Nord male file, unchanged, at the end of the record.
    Bytes face = tes4::readFileBytes(work.path("lfdat/NordMale.dat"));
    ASSERT_GE(out.data.size(), face.size());
    EXPECT_EQ(Bytes(out.data.end() - face.size(), out.data.end()), face);
}

TEST(NpcConversion, PlayerRecordIsCountedButNotWritten) {
    WorkDir work;
    tes3::Record player("NPC_");
    player.ztext("NAME", "player").ztext("FNAM", "Player").ztext("RNAM", "Unknown race");  // no AIDT: no message
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(player).add(npc("Player")).add(npc("second")), &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "");
    EXPECT_NE(run.out.find("\tTotal NPC_ records:                     3\n"), std::string::npos);
    ASSERT_EQ(file.groups.size(), 1u);
    const tes4::Entry& group = file.groups[0];
    EXPECT_EQ(group.labelText(), "NPC_");
    // One group for both NPCs; the reader checks that its size covers exactly them.
    ASSERT_EQ(group.children.size(), 2u);
    EXPECT_EQ(textOf(group.children[0].find("EDID")), "Player");  // other letter case: an ordinary NPC
    EXPECT_EQ(group.children[0].formId, 0x011E8480u);
    EXPECT_EQ(group.children[1].formId, 0x011E8481u);
}

TEST(NpcConversion, ShortFormNpdtIsAutoCalculatedWithLevelOnly) {
    WorkDir work;
    tes3::Record record("NPC_");
    record.ztext("NAME", "auto").ztext("RNAM", "Breton").sub("NPDT", tes3::shortNpdt(7)).sub("FLAG", tes3::npcFlags(0));
    record.sub("AIDT", tes3::aiData(0, 0, 0, 0));
    tes4::File file = convertOk(work, tes3::Plugin().add(record));
    const tes4::Entry& out = *file.records("NPC_").at(0);
    EXPECT_EQ(out.find("ACBS")->data, (Bytes{0x10, 0, 0x10, 0, 0, 0, 0, 0, 50, 0, 7, 0, 1, 1, 1, 1}));
    EXPECT_EQ(out.find("DATA")->data, Bytes(33, 0));
    EXPECT_EQ(out.find("FULL")->data, Bytes{0});  // written although empty
}

TEST(NpcConversion, MissingAidtOrWalkStoppedByAStraySubrecord) {
    WorkDir work;
    tes3::Record noAi("NPC_");
    noAi.ztext("NAME", "idle").ztext("FNAM", "Idle Ida").ztext("RNAM", "Orc").sub("FLAG", tes3::npcFlags(0));
    tes3::Record stray("NPC_");
    stray.ztext("NAME", "stray").ztext("FNAM", "Stray").ztext("RNAM", "Orc").sub("FLAG", tes3::npcFlags(0)).ztext("XXXX", "?");
    stray.sub("NPCO", tes3::inventoryEntry(1, "iron_cuirass")).sub("AIDT", tes3::aiData(50, 0, 50, 50));
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(noAi).add(stray), &run);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "For the NPC called Idle Ida I didn't find AIDT!!\nFor the NPC called Stray I didn't find AIDT!!\n");
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 2u);
    for (const tes4::Entry* out : npcs) {
        EXPECT_EQ(out->find("AIDT")->data, Bytes(12, 0));  // aggression and confidence 0 too
        EXPECT_EQ(out->find("CNTO"), nullptr);
    }
    EXPECT_NE(run.out.find("\tTotal Inventory Swapped:                0\n"), std::string::npos);
}

TEST(NpcConversion, FlagsSexRespawnEssentialAndNolore) {
    WorkDir work;
    markFaceFiles(work);
    tes3::Record female = npc("female", "Imperial", 0x01 | 0x04 | 0x02 | 0x08);
    tes3::Record nolore("NPC_");
    nolore.ztext("NAME", "nolore").ztext("SCRI", "nolore").sub("AIDT", tes3::aiData(0, 0, 0, 0));
    tes3::Record scripted("NPC_");
    scripted.ztext("NAME", "Scripted").ztext("SCRI", "NoLore").sub("AIDT", tes3::aiData(0, 0, 0, 0));
    // The same id in another letter case is the same NPC in Morrowind: left out, reported.
    tes3::Record otherCase("NPC_");
    otherCase.ztext("NAME", "NoLore").sub("AIDT", tes3::aiData(0, 0, 0, 0));
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(female).add(nolore).add(scripted).add(otherCase), &run);
    EXPECT_NE(e2e::withoutPlaces(run.err).find("The NPC_ record NoLore repeats an NPC of this plugin (ids are the same in any letter case). "
                           "Ignoring!\n"),
              std::string::npos);
    EXPECT_NE(run.err.find("\tNPCs left out (an earlier NPC of the plugin has the same id): 1: NoLore (1)\n"),
              std::string::npos);
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 3u);
    EXPECT_EQ(tes4::u32(npcs[0]->find("ACBS")->data, 0), 0x00100000u | 0x01 | 0x02 | 0x08);
    EXPECT_EQ(faceOf(*npcs[0]), "ImperialFemale.dat");
    EXPECT_EQ(tes4::u32(npcs[1]->find("ACBS")->data, 0), 0x00102000u);
    EXPECT_EQ(tes4::u32(npcs[2]->find("ACBS")->data, 0), 0x00100000u);
}

TEST(NpcConversion, RaceTableGivesRaceSkeletonAndFaceFile) {
    struct Case {
        const char* race;
        uint32_t formId;
        bool beast;
        const char* maleFace;
    };
    const Case cases[] = {
        {"Argonian", 0x00023FE9, true, "ArgonianMale.dat"}, {"Breton", 0x000224FC, false, "BretonMale.dat"},
        {"Dark Elf", 0x000191C1, false, "DarkElfMale.dat"}, {"High Elf", 0x00019204, false, "HighElfMale.dat"},
        {"Imperial", 0x00000907, false, "ImperialMale.dat"}, {"Khajit", 0x000223C7, true, "KhajitMale.dat"},
        {"Khajiit", 0x000223C7, true, "KhajitMale.dat"},     {"Nord", 0x000224FD, false, "NordMale.dat"},
        {"Orc", 0x000191C0, false, "OrcMale.dat"},           {"Redguard", 0x00000D43, false, "RedguardMale.dat"},
        {"Wood Elf", 0x000223C8, false, "WoodElfMale.dat"},
    };
    WorkDir work;
    markFaceFiles(work);
    tes3::Plugin plugin;
    for (const Case& c : cases) plugin.add(npc(std::string("m_") + c.race, c.race, 0));
    plugin.add(npc("f_dark", "Dark Elf", 0x01)).add(npc("f_khajiit", "Khajiit", 0x01));
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "");
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), std::size(cases) + 2);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].race);
        EXPECT_EQ(tes4::u32(npcs[i]->find("RNAM")->data, 0), cases[i].formId);
        EXPECT_EQ(textOf(npcs[i]->find("MODL")),
                  cases[i].beast ? "Characters\\_Male\\SkeletonBeast.nif" : "Characters\\_Male\\skeleton.nif");
        EXPECT_EQ(npcs[i]->find("MODL")->data.size(), cases[i].beast ? 35u : 30u);
        EXPECT_EQ(faceOf(*npcs[i]), cases[i].maleFace);
    }
    EXPECT_EQ(faceOf(*npcs[std::size(cases)]), "DarkElfFemale.dat");
    EXPECT_EQ(faceOf(*npcs[std::size(cases) + 1]), "KhajitFemale.dat");
}

TEST(NpcConversion, RaceOutsideTheTableUsesItsOwnFaceFileOrTheImperialOne) {
    WorkDir work;
    markFaceFiles(work);
    work.writeFile("lfdat/man_drowFemale.dat", faceMarker("own drow file"));
    tes3::Record noRace("NPC_");
    noRace.ztext("NAME", "noRace").sub("AIDT", tes3::aiData(0, 0, 0, 0));
    tes3::Plugin plugin;
    plugin.add(npc("drow", "man_drow", 0x01)).add(npc("siren", "man_IceSiren", 0x01)).add(noRace);
    plugin.add(npc("sneaky", "../lfdat/Nord", 0));  // a race id never leads out of lfdat
    RunResult run;
    tes4::File file = convertOk(work, plugin, &run);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "The race man_drow of the NPC drow is not in the race table: the race becomes Imperial, with the face "
              "data of lfdat/man_drowFemale.dat\n"
              "The race man_IceSiren of the NPC siren is not in the race table: the race becomes Imperial. No face "
              "data for race man_IceSiren in lfdat/man_IceSirenFemale.dat; using lfdat/ImperialFemale.dat\n"
              "The race  of the NPC noRace is not in the race table: the race becomes Imperial. No face data for "
              "race  in lfdat/Male.dat; using lfdat/ImperialMale.dat\n"
              "The race ../lfdat/Nord of the NPC sneaky is not in the race table: the race becomes Imperial. No face "
              "data for race ../lfdat/Nord in lfdat/../lfdat/NordMale.dat; using lfdat/ImperialMale.dat\n");
    EXPECT_NE(e2e::lossReport(run.err).find(
                  "\tNPCs made Imperial (race not in the race table): 4: man_drow (1), man_IceSiren (1), (none) (1), "
                  "../lfdat/Nord (1)\n"),
              std::string::npos)
        << run.err;
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 4u);
    EXPECT_EQ(faceOf(*npcs[0]), "own drow file");
    EXPECT_EQ(faceOf(*npcs[1]), "ImperialFemale.dat");
    EXPECT_EQ(faceOf(*npcs[2]), "ImperialMale.dat");
    EXPECT_EQ(faceOf(*npcs[3]), "ImperialMale.dat");
    for (const tes4::Entry* out : npcs) {
        EXPECT_EQ(tes4::u32(out->find("RNAM")->data, 0), 0x00000907u);
        EXPECT_EQ(textOf(out->find("MODL")), "Characters\\_Male\\skeleton.nif");
    }

    // Without RNAM, a Male.dat in lfdat is the race's own file.
    work.writeFile("lfdat/Male.dat", faceMarker("no race file"));
    file = convertOk(work, tes3::Plugin().add(noRace), &run);
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "The race  of the NPC noRace is not in the race table: the race becomes Imperial, with the face data "
              "of lfdat/Male.dat\n");
    EXPECT_EQ(faceOf(*file.records("NPC_").at(0)), "no race file");
}

// A face file that is not whole subrecords within 600 bytes would end the
// NPC record with a cut or made-up subrecord: the run stops, naming it.
TEST(NpcConversion, DamagedFaceFilesAreFatalErrorsNamingTheFile) {
    WorkDir work;
    Bytes cut = faceMarker(std::string(99, 'c'));
    cut.resize(50);
    Bytes longer = faceMarker(std::string(594, 'l'));
    Bytes badType = faceMarker("x");
    badType[0] = 'f';
    const struct {
        Bytes bytes;
        const char* fault;
    } cases[] = {
        {Bytes{'F'}, "its last 1 bytes are no whole subrecord header"},
        {cut, "the subrecord FACE at byte 0 runs past the end of the file"},
        {longer, "it is longer than 600 bytes"},
        {badType, "byte 0 does not start a subrecord type"},
    };
    for (const auto& face : cases) {
        work.writeFile("lfdat/OrcMale.dat", face.bytes);
        RunResult run = work.convert(tes3::Plugin().add(npc("a", "Orc", 0)));
        EXPECT_EQ(run.status, 1) << face.fault;
        EXPECT_EQ(e2e::withoutPlaces(run.err), std::string("The face data file lfdat/OrcMale.dat is damaged: ") + face.fault +
                               ". It must hold whole NPC_ subrecords (6-byte headers), at most 600 bytes, as "
                               "landfer-make-face-data writes them.\n");
    }
}

TEST(NpcConversion, FaceFileSizesAndMissingFaceFiles) {
    WorkDir work;
    Bytes hundred = faceMarker(std::string(93, 'h'));
    ASSERT_EQ(hundred.size(), 100u);
    work.writeFile("lfdat/OrcMale.dat", hundred);
    Bytes full600 = faceMarker(std::string(593, 'x'));
    ASSERT_EQ(full600.size(), 600u);  // the limit
    work.writeFile("lfdat/OrcFemale.dat", full600);
    tes4::File file = convertOk(work, tes3::Plugin().add(npc("a", "Orc", 0)).add(npc("b", "Orc", 0x01)));
    auto npcs = file.records("NPC_");
    ASSERT_EQ(npcs.size(), 2u);
    EXPECT_EQ(Bytes(npcs[0]->data.end() - 100, npcs[0]->data.end()), hundred);
    EXPECT_EQ(Bytes(npcs[1]->data.end() - 600, npcs[1]->data.end()), full600);

    work.writeFile("lfdat/OrcMale.dat", Bytes());
    RunResult run = work.convert(tes3::Plugin().add(npc("a", "Orc", 0)));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("Read insufficient amount of generic face data from lfdat/OrcMale.dat. Expected 600 "
                            "bytes. System error reports: ",
                            0),
              0u);
    std::remove(work.path("lfdat/NordFemale.dat").c_str());
    run = work.convert(tes3::Plugin().add(npc("a", "Nord", 0x01)));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(e2e::withoutPlaces(run.err), "Unable to open: lfdat/NordFemale.dat: No such file or directory\n");
    std::remove(work.path("lfdat/ImperialMale.dat").c_str());
    run = work.convert(tes3::Plugin().add(npc("a", "man_custom", 0)));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(e2e::withoutPlaces(run.err),
              "The race man_custom of the NPC a is not in the race table: the race becomes Imperial. No face data "
              "for race man_custom in lfdat/man_customMale.dat; using lfdat/ImperialMale.dat\n"
              "Unable to open: lfdat/ImperialMale.dat: No such file or directory\n");
}

TEST(NpcConversion, InventoryKeepsOrderAndWholeCounts) {
    WorkDir work;
    tes3::Record withItems("NPC_");
    withItems.ztext("NAME", "carrier").ztext("RNAM", "Imperial").sub("FLAG", tes3::npcFlags(0));
    const std::pair<int32_t, const char*> items[] = {
        {1, "steel_cuirass"}, {2, "lf_unknown_item"}, {255, "iron arrow"}, {300, "steel arrow"},
        {-1, "common_ring_01"}, {-25, "iron dagger"}, {INT32_MIN, "common_shirt_01"}};
    for (const auto& item : items) withItems.sub("NPCO", tes3::inventoryEntry(item.first, item.second));
    withItems.sub("NPCS", tes3::ztext("a spell")).sub("AIDT", tes3::aiData(0, 0, 0, 0));
    RunResult run;
    tes4::File file = convertOk(work, tes3::Plugin().add(withItems), &run);
    const tes4::Entry& out = *file.records("NPC_").at(0);
    std::vector<std::pair<uint32_t, uint32_t>> cnto;
    for (const auto& sub : out.subrecords)
        if (sub.type == "CNTO") cnto.push_back({tes4::u32(sub.data, 0), tes4::u32(sub.data, 4)});
    std::vector<std::pair<uint32_t, uint32_t>> expected = {{0x000229A2, 1},   {0x00017829, 255}, {0x000229C1, 300},
                                                            {0x00038011, 1},   {0x00019171, 25},
                                                            {0x000229A6, 0x80000000u}};
    EXPECT_EQ(cnto, expected);
    EXPECT_NE(run.out.find("\tTotal Inventory Swapped:                6\n"), std::string::npos);
}

TEST(NpcConversion, NoFixedLimitsOnInventoryTextsOrRecordSize) {
    WorkDir work;
    tes3::Record record("NPC_");
    std::string longName(3000, 'n');
    record.ztext("NAME", "big").ztext("FNAM", longName).ztext("RNAM", "Imperial");
    uint32_t seed = 12345;
    std::vector<int32_t> counts;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        counts.push_back(static_cast<int32_t>(seed >> 1));
        record.sub("NPCO", tes3::inventoryEntry(counts.back(), "iron dagger"));
    }
    record.sub("AIDT", tes3::aiData(0, 0, 0, 0));
    tes4::File file = convertOk(work, tes3::Plugin().add(record));
    const tes4::Entry& out = *file.records("NPC_").at(0);
    EXPECT_GT(out.size, 8192u);        // compressed data beyond 8 KiB
    EXPECT_GT(out.data.size(), 16384u);  // record data beyond 16 KiB
    EXPECT_EQ(textOf(out.find("FULL")), longName);
    size_t index = 0;
    for (const auto& sub : out.subrecords) {
        if (sub.type != "CNTO") continue;
        ASSERT_LT(index, counts.size());
        EXPECT_EQ(tes4::u32(sub.data, 4), static_cast<uint32_t>(counts[index++]));
    }
    EXPECT_EQ(index, counts.size());
}

TEST(NpcConversion, ShortOrOverrunningSubrecordsSkipTheRecord) {
    struct Case {
        const char* what;
        tes3::Record record;
        const char* problem;
    };
    auto base = [] {
        tes3::Record r("NPC_");
        r.ztext("NAME", "broken");
        return r;
    };
    std::vector<Case> cases;
    cases.push_back({"NPDT", base().sub("NPDT", Bytes(20, 0)), "its NPDT subrecord holds 20 of 44 bytes"});
    cases.push_back({"FLAG", base().sub("FLAG", Bytes()), "its FLAG subrecord holds 0 of 1 bytes"});
    cases.push_back({"NPCO", base().sub("NPCO", Bytes(10, 0)), "its NPCO subrecord holds 10 of 36 bytes"});
    cases.push_back({"AIDT", base().sub("AIDT", Bytes(2, 0)), "its AIDT subrecord holds 2 of 5 bytes"});
    cases.push_back({"overrun", base().raw({'F', 'N', 'A', 'M', 50, 0, 0, 0, 'x'}),
                     "its FNAM subrecord of 50 bytes runs past the end of the record"});
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkDir work;
        RunResult run;
        tes4::File file = convertOk(work, tes3::Plugin().add(c.record).add(npc("good")), &run);
        EXPECT_EQ(e2e::withoutPlaces(run.err), std::string("The NPC_ record broken is malformed (") + c.problem +
                                                   "). Ignoring!\nNot carried over:\n"
                                                   "\tRecords skipped (see the messages above): 1: NPC_ broken (1)\n");
        auto npcs = file.records("NPC_");
        ASSERT_EQ(npcs.size(), 1u);
        EXPECT_EQ(textOf(npcs[0]->find("EDID")), "good");
        EXPECT_EQ(npcs[0]->formId, 0x011E8480u);
        EXPECT_NE(run.out.find("\tTotal NPC_ records:                     1\n"), std::string::npos);
    }
}
