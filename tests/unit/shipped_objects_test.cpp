// The shipped lfdat/objects.dat: every line reads without complaint, and
// every FormID is an Oblivion.esm record of the reference list under the
// editor id the line gives (checked when ../shared/reference is there): a
// tree, static or flora (never grass) before the first section, a door in
// the [DOOR] section.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "e2e_run.h"
#include "lookup/object_table.h"
#include "services/problems.h"

namespace {

const std::string lfdat = std::string(LANDFER_SOURCE_DIR) + "/lfdat";
const std::string referenceRecords = std::string(LANDFER_SOURCE_DIR) + "/../shared/reference/oblivion-esm-records.tsv";

// FormID (as in the file) -> type and editor id, of the reference list.
std::map<std::string, std::pair<std::string, std::string>> referenceList() {
    std::map<std::string, std::pair<std::string, std::string>> records;
    std::ifstream in(referenceRecords);
    for (std::string line; std::getline(in, line);) {
        std::stringstream fields(line);
        std::string type, formId, editorId;
        std::getline(fields, type, '\t');
        std::getline(fields, formId, '\t');
        std::getline(fields, editorId, '\t');
        records[formId] = {type, editorId};
    }
    return records;
}

// An entry line of the shipped file: its fields, and the section it is in
// ("" before the first).
struct Entry {
    std::vector<std::string> fields;
    std::string section;
};

std::vector<Entry> entries() {
    std::vector<Entry> lines;
    std::ifstream in(lfdat + "/objects.dat", std::ios::binary);
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        std::stringstream text(line);
        Entry entry{{}, section};
        for (std::string field; std::getline(text, field, ',');) entry.fields.push_back(field);
        lines.push_back(entry);
    }
    return lines;
}

}  // namespace

TEST(ShippedObjects, EveryLineReadsAndEveryFormIdIsAReferenceRecordOfItsSection) {
    FILE* messages = std::tmpfile();
    landfer::Reporter reporter(messages, messages);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    landfer::ObjectTable table(lfdat, problems);
    std::vector<Entry> lines = entries();
    EXPECT_GT(lines.size(), 100u);
    size_t doors = 0;
    for (const Entry& entry : lines) {
        const std::vector<std::string>& fields = entry.fields;
        ASSERT_GE(fields.size(), 3u);
        // The lone "*" of a section is the stand-in of its type for any object no line names.
        const landfer::StandIn* standIn = fields[0] == "*" ? table.anyOf(entry.section)
                                          : table.find(fields[0].back() == '*' ? fields[0] + "x" : fields[0]);
        ASSERT_NE(standIn, nullptr) << fields[0];
        EXPECT_EQ(standIn->is("DOOR"), entry.section == "DOOR") << fields[0];
        doors += entry.section == "DOOR";
    }
    EXPECT_GT(doors, 40u);
    EXPECT_EQ(e2e::readStream(messages), "");
    std::fclose(messages);

    auto records = referenceList();
    if (records.empty()) GTEST_SKIP() << "no reference list at " << referenceRecords;
    for (const Entry& entry : lines) {
        const std::vector<std::string>& fields = entry.fields;
        auto record = records.find(fields[2]);
        ASSERT_NE(record, records.end()) << fields[0] << ": " << fields[2] << " is not in the reference list";
        const std::string& type = record->second.first;
        if (entry.section.empty())
            EXPECT_TRUE(type == "TREE" || type == "STAT" || type == "FLOR") << fields[0] << ": " << type;
        else
            EXPECT_EQ(type, entry.section) << fields[0];
        EXPECT_EQ(fields[1], record->second.second) << fields[0];
    }
}

// The base game's families are found by prefix, whatever their number,
// in any letter case; a look-alike id of another family is not.
TEST(ShippedObjects, TheBaseGameFamiliesAreFound) {
    FILE* messages = std::tmpfile();
    landfer::Reporter reporter(messages, messages);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    landfer::ObjectTable table(lfdat, problems);
    // Trees, rocks and kelp; the doors of houses, towers, trapdoors, gates, caves and ruins.
    struct Found {
        const char* id;
        const char* editorId;
        bool door;
    };
    const Found found[] = {
        {"Flora_BC_Tree_14", "TreeSwampCypressForest", false},   {"flora_bc_tree_02", "TreeCPSwampCypressForest", false},
        {"terrain_rock_BC_17", "RockGreatForest690Moss", false}, {"flora_ashtree_02", "Kvatchtree02", false},
        {"flora_kelp_03", "SEMKelp01", false},                   {"terrain_rock_ma_551", "OBTalonrockLg02", false},
        {"ex_common_door_01", "ChorrolLoadDoorMiddle01", true},  {"ex_t_door_02", "CastleTowerDoor01", true},
        {"in_com_traptop_01", "ChorrolTrapDoor01", true},        {"ex_imp_gate_01", "StoneWallGateDoor01", true},
        {"EX_Cave_Door_01", "CDoor01", true},                    {"ex_velothi_loaddoor_03", "RuinsDOORshort01", true},
    };
    for (const Found& entry : found) {
        const landfer::StandIn* standIn = table.find(entry.id);
        ASSERT_NE(standIn, nullptr) << entry.id;
        EXPECT_EQ(standIn->editorId, entry.editorId) << entry.id;
        EXPECT_EQ(standIn->is("DOOR"), entry.door) << entry.id;
    }
    for (const char* id : {"flora_bc_grass_01", "ex_common_doorframe", "flora_bc", "misc_com_bottle_01"})
        EXPECT_EQ(table.find(id), nullptr) << id;
    std::fclose(messages);
}
