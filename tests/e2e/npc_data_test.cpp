// The shipped lookup data, the sample plugin's NPCs and the real plugins
// with NPCs.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "npc_test_support.h"

using e2e::RunResult;
using e2e::WorkDir;
using namespace npc_test;

namespace {

const std::string lfdat = std::string(LANDFER_SOURCE_DIR) + "/lfdat/";
const std::string referenceIds = std::string(LANDFER_SOURCE_DIR) + "/../shared/reference/game-ids.md";
const std::string referenceRecords = std::string(LANDFER_SOURCE_DIR) + "/../shared/reference/oblivion-esm-records.tsv";
const char* const faceNames[] = {"Argonian", "Breton", "DarkElf", "HighElf", "Imperial",
                                 "Khajit",   "Nord",   "Orc",     "Redguard", "WoodElf"};

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string hexAt(const std::string& line, size_t offset) {
    if (line.size() < offset + 8) return "";
    std::string digits = line.substr(offset, 8);
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return "";
    return digits;
}

std::string hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// The editor ids of the NPC_ records of a TES3 plugin, in file order.
std::vector<std::string> npcIdsOf(const Bytes& plugin) {
    std::vector<std::string> ids;
    for (size_t at = 0; at + 16 <= plugin.size();) {
        uint32_t size = tes4::u32(plugin, at + 4);
        if (std::string(plugin.begin() + at, plugin.begin() + at + 4) == "NPC_" &&
            std::string(plugin.begin() + at + 16, plugin.begin() + at + 20) == "NAME") {
            uint32_t nameSize = tes4::u32(plugin, at + 20);
            std::string name(plugin.begin() + at + 24, plugin.begin() + at + 24 + nameSize);
            ids.push_back(name.substr(0, name.find('\0')));
        }
        at += 16 + size;
    }
    return ids;
}

}  // namespace

TEST(LookupData, EveryLineIsWellFormedAndEveryFormIdIsSourced) {
    std::ifstream reference(referenceIds);
    std::ifstream records(referenceRecords);
    std::stringstream referenceText;
    referenceText << reference.rdbuf() << records.rdbuf();
    bool checkSources = reference.good() && records.good();
    auto sourced = [&](const std::string& formId) {
        return !checkSources || referenceText.str().find(formId) != std::string::npos;
    };
    for (const char* name : {"armour.dat", "clothing.dat", "weapons.dat", "misc.dat"}) {
        std::vector<std::string> lines = linesOf(lfdat + name);
        EXPECT_GT(lines.size(), 50u) << name;
        for (const std::string& line : lines) {
            size_t third = line.find(',', line.find(',', line.find(',') + 1) + 1);
            ASSERT_NE(third, std::string::npos) << name << ": " << line;
            std::string formId = hexAt(line, third + 1);
            EXPECT_EQ(formId.size(), 8u) << name << ": " << line;
            EXPECT_TRUE(sourced(formId)) << name << ": " << line;
        }
    }
    std::vector<std::string> classes = linesOf(lfdat + "classes.dat");
    EXPECT_GT(classes.size(), 40u);
    for (const std::string& line : classes) {
        size_t comma = line.find(',');
        ASSERT_NE(comma, std::string::npos) << line;
        EXPECT_EQ(hexAt(line, comma + 1).size(), 8u) << line;
        EXPECT_TRUE(sourced(hexAt(line, comma + 1))) << line;
    }
    // Face data: whole subrecords within 600 bytes; the hair and eyes are sourced.
    for (const char* face : faceNames) {
        for (const char* sex : {"Male.dat", "Female.dat"}) {
            std::string name = std::string(face) + sex;
            Bytes bytes = tes4::readFileBytes(lfdat + name);
            EXPECT_LE(bytes.size(), 600u) << name;
            size_t at = 0;
            while (at + 6 <= bytes.size()) {
                std::string type(bytes.begin() + at, bytes.begin() + at + 4);
                size_t size = tes4::u16(bytes, at + 4);
                if ((type == "HNAM" || type == "ENAM") && at + 10 <= bytes.size()) {
                    EXPECT_TRUE(sourced(hex8(tes4::u32(bytes, at + 6)))) << name << " " << type;
                }
                at += 6 + size;
            }
            EXPECT_EQ(at, bytes.size()) << name;
        }
    }
}

TEST(LookupData, FaceFilesAreTheGeneratorsOutput) {
    WorkDir work;
    std::filesystem::create_directory(work.path("faces"));
    RunResult made = work.runProgram(LANDFER_MAKE_FACE_DATA, {"faces"});
    ASSERT_EQ(made.status, 0) << made.err;
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(work.path("faces"))) {
        std::string name = entry.path().filename().string();
        EXPECT_EQ(tes4::readFileBytes(entry.path().string()), tes4::readFileBytes(lfdat + name)) << name;
        ++count;
    }
    EXPECT_EQ(count, 20u);
}

TEST(SamplePlugin, NpcsConvertWithInventoriesAndNoMessages) {
    WorkDir work;
    ASSERT_EQ(work.runProgram(LANDFER_MAKE_SAMPLE, {"sample.esp"}).status, 0);
    RunResult run = work.run({"sample.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The one message: a land texture left out of the lookup data on purpose.
    EXPECT_EQ(e2e::withoutPlaces(e2e::withoutLossReport(run.err)),
              "Unable to populate an ltex FormID for lf\\tx_lf_marker.dds: Not in my LTEX file!!\n");
    tes4::File file = work.output();
    auto npcs = file.records("NPC_");
    std::vector<std::string> ids;
    for (const tes4::Entry* record : npcs) ids.push_back(textOf(record->find("EDID")));
    EXPECT_EQ(ids, (std::vector<std::string>{"lf_ald_warden", "lf_trader_sinja", "lf_pilgrim_orm", "lf_scout_ilara"}));
    EXPECT_NE(run.out.find("\tTotal NPC_ records:                     5\n"), std::string::npos);
    EXPECT_NE(run.out.find("\tTotal Inventory Swapped:                9\n"), std::string::npos);
    EXPECT_EQ(tes4::u32(npcs[1]->find("RNAM")->data, 0), 0x000223C7u);  // the game's "Khajiit"
    EXPECT_EQ(tes4::u32(npcs[2]->find("ACBS")->data, 0) & 0x10, 0x10u);  // short NPDT
}

TEST(RealPlugins, NpcsConvertAndReadBack) {
    std::string samples = std::string(LANDFER_SOURCE_DIR) + "/../shared/samples/";
    if (!std::filesystem::exists(samples)) GTEST_SKIP() << "no sample plugins";
    for (const char* name : {"g7_all_types.esp", "red_wisdom.esp", "sable_dragon_gmst.esp"}) {
        SCOPED_TRACE(name);
        if (!std::filesystem::exists(samples + name)) continue;
        WorkDir work;
        RunResult run = work.run({samples + name});
        ASSERT_EQ(run.status, 0) << run.err;
        tes4::File file = work.output();  // sound, or it throws
        std::vector<std::string> expected;
        for (const std::string& id : npcIdsOf(tes4::readFileBytes(samples + name)))
            if (id != "player") expected.push_back(id);
        std::vector<std::string> converted;
        for (const tes4::Entry* record : file.records("NPC_")) {
            converted.push_back(textOf(record->find("EDID")));
            EXPECT_NE(record->find("FGGS"), nullptr);
        }
        EXPECT_EQ(converted, expected);
        EXPECT_FALSE(work.exists("npcs.tmp"));
    }
}
