// Placed NPCs: found among the converted NPCs by their whole ID and put
// into the quad that holds their position, as the written world shows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "actors/npc_index.h"
#include "landscape/landscape.h"
#include "landscape_support.h"
#include "services/conversion_services.h"
#include "e2e_run.h"
#include "tes3_builder.h"
#include "tes4_reader.h"

using namespace landfer;
namespace fs = std::filesystem;

namespace {

// The landscape with the services and NPC index it is given.
struct Subject {
    Subject(FILE* progress, FILE* messages)
        : services(progress, messages, "lfdat"),
          land(services.output(), services.problems(), services.lookups(), books, npcs) {
        FileWriter file;
        file.open("out.esp", "wb");
        services.output().plugin = OutputPlugin(std::move(file));
        services.output().plugin.writeHeader();
    }
    ConversionServices services;
    NpcIndex npcs;
    ConvertedIdIndex books;
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
    // The world as written, once.
    const tes4::File& written() {
        if (!written_) {
            run_->land.placeReferences();
            run_->land.writeWorld();
            run_->services.output().plugin.finish();
            file_ = tes4::readPlugin(tes4::readFileBytes("out.esp"));
            written_ = true;
        }
        return file_;
    }
    // The placed NPCs, all in the world's persistent cell, as (base FormID, x).
    std::vector<std::pair<uint32_t, float>> placed() {
        std::vector<std::pair<uint32_t, float>> out;
        for (const tes4::Entry* achr : landscape::placedNpcs(written())) {
            EXPECT_EQ(achr->flags, 0x400u);
            out.push_back({tes4::u32(achr->find("NAME")->data, 0), tes4::f32(achr->find("DATA")->data, 0)});
        }
        return out;
    }

    bool written_ = false;
    tes4::File file_;
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

TEST_F(PlacedReferences, WholeIdsMatchAndEveryNpcStandsInThePersistentCell) {
    convert(cellWith(-1, 0,
                     {reference("fm_hjrondir_undead", -0.5f, 10.0f), reference("fm_hjrondir", -4096.9f, 5.0f),
                      reference("fm_hjrondir", -100.0f, 4100.0f), reference("FM_HJRONDIR", -5.0f, 5.0f),
                      reference("fm_hjron", -5.0f, 5.0f),
                      reference("flora_tree", -5.0f, 5.0f)}));
    // Wherever they stand, in the order they were placed (FormID order);
    // letter case does not matter (Morrowind's ids are case-insensitive), a prefix is no match.
    EXPECT_EQ(placed(), (std::vector<std::pair<uint32_t, float>>{
                            {0x011E8491u, -0.5f}, {0x011E8490u, -4096.9f}, {0x011E8490u, -100.0f}, {0x011E8490u, -5.0f}}));
    EXPECT_EQ(run_->land.placedNpcCount(), 4);
    EXPECT_EQ(text(progress_), "aaaa");
    EXPECT_EQ(run_->services.losses().total(LossKind::placedReference), 2);
}

TEST_F(PlacedReferences, OutsideTheCellPlacedDeletedAndBrokenReferencesLeftOut) {
    tes3::Record cut("CELL");  // DATA too short to hold a position
    cut.sub("FRMR", tes3::int32s({2})).ztext("NAME", "fm_hjrondir").sub("DATA", tes3::floats({1, 2}));
    tes3::Record nameless("CELL");
    nameless.sub("FRMR", tes3::int32s({3})).sub("DATA", tes3::floats({1, 2, 3, 0, 0, 0}));
    const float nan = std::nanf("");
    convert(cellWith(0, 0,
                     {reference("fm_hjrondir", 8192.0f, 10.0f),
                      reference("fm_hjrondir", 10.0f, 10.0f, tes3::Record("X").sub("DELE", tes3::int32s({0})).data()),
                      nameless, reference("fm_hjrondir", 20.0f, 10.0f, tes3::Record("X").sub("XSCL", tes3::floats({2})).data()),
                      cut, reference("fm_hjrondir", nan, 10.0f), reference("fm_hjrondir", 30.0f, 10.0f)}));
    // A reference without NAME costs only itself; one after a DELE (even behind its DATA) is not placed.
    EXPECT_EQ(placed(), (std::vector<std::pair<uint32_t, float>>{
                            {0x011E8490u, 8192.0f}, {0x011E8490u, 20.0f}, {0x011E8490u, 30.0f}}));
    EXPECT_EQ(text(progress_), "aaWARNING: I COULDN'T DECIDE UPON: (nan, 10.000000) for original cell (0, 0) - quad 0\na");
    EXPECT_EQ(text(messages_),
              "A reference in the CELL record at grid (0, 0) has no NAME. Ignoring it!\n"
              "The CELL record at grid (0, 0) is malformed (a reference's DATA subrecord holds 8 of 24 bytes). "
              "Ignoring the reference!\n");
    EXPECT_EQ(run_->services.losses().total(LossKind::brokenReference), 3);
}

TEST_F(PlacedReferences, AnNpcConvertedAfterItsCellIsPlacedToo) {
    run_ = std::make_unique<Subject>(progress_, messages_);  // no NPC converted yet
    convert(cellWith(0, 0, {reference("fm_hjrondir", 10.0f, 10.0f)}));
    EXPECT_EQ(run_->land.placedNpcCount(), 0);
    listNpc("fm_hjrondir", {0x90, 0x84, 0x1E, 0x01});
    EXPECT_EQ(placed(), (std::vector<std::pair<uint32_t, float>>{{0x011E8490u, 10.0f}}));
    EXPECT_EQ(run_->land.placedNpcCount(), 1);
}
