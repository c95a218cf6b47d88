// The pure pieces of the dialogue: cutting texts, the goodbye of a
// script, topic names in texts, Morrowind's order of responses and the
// yes-or-no filters turned round.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/dialogue_conditions.h"
#include "records/dialogue_order.h"
#include "records/dialogue_text.h"
#include "e2e_run.h"
#include "services/converted_ids.h"
#include "services/problems.h"

using namespace landfer;

TEST(DialogueText, CutAtSpacesIntoPiecesOfTheLimit) {
    EXPECT_EQ(splitResponseText(""), std::vector<std::string>{""});
    EXPECT_EQ(splitResponseText("short"), std::vector<std::string>{"short"});
    EXPECT_EQ(splitResponseText("aaa bbb ccc", 7), (std::vector<std::string>{"aaa bbb", "ccc"}));
    EXPECT_EQ(splitResponseText("aaa  bbb   ccc", 4), (std::vector<std::string>{"aaa", "bbb", "ccc"}));
    EXPECT_EQ(splitResponseText("abcdefghij", 4), (std::vector<std::string>{"abcd", "efgh", "ij"}));
    EXPECT_EQ(splitResponseText("ab cdefghij", 4), (std::vector<std::string>{"ab", "cdef", "ghij"}));
    EXPECT_EQ(splitResponseText("1234 ", 4), std::vector<std::string>{"1234"});
}

TEST(DialogueText, GoodbyeAsAWordOutsideComments) {
    EXPECT_TRUE(saysGoodbye("Goodbye"));
    EXPECT_TRUE(saysGoodbye("set x to 1\r\n  goodbye  \r\n"));
    EXPECT_FALSE(saysGoodbye("; Goodbye later\nset x to 1"));
    EXPECT_FALSE(saysGoodbye("MessageBox \"Goodbyes\""));
    EXPECT_FALSE(saysGoodbye(""));
}

TEST(DialogueText, TopicNamesAsWholeWordsInAnyCase) {
    TopicNames names;
    names.add("Vivec", 1);
    names.add("little secret", 2);
    names.add("Viv", 3);
    names.add("-odd", 4);
    names.add("Dwemer?", 5);
    EXPECT_EQ(names.namedIn("VIVEC's LITTLE SECRET"), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(names.namedIn("little secrets, vivid, Vivecs"), std::vector<size_t>{});
    EXPECT_EQ(names.namedIn("viv viv Viv"), std::vector<size_t>{3});
    EXPECT_EQ(names.namedIn("the -odd one"), std::vector<size_t>{});
    EXPECT_EQ(names.namedIn("dwemer?x"), std::vector<size_t>{5});
}

TEST(DialogueOrder, ChainsThroughThePreviousResponse) {
    EXPECT_EQ(chainOrder({{"b", "a"}, {"c", "b"}, {"a", ""}}), (std::vector<size_t>{2, 0, 1}));
    // Two that follow one: in input order; a previous one outside the topic starts a chain.
    EXPECT_EQ(chainOrder({{"a", ""}, {"c", "a"}, {"b", "a"}, {"x", "elsewhere"}}), (std::vector<size_t>{0, 1, 2, 3}));
    // A loop comes last, in input order.
    EXPECT_EQ(chainOrder({{"a", "b"}, {"b", "a"}, {"c", ""}}), (std::vector<size_t>{2, 0, 1}));
    EXPECT_EQ(chainOrder({{"a", "a"}}), std::vector<size_t>{0});
}

namespace {

struct NoNpcs : ConvertedNpcs {
    bool find(const std::string&, uint8_t[4]) const override { return false; }
};
struct NoCells : ConvertedCells {
    std::vector<uint32_t> withNamePrefix(std::string_view) const override { return {}; }
};

}  // namespace

TEST(DialogueConditions, NotFiltersTurnedRoundAndNeverHolding) {
    e2e::WorkDir work;  // its lfdat/ holds classes.dat and the item files
    NoNpcs npcs;
    NoCells cells;
    ConvertedIdIndex quests, globals;
    Reporter reporter;
    Losses losses;
    Problems problems(reporter, losses);
    ClassTable classes(work.path("lfdat"), problems);
    ItemTable items(work.path("lfdat"), problems);
    DialogueSources sources{npcs, cells, quests, globals, classes, items};
    auto with = [&](const std::string& rule, int32_t value) {
        MorrowindResponse response;
        response.filters.push_back({rule, false, value, 0});
        return convertConditions(response, sources);
    };
    // Not race: "not Dark Elf == 1" is "Dark Elf == 0", and so are "not Dark Elf > 0" and "!= 0".
    for (const auto& [rule, value] : std::vector<std::pair<std::string, int32_t>>{
             {"0AXX0Dark Elf", 1}, {"0AXX2Dark Elf", 0}, {"0AXX1Dark Elf", 0}}) {
        ConvertedConditions result = with(rule, value);
        ASSERT_EQ(result.conditions.size(), 1u) << rule;
        EXPECT_EQ(result.conditions[0].function, 69);
        EXPECT_EQ(result.conditions[0].value, 0.0f) << rule;
        EXPECT_EQ(result.conditions[0].typeFlags, 0x00) << rule;
    }
    EXPECT_TRUE(with("0AXX3Dark Elf", 0).conditions.empty());  // always holds: no condition
    EXPECT_TRUE(with("0AXX3Dark Elf", 0).lostReason.empty());
    EXPECT_EQ(with("0AXX2Dark Elf", 1).lostReason, "a filter that never holds");
    EXPECT_EQ(with("0AXX0Khajiit Lord", 0).lostReason, "race Khajiit Lord outside the race table");
    EXPECT_EQ(with("01590", 0).lostReason, "function 59 without an Oblivion counterpart");
    EXPECT_TRUE(with("01500", 1).scriptOnly);
    EXPECT_EQ(with("0BXX0Balmora", 0).lostReason, "cell Balmora not in the output");
    EXPECT_EQ(with("x", 0).lostReason, "a filter Landfer cannot read");
    quests.add("LF_Quest", 0x01000123);
    ConvertedConditions journal = with("04JX5lf_quest", 30);
    ASSERT_EQ(journal.conditions.size(), 1u);
    EXPECT_EQ(journal.conditions[0].typeFlags, 0xA0);
    EXPECT_EQ(journal.conditions[0].parameter1, 0x01000123u);
}
