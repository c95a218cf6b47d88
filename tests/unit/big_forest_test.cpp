// The generated province's forests: every exterior cell holds a few dozen
// references whose base ids the lookup directory's objects.dat names, placed
// inside the cell with Morrowind's range of scales; the same arguments give
// the same bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "e2e_run.h"
#include "lookup/object_table.h"
#include "services/problems.h"
#include "tes3_land.h"
#include "tes4_reader.h"

namespace {

float floatAt(const tes3::Bytes& data, size_t index) {
    float value = 0;
    std::memcpy(&value, data.data() + 4 * index, 4);
    return value;
}

int32_t intAt(const tes3::Bytes& data, size_t index) {
    int32_t value = 0;
    std::memcpy(&value, data.data() + 4 * index, 4);
    return value;
}

struct Forest {
    int standIns = 0, others = 0;
    bool allInside = true, scalesInRange = true;
};

// Counts the references of an exterior cell whose base has a stand-in.
Forest forestOf(const tes3::ReadRecord& cell, const landfer::ObjectTable& objects) {
    Forest forest;
    int32_t gridX = intAt(cell.find("DATA")->data, 1), gridY = intAt(cell.find("DATA")->data, 2);
    const landfer::StandIn* standIn = nullptr;
    for (const tes3::ReadSubrecord& sub : cell.subrecords) {
        if (sub.type == "NAME" && !sub.data.empty()) {
            std::string id(reinterpret_cast<const char*>(sub.data.data()));
            standIn = objects.find(id);
            if (standIn != nullptr && standIn->is("DOOR")) standIn = nullptr;  // a house's door: no tree
            (standIn != nullptr ? forest.standIns : forest.others)++;
        } else if (sub.type == "XSCL" && standIn != nullptr) {
            float scale = floatAt(sub.data, 0);
            forest.scalesInRange = forest.scalesInRange && scale >= 0.5f && scale <= 2.0f;
        } else if (sub.type == "DATA" && sub.data.size() == 24 && standIn != nullptr) {
            float x = floatAt(sub.data, 0) - 8192.0f * gridX, y = floatAt(sub.data, 1) - 8192.0f * gridY;
            forest.allInside = forest.allInside && x >= 0 && x < 8192 && y >= 0 && y < 8192;
        }
    }
    return forest;
}

}  // namespace

TEST(BigForest, EveryCellHoldsAForestOfStandIns) {
    e2e::WorkDir work;
    std::string generate = std::string(LANDFER_MAKE_BIG_PLUGIN) + " small " + work.path("a.esp") + " " +
                           work.path("lfdat");
    ASSERT_EQ(std::system(generate.c_str()), 0);
    std::string again = std::string(LANDFER_MAKE_BIG_PLUGIN) + " small " + work.path("b.esp") + " " + work.path("lfdat");
    ASSERT_EQ(std::system(again.c_str()), 0);
    tes3::Bytes plugin = tes4::readFileBytes(work.path("a.esp"));
    EXPECT_TRUE(plugin == tes4::readFileBytes(work.path("b.esp")));

    FILE* messages = std::tmpfile();
    landfer::Reporter reporter(messages, messages);
    landfer::Losses losses;
    landfer::Problems problems(reporter, losses);
    landfer::ObjectTable objects(work.path("lfdat"), problems);
    int cells = 0;
    for (const tes3::ReadRecord& record : tes3::readPlugin(plugin)) {
        const tes3::ReadSubrecord* data = record.find("DATA");
        if (record.type != "CELL" || data == nullptr || (intAt(data->data, 0) & 1) != 0) continue;
        ++cells;
        Forest forest = forestOf(record, objects);
        EXPECT_GE(forest.standIns, 24) << "cell " << cells;
        EXPECT_LE(forest.standIns, 48) << "cell " << cells;
        EXPECT_GE(forest.others, 2) << "cell " << cells;  // the NPCs and two buildings
        EXPECT_TRUE(forest.allInside) << "cell " << cells;
        EXPECT_TRUE(forest.scalesInRange) << "cell " << cells;
    }
    EXPECT_EQ(cells, 100);
    EXPECT_EQ(e2e::readStream(messages), "");
    std::fclose(messages);
}
