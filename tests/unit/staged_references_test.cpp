// The references staged for after the input: read back in order, each as
// it was staged, whatever ids it carries.
#include <gtest/gtest.h>

#include <vector>

#include "e2e_run.h"
#include "esm/staging_folder.h"
#include "landscape/staged_references.h"

using namespace landfer;

namespace {

MorrowindReference referenceOf(std::string baseId, std::string owner, std::string key, float x) {
    MorrowindReference reference;
    reference.baseId = std::move(baseId);
    reference.owner = std::move(owner);
    reference.key = std::move(key);
    reference.placement = {x, -x, 3.5f, 0.25f, 0.5f, -1.0f};
    reference.scale = 1.5f;
    reference.unkept = referenceOwner | referenceLock;
    reference.lockLevel = 40;
    reference.count = -3;
    return reference;
}

}  // namespace

TEST(StagedReferences, EachIsReadBackAsStagedInOrder) {
    e2e::CurrentWorkDir work;
    StagingFolder staging = StagingFolder::create();
    StagedReferences references(staging.path(StagedReferences::fileName));
    struct Staged {
        StagedCell place;
        MorrowindReference reference;
        int64_t door;
    };
    // Ids short and long (past what a string keeps in place), absent, and a
    // cell index and door number beyond 32 bits.
    const std::vector<Staged> staged = {
        {{7, -3, 12, false}, referenceOf("tree_a", "", "", 1.0f), -1},
        {{uint64_t{5} << 33 | 9, 0, 0, true}, referenceOf("a_door_of_a_rather_long_name_01", "the owner", "key_01", 2.0f),
         (int64_t{1} << 40) + 2},
        {{8, 100000, -100000, false}, referenceOf("x", "someone", "", 3.0f), 0},
    };
    for (const Staged& one : staged) references.add(one.place, one.reference, one.door);
    EXPECT_EQ(references.count(), staged.size());

    size_t next = 0;
    references.readBack([&](const StagedReference& read) {
        ASSERT_LT(next, staged.size());
        const Staged& expected = staged[next++];
        EXPECT_EQ(read.cell, expected.place.cell);
        EXPECT_EQ(read.gridX, expected.place.gridX);
        EXPECT_EQ(read.gridY, expected.place.gridY);
        EXPECT_EQ(read.interior, expected.place.interior);
        EXPECT_EQ(read.door, expected.door);
        EXPECT_EQ(read.reference.baseId, expected.reference.baseId);
        EXPECT_EQ(read.reference.owner, expected.reference.owner);
        EXPECT_EQ(read.reference.key, expected.reference.key);
        EXPECT_EQ(read.reference.placement, expected.reference.placement);
        EXPECT_EQ(read.reference.scale, expected.reference.scale);
        EXPECT_EQ(read.reference.unkept, expected.reference.unkept);
        EXPECT_EQ(read.reference.lockLevel, expected.reference.lockLevel);
        EXPECT_EQ(read.reference.count, expected.reference.count);
    });
    EXPECT_EQ(next, staged.size());
}
