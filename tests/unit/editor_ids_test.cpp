#include "services/editor_ids.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace landfer {
namespace {

TEST(EditorIds, TheFirstKeepsItsNameInAnyLetterCase) {
    EditorIds ids;
    EXPECT_EQ(ids.unique("Landfer"), "Landfer");
    EXPECT_EQ(ids.unique("landfer"), "landfer2");
    EXPECT_EQ(ids.unique("LANDFER"), "LANDFER3");
    EXPECT_TRUE(ids.taken("LANDFER2"));
    EXPECT_FALSE(ids.taken("landfer4"));
}

TEST(EditorIds, ANumberedNameMetAgainTakesANumberOfItsOwn) {
    EditorIds ids;
    EXPECT_EQ(ids.unique("Riverside"), "Riverside");
    EXPECT_EQ(ids.unique("Riverside"), "Riverside2");
    EXPECT_EQ(ids.unique("Riverside2"), "Riverside22");
    // A name claimed from outside the numbering is stepped over.
    EXPECT_EQ(ids.unique("Riverside3"), "Riverside3");
    EXPECT_EQ(ids.unique("riverside"), "riverside4");
}

TEST(EditorIds, EverySuffixIsClaimedAndMustBeFree) {
    EditorIds ids;
    EXPECT_EQ(ids.unique("A SE"), "A SE");
    // "A SE" is taken, so the cell stem "A" gets the number 2.
    EXPECT_EQ(ids.unique("A", {" SW", " SE", " NW", " NE"}), "A2");
    for (const char* quad : {"a2 sw", "a2 se", "a2 nw", "a2 ne"}) EXPECT_TRUE(ids.taken(quad)) << quad;
    EXPECT_FALSE(ids.taken("A2"));
    // The stem itself is free for a record without suffixes.
    EXPECT_EQ(ids.unique("A"), "A");
    // Numbers are kept per stem and suffixes: "A2" is taken now, but for
    // the cells of another "A" the smallest number that frees all four is 3.
    EXPECT_EQ(ids.unique("a", {" SW", " SE", " NW", " NE"}), "a3");
    // A record without suffixes needs only "A2" itself free.
    EXPECT_EQ(ids.unique("A"), "A2");
    EXPECT_EQ(ids.unique("A"), "A3");
}

TEST(EditorIds, AnEmptyStemClaimsNothing) {
    EditorIds ids;
    EXPECT_EQ(ids.unique(""), "");
    EXPECT_EQ(ids.unique(""), "");
    EXPECT_FALSE(ids.taken(""));
}

// Twenty thousand records of one stem: each takes the next number at once.
// Searching from 2 every time took about 16 seconds for as many statics.
TEST(EditorIds, ManyRecordsOfOneStemAreNumberedInLinearTime) {
    EditorIds ids;
    const auto start = std::chrono::steady_clock::now();
    std::string last;
    for (int i = 0; i < 100000; ++i) last = ids.unique(i % 2 == 0 ? "flora_tree" : "FLORA_TREE");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(last, "FLORA_TREE100000");
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
}  // namespace landfer
