// Placed NPCs: found in the NPC index by their whole ID and put into the quad
// that holds their position.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "actors/npc_index.h"
#include "landscape/landscape.h"
#include "e2e_run.h"
#include "tes3_builder.h"
#include "tes4_reader.h"

using namespace landfer;
namespace fs = std::filesystem;

namespace {

// The landscape with the services and NPC index it is given.
struct Subject {
    Subject(FILE* progress, FILE* messages) : services(progress, messages, "lfdat"), land(services, npcs) {}
    ConversionServices services;
    NpcIndex npcs;
    Landscape land;
};

// Runs each test in a fresh working directory with an NPC list.
class PlacedReferences : public ::testing::Test {
protected:
    void SetUp() override {
        run_ = std::make_unique<Subject>(progress_, messages_);
        // Two NPCs whose IDs share a prefix.
        listNpc("fm_hjrondir", {0x90, 0x84, 0x1E, 0x01});
        listNpc("fm_hjrondir_undead", {0x91, 0x84, 0x1E, 0x01});
    }
    void TearDown() override {
        run_.reset();
        fclose(progress_);
        fclose(messages_);
    }
    void listNpc(const std::string& id, tes3::Bytes formId) {
        run_->npcs.add(id, tes4::u32(formId, 0));
    }
    static std::string text(FILE* file) { return e2e::readStream(file); }
    void convert(const tes3::Record& cell) {
        RecordData data{cell.data().data(), cell.data().size()};
        run_->land.convertCell(data);
    }
    // The ACHR records staged in quad 1 to 4 of the cell, as (base FormID, x).
    std::vector<std::pair<uint32_t, float>> placed(int quad) {
        const std::vector<uint8_t>& bytes = run_->land.state.pendingQuads[quad - 1].bytes;
        run_->land.state.cellFiles[quad - 1].flush();
        EXPECT_EQ(bytes, tes4::readFileBytes("cell" + std::to_string(quad) + ".tmp"));
        std::vector<std::pair<uint32_t, float>> out;
        size_t offset = 20 + tes4::u32(bytes, 4);  // behind the CELL record
        for (; offset < bytes.size(); offset += 60) {
            EXPECT_EQ(std::string(bytes.begin() + offset, bytes.begin() + offset + 4), "ACHR");
            EXPECT_EQ(tes4::u32(bytes, offset + 4), 40u);
            out.push_back({tes4::u32(bytes, offset + 26), tes4::f32(bytes, offset + 36)});
        }
        EXPECT_EQ(run_->land.state.worldCells.at(quad - 1).placedCount, out.size());
        return out;
    }

    e2e::CurrentWorkDir work_;
    FILE* progress_ = tmpfile();
    FILE* messages_ = tmpfile();
    std::unique_ptr<Subject> run_;
};

tes3::Record reference(const std::string& id, float x, float y, const tes3::Bytes& extra = {}) {
    tes3::Record ref("CELL");
    ref.sub("FRMR", tes3::int32s({1})).ztext("NAME", id).raw(extra).sub("DATA", tes3::floats({x, y, 0, 0, 0, 0}));
    return ref;
}

tes3::Record cellWith(int32_t gridX, int32_t gridY, std::initializer_list<tes3::Record> refs) {
    tes3::Record cell("CELL");
    cell.ztext("NAME", "").sub("DATA", tes3::int32s({0, gridX, gridY})).ztext("RGNN", "Region");
    for (const tes3::Record& ref : refs) cell.raw(ref.data());
    return cell;
}

}  // namespace

TEST_F(PlacedReferences, WholeIdsMatchAndPositionsAreRoundedDown) {
    convert(cellWith(-1, 0,
                     {reference("fm_hjrondir_undead", -0.5f, 10.0f), reference("fm_hjrondir", -4096.9f, 5.0f),
                      reference("fm_hjrondir", -100.0f, 4100.0f), reference("FM_HJRONDIR", -5.0f, 5.0f),
                      reference("fm_hjron", -5.0f, 5.0f), reference("flora_tree", -5.0f, 5.0f)}));
    // Letter case does not matter (Morrowind's ids are case-insensitive); a prefix is no match.
    EXPECT_EQ(placed(2), (std::vector<std::pair<uint32_t, float>>{{0x011E8491u, -0.5f}, {0x011E8490u, -5.0f}}));
    EXPECT_EQ(placed(1), (std::vector<std::pair<uint32_t, float>>{{0x011E8490u, -4096.9f}}));
    EXPECT_EQ(placed(4), (std::vector<std::pair<uint32_t, float>>{{0x011E8490u, -100.0f}}));
    EXPECT_TRUE(placed(3).empty());
    EXPECT_EQ(run_->land.placedNpcCount, 4);
    EXPECT_EQ(text(progress_), "aaaa");
}

TEST_F(PlacedReferences, OutsideTheCellDeletedAndBrokenReferencesAreDropped) {
    tes3::Record cut("CELL");  // DATA too short to hold a position
    cut.sub("FRMR", tes3::int32s({2})).ztext("NAME", "fm_hjrondir").sub("DATA", tes3::floats({1, 2}));
    convert(cellWith(0, 0,
                     {reference("fm_hjrondir", 8192.0f, 10.0f),
                      reference("fm_hjrondir", 10.0f, 10.0f, tes3::Record("X").sub("DELE", tes3::int32s({0})).data()),
                      reference("fm_hjrondir", 20.0f, 10.0f, tes3::Record("X").sub("XSCL", tes3::floats({2})).data()),
                      cut}));
    EXPECT_EQ(placed(1), (std::vector<std::pair<uint32_t, float>>{{0x011E8490u, 20.0f}}));
    EXPECT_EQ(text(progress_),
              "WARNING: I COULDN'T DECIDE UPON: (8192.000000, 10.000000) for original cell (0, 0) - quad 0\na");
    EXPECT_EQ(text(messages_),
              "A CELL record is malformed (a reference's DATA subrecord holds 8 of 24 bytes). Ignoring!\n");
}

TEST_F(PlacedReferences, NoListYetMeansNoMatch) {
    run_ = std::make_unique<Subject>(progress_, messages_);  // only the player's record was converted so far
    convert(cellWith(0, 0, {reference("fm_hjrondir", 10.0f, 10.0f)}));
    EXPECT_TRUE(placed(1).empty());
    EXPECT_EQ(run_->land.placedNpcCount, 0);
    // The index alone decides: an NPC listed now is placed in the next cell.
    listNpc("fm_hjrondir", {0x90, 0x84, 0x1E, 0x01});
    convert(cellWith(1, 0, {reference("fm_hjrondir", 8192.0f + 10.0f, 10.0f)}));
    EXPECT_EQ(run_->land.placedNpcCount, 1);
}
