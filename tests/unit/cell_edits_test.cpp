// A cell as the game shows it: each file's references in load order, a
// reference naming a master's by its FRMR high byte replacing, deleting or
// moving it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "landscape/cell_edits.h"
#include "tes3_builder.h"
#include "tes3_land.h"

using namespace landfer;
using tes3::frmr;

namespace {

// Masters 0 and 1 are loaded, the plugin is file 2; master 1 names master 0 as
// its first master, the plugin names 0, 1 and a master not loaded.
long secondsMaster(uint32_t n) { return n == 1 ? 0 : -1; }
long pluginsMaster(uint32_t n) { return n == 1 ? 0 : n == 2 ? 1 : -1; }
long noMaster(uint32_t) { return -1; }

// Adds every reference of a cell's data (as the test builder makes them) to the edit.
void addAll(CellEdit& edit, const tes3::Bytes& references, long file, bool isPlugin, long (*masterOf)(uint32_t)) {
    walkReferences({references.data(), references.size()}, 0, [&](const ReadReference& read, const ReferenceMove& move) {
        edit.add(read, move, file, isPlugin, masterOf);
    });
}

tes3::Bytes joined(const std::vector<tes3::Bytes>& parts) {
    tes3::Bytes all;
    for (const tes3::Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> staying(const CellEdit& edit) {
    std::vector<std::string> ids;
    for (const EditedReference& edited : edit.references())
        if (!edited.removed)
            ids.push_back(edited.reference.baseId + (edited.move.moved ? "->" + std::to_string(edited.move.gridX) : ""));
    return ids;
}

}  // namespace

TEST(CellEdits, ReplacedDeletedMovedAndNewReferencesInLoadOrder) {
    CellEdit edit;
    addAll(edit,
           joined({tes3::reference(frmr(0, 1), "a", 0, 0), tes3::reference(frmr(0, 2), "b", 0, 0),
                   tes3::reference(frmr(0, 3), "c", 0, 0)}),
           0, false, noMaster);
    // The second master changes its own master's b and adds one of its own with the same index.
    addAll(edit, joined({tes3::reference(frmr(1, 2), "b2", 0, 0), tes3::reference(frmr(0, 2), "d", 0, 0)}), 1, false,
           secondsMaster);
    addAll(edit,
           joined({tes3::deletedReference(frmr(1, 1), "a"), tes3::movedReference(frmr(1, 3), 4, 0, "c", 0, 0),
                   tes3::reference(frmr(2, 2), "d2", 0, 0), tes3::reference(frmr(1, 9), "unknown", 0, 0),
                   tes3::reference(frmr(3, 5), "of a master not loaded", 0, 0), tes3::reference(frmr(0, 1), "new", 0, 0)}),
           2, true, pluginsMaster);
    edit.finish();

    EXPECT_EQ(staying(edit), (std::vector<std::string>{"b2", "c->4", "d2", "unknown", "of a master not loaded", "new"}));
    const CellEditCounts& counts = edit.counts();
    EXPECT_EQ(counts.fromMasters, 3);  // b2, c and d2
    EXPECT_EQ(counts.replaced, 1);     // d (b was the second master's change)
    EXPECT_EQ(counts.deleted, 1);
    EXPECT_EQ(counts.moved, 1);
    EXPECT_EQ(counts.unknown, 1);
}

TEST(CellEdits, ADeletionOfAReferenceNoMasterHasIsUnknownAndPlacesNothing) {
    CellEdit edit;
    addAll(edit, tes3::reference(frmr(0, 1), "a", 0, 0), 0, false, noMaster);
    addAll(edit, joined({tes3::deletedReference(frmr(1, 2), "x"), tes3::deletedReference(frmr(1, 1), "a"),
                         tes3::deletedReference(frmr(1, 1), "a")}),
           1, true, [](uint32_t n) { return n == 1 ? 0L : -1L; });
    edit.finish();
    EXPECT_TRUE(staying(edit).empty());
    EXPECT_EQ(edit.counts().unknown, 2);  // x, and a deleted twice
    EXPECT_EQ(edit.counts().deleted, 1);
    EXPECT_EQ(edit.counts().fromMasters, 0);
}

// One edit serves cell after cell: what a cell leaves in it is gone at the next.
TEST(CellEdits, ARestartedEditHoldsNothingOfTheCellBefore) {
    CellEdit edit;
    addAll(edit, joined({tes3::reference(frmr(0, 1), "a", 0, 0), tes3::reference(frmr(0, 2), "b", 0, 0)}), 0, false,
           noMaster);
    addAll(edit, tes3::deletedReference(frmr(1, 9), "x"), 1, true, [](uint32_t n) { return n == 1 ? 0L : -1L; });
    edit.finish();
    ASSERT_EQ(edit.counts().unknown, 1);

    edit.restart();
    // The first cell's references, by their keys, are no master's references here.
    addAll(edit, tes3::deletedReference(frmr(1, 1), "a"), 1, true, [](uint32_t n) { return n == 1 ? 0L : -1L; });
    addAll(edit, tes3::reference(frmr(0, 3), "c", 0, 0), 1, true, noMaster);
    edit.finish();
    EXPECT_EQ(staying(edit), (std::vector<std::string>{"c"}));
    EXPECT_EQ(edit.counts().unknown, 1);
    EXPECT_EQ(edit.counts().deleted, 0);
    EXPECT_EQ(edit.counts().fromMasters, 0);
}
