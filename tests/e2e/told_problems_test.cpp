// Every problem a run tells on standard error is in the --report CSV too,
// with where in the input it is: the byte offset of its record and, where
// known, of the subrecord.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "npc_test_support.h"
#include "test_helpers.h"

using e2e::RunResult;
using e2e::WorkDir;
using npc_test::npc;

namespace {

// Where the first record of this type starts in the plugin's bytes, and
// the first subrecord of that type after it.
size_t offsetOf(const tes3::Bytes& bytes, const std::string& type, size_t from = 0) {
    std::string text(bytes.begin(), bytes.end());
    size_t at = text.find(type, from);
    EXPECT_NE(at, std::string::npos) << type;
    return at;
}

struct Case {
    const char* what;
    tes3::Record record;
    const char* recordType;
    const char* subrecordType;  // where the problem is, or null for the record alone
    std::string message;        // without its place
    std::string csvId;
};

}  // namespace

TEST(ToldProblems, EachProblemIsInTheCsvWithItsPlace) {
    tes3::Record malformedNpc("NPC_");
    malformedNpc.ztext("NAME", "lf_broken").sub("NPDT", tes4::Bytes(20, 0));
    tes3::Record misorderedGlobalHead("GLOB");
    misorderedGlobalHead.sub("FNAM", {'s'}).ztext("NAME", "lf_late").sub("FLTV", tes3::floats({1.0f}));
    tes3::Record cutGlobal("GLOB");
    cutGlobal.ztext("NAME", "lf_cut").raw({'F', 'L', 'T', 'V', 40, 0, 0, 0, 1, 2});
    std::vector<Case> cases;
    cases.push_back({"malformed NPC_", malformedNpc, "NPC_", "NPDT",
                     "The NPC_ record lf_broken is malformed (its NPDT subrecord holds 20 of 44 bytes). Ignoring!",
                     "NPC_ lf_broken"});
    cases.push_back({"oversized BOOK", tes3::book("lf_huge", "Huge", std::string(65535, 'h')), "BOOK", nullptr,
                     "The BOOK record lf_huge cannot be converted: its DESC subrecord would hold 65536 bytes, more "
                     "than 65535. Ignoring!",
                     "BOOK lf_huge"});
    // Placed at the subrecord where the order breaks.
    cases.push_back({"misordered GLOB", misorderedGlobalHead, "GLOB", "NAME",
                     "A GLOBal variable record did not follow NAME,FNAM,FLTV order. Ignoring!",
                     "GLOB without an editor ID"});
    cases.push_back({"cut subrecord", cutGlobal, "GLOB", "FLTV",
                     "The GLOB record lf_cut is malformed (its FLTV subrecord of 40 bytes runs past the end of the "
                     "record). Ignoring!",
                     "GLOB lf_cut"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkDir work;
        tes3::Plugin plugin;
        plugin.add(c.record).add(npc("lf_good"));
        plugin.save(work.path("input.esp"));
        RunResult run = work.run({"--report", "losses.csv", "input.esp"});
        ASSERT_EQ(run.status, 0) << run.err;

        tes3::Bytes bytes = plugin.bytes();
        size_t record = offsetOf(bytes, c.recordType, 16);
        std::string place = " (record at byte " + std::to_string(record) + " of input.esp";
        if (c.subrecordType != nullptr)
            place += ", subrecord at byte " + std::to_string(offsetOf(bytes, c.subrecordType, record + 16));
        place += ")";
        EXPECT_EQ(e2e::withoutLossReport(run.err), c.message + place + "\n");
        std::string csv = support::fileText(work.path("losses.csv"));
        std::string field = c.message + place;
        if (field.find(',') != std::string::npos) field = "\"" + field + "\"";
        EXPECT_NE(csv.find("\nskipped record," + c.csvId + ",1," + field + "\n"), std::string::npos) << csv;
        EXPECT_NE(e2e::lossReport(run.err).find("\tRecords skipped (see the messages above): 1: " + c.csvId + " (1)\n"),
                  std::string::npos)
            << run.err;
    }
}
