// The shipped lfdat/objects.dat: every line reads without complaint, and
// every FormID is an Oblivion.esm tree, static or flora of the reference
// list under the editor id the line gives (checked when ../shared/reference
// is there), never grass.
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

// The entry lines of the shipped file: its first three fields each.
std::vector<std::vector<std::string>> entries() {
    std::vector<std::vector<std::string>> lines;
    std::ifstream in(lfdat + "/objects.dat", std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::stringstream text(line);
        std::vector<std::string> fields;
        for (std::string field; std::getline(text, field, ',');) fields.push_back(field);
        lines.push_back(fields);
    }
    return lines;
}

}  // namespace

TEST(ShippedObjects, EveryLineReadsAndEveryFormIdIsAReferenceTreeStaticOrFlora) {
    FILE* messages = std::tmpfile();
    landfer::Reporter reporter(messages, messages);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    landfer::ObjectTable table(lfdat, problems);
    std::vector<std::vector<std::string>> lines = entries();
    EXPECT_GT(lines.size(), 100u);
    for (const std::vector<std::string>& fields : lines) {
        ASSERT_GE(fields.size(), 3u);
        const landfer::StandIn* standIn = table.find(fields[0].back() == '*' ? fields[0] + "x" : fields[0]);
        ASSERT_NE(standIn, nullptr) << fields[0];
    }
    EXPECT_EQ(e2e::readStream(messages), "");
    std::fclose(messages);

    auto records = referenceList();
    if (records.empty()) GTEST_SKIP() << "no reference list at " << referenceRecords;
    for (const std::vector<std::string>& fields : lines) {
        auto record = records.find(fields[2]);
        ASSERT_NE(record, records.end()) << fields[0] << ": " << fields[2] << " is not in the reference list";
        const std::string& type = record->second.first;
        EXPECT_TRUE(type == "TREE" || type == "STAT" || type == "FLOR") << fields[0] << ": " << type;
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
    const std::pair<const char*, const char*> found[] = {
        {"Flora_BC_Tree_14", "TreeSwampCypressForest"}, {"flora_bc_tree_02", "TreeCPSwampCypressForest"},
        {"terrain_rock_BC_17", "RockGreatForest690Moss"}, {"flora_ashtree_02", "Kvatchtree02"},
        {"flora_kelp_03", "SEMKelp01"}, {"terrain_rock_ma_551", "OBTalonrockLg02"},
    };
    for (const auto& entry : found) {
        const landfer::StandIn* standIn = table.find(entry.first);
        ASSERT_NE(standIn, nullptr) << entry.first;
        EXPECT_EQ(standIn->editorId, entry.second) << entry.first;
    }
    for (const char* id : {"flora_bc_grass_01", "ex_common_door_01", "flora_bc", "misc_com_bottle_01"})
        EXPECT_EQ(table.find(id), nullptr) << id;
    std::fclose(messages);
}
