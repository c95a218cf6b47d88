// The shipped sample plugin converts, and reads back whole.
#include <gtest/gtest.h>

#include "e2e_run.h"

TEST(SamplePlugin, ConvertsAndReadsBack) {
    e2e::WorkDir work;
    e2e::RunResult made = work.runProgram(LANDFER_MAKE_SAMPLE, {"sample.esp"});
    ASSERT_EQ(made.status, 0) << made.err;
    // The generator is deterministic.
    e2e::RunResult again = work.runProgram(LANDFER_MAKE_SAMPLE, {"again.esp"});
    ASSERT_EQ(again.status, 0);
    EXPECT_EQ(tes4::readFileBytes(work.path("sample.esp")), tes4::readFileBytes(work.path("again.esp")));

    e2e::RunResult run = work.run({"sample.esp"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    tes4::File file = work.output();
    tes4::checkTopGroupTypes(file);
    EXPECT_EQ(file.records("GLOB").size(), 3u);
    EXPECT_EQ(file.records("BOOK").size(), 2u);
    EXPECT_NE(run.out.find("\tTotal Global variables:                 3\n"), std::string::npos);
    EXPECT_NE(run.out.find("\tTotal Books:                            2\n"), std::string::npos);
}
