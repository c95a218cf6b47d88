// The tally of losses: order, totals, land textures found again, the CSV.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e_run.h"
#include "services/losses.h"

using landfer::LossKind;
using landfer::Losses;

TEST(Losses, MostFrequentFirstAndFirstMetOnATie) {
    Losses losses;
    EXPECT_TRUE(losses.empty());
    losses.note(LossKind::placedReference, "b");
    losses.note(LossKind::placedReference, "a");
    losses.note(LossKind::placedReference, "c", 3);
    losses.note(LossKind::placedReference, "a");
    auto list = losses.entries(LossKind::placedReference);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].identifier, "c");
    EXPECT_EQ(list[1].identifier, "a");
    EXPECT_EQ(list[2].identifier, "b");
    EXPECT_EQ(losses.total(LossKind::placedReference), 6);
    EXPECT_EQ(losses.total(LossKind::race), 0);
    EXPECT_FALSE(losses.empty());
}

TEST(Losses, LandTexturesFoundAgainAreNoLossAndSquaresCountByNumber) {
    Losses losses;
    losses.noteLandTexture(2, "moss.dds", false);
    losses.noteLandTexture(3, "rock.dds", false);
    losses.noteLandTexture(3, "rock.dds", true);  // a later record of the number is found
    losses.noteUnpaintedSquares(2, 10);
    losses.noteUnpaintedSquares(2, 5);
    losses.noteUnpaintedSquares(7, 1);
    losses.noteUnpaintedSquares(8, 0);
    EXPECT_EQ(losses.total(LossKind::landTexture), 2);
    EXPECT_EQ(losses.unpaintedSquares(), 16);
    auto list = losses.entries(LossKind::landTexture);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].identifier, "moss.dds");
    EXPECT_EQ(list[0].count, 15);
    EXPECT_EQ(list[1].identifier, "texture number 7 without LTEX");

    // A texture that paints nothing is still a loss; a default-ground land none.
    Losses unused;
    unused.noteLandTexture(4, "unused.dds", false);
    EXPECT_FALSE(unused.empty());
    Losses none;
    none.noteUnpaintedSquares(5, 0);
    EXPECT_TRUE(none.empty());
}

TEST(Losses, ReportListsTenAndCountsTheRest) {
    Losses losses;
    for (int i = 0; i < 12; ++i) losses.note(LossKind::journalRestart, "topic" + std::to_string(i));
    losses.note(LossKind::defaultClass, "");
    FILE* progress = std::tmpfile();
    FILE* messages = std::tmpfile();
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(messages, nullptr);
    landfer::printLossReport(landfer::Reporter(progress, messages), losses);
    std::string printed = e2e::readStream(messages);
    EXPECT_EQ(e2e::readStream(progress), "");  // the report is a message, not progress
    std::fclose(progress);
    std::fclose(messages);
    EXPECT_EQ(printed,
              "Not carried over:\n"
              "\tNPCs given the default class (class not in classes.dat): 1: (none) (1)\n"
              "\tJournal restarts dropped (the stages are kept): 12: topic0 (1), topic1 (1), topic2 (1), topic3 (1), "
              "topic4 (1), topic5 (1), topic6 (1), topic7 (1), topic8 (1), topic9 (1), and 2 more\n");
    EXPECT_EQ(landfer::lossCsv(losses).substr(0, 29), "kind,identifier,count,became\n");
}

TEST(Losses, ControlCharactersAreEscapedForALineOfAMessage) {
    EXPECT_EQ(landfer::withControlCharactersEscaped("a\nb\rc\td\x01" "e\x7F" "f\\g"), "a\\nb\\rc\\td\\x01e\\x7Ff\\g");
    EXPECT_EQ(landfer::withControlCharactersEscaped("plain text, \"quoted\""), "plain text, \"quoted\"");
}
