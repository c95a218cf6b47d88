// The paths of a run: what the input, the output and the loss report may
// be, checked before anything is touched, and the output put in place of
// an older LANDFER.ESP only when the run succeeds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "tes3_builder.h"

using e2e::RunResult;
using e2e::WorkDir;

namespace fs = std::filesystem;

namespace {

const tes3::Bytes plugin = tes3::Plugin().add(tes3::global("g", 'f', 1)).bytes();
const std::string leftOver = "left over by an earlier run";

// A stale temporary file and the input: what a refused run must leave as it is.
void prepare(const WorkDir& work) {
    work.writeFile("input.esp", plugin);
    work.writeFile("cell1.tmp", leftOver);
}

// The run was refused before it touched anything.
void expectUntouched(const WorkDir& work, const RunResult& run, const std::string& message, const std::string& what) {
    EXPECT_EQ(run.status, 1) << what;
    EXPECT_EQ(run.err, message) << what;
    EXPECT_EQ(run.out, "") << what;
    EXPECT_FALSE(work.exists("LANDFER.ESP")) << what;
    EXPECT_EQ(tes4::readFileBytes(work.path("cell1.tmp")), tes3::Bytes(leftOver.begin(), leftOver.end())) << what;
}

}  // namespace

TEST(RunPaths, AReportInThePlaceOfAFileOfTheRunIsRefusedTouchingNothing) {
    WorkDir work;
    prepare(work);
    const tes3::Bytes armour = tes4::readFileBytes(work.path("lfdat/armour.dat"));
    fs::create_symlink("lfdat/classes.dat", work.path("classes_link.csv"));
    struct Case {
        std::string report;
        const char* overwritten;
    };
    std::vector<Case> cases = {
        {"./LANDFER.ESP", "a plugin"},              // the output, before it exists
        {work.path("LANDFER.ESP"), "a plugin"},
        {"lfdat/../LANDFER.ESP", "a plugin"},
        {"./input.esp", "a plugin"},
        {"LANDFER.ESP.tmp", "a temporary file of the run"},  // the output while it is written
        {"world.tmp", "a temporary file of the run"},
        {"./cell1.tmp", "a temporary file of the run"},
        {"lfdat/armour.dat", "a lookup file"},
        {"lfdat/losses.csv", "a lookup file"},  // a file of its own in the lookup directory
        {"classes_link.csv", "a lookup file"},
    };
    if (!e2e::convertsUnderWindows()) {  // a link that leads nowhere yet: Windows has none of its own
        fs::create_symlink("LANDFER.ESP", work.path("output_link.csv"));
        cases.push_back({"output_link.csv", "a plugin"});
    }
    for (const Case& c : cases) {
        RunResult run = work.run({"--report", c.report, "input.esp"});
        expectUntouched(work, run,
                        "The report file " + c.report + " would overwrite " + c.overwritten + "; name another file.\n",
                        c.report);
        EXPECT_FALSE(work.exists("world.tmp")) << c.report;
        EXPECT_FALSE(work.exists("lfdat/losses.csv")) << c.report;
    }
    EXPECT_EQ(tes4::readFileBytes(work.path("lfdat/armour.dat")), armour);
}

TEST(RunPaths, AnInputNamedLikeATemporaryFileIsRefusedTouchingNothing) {
    WorkDir work;
    prepare(work);
    fs::create_directory(work.path("elsewhere"));
    work.writeFile("elsewhere/plugin.esp", plugin);
    for (const char* name : {"world.tmp", "npcs.tmp", "cell2.tmp", "LANDFER.ESP.tmp"}) work.writeFile(name, plugin);
    fs::create_symlink("world.tmp", work.path("link.esp"));                  // a link to one
    fs::create_symlink("elsewhere/plugin.esp", work.path("quest.tmp"));      // a link named like one
    for (const std::string& input :
         {std::string("world.tmp"), std::string("./npcs.tmp"), work.path("cell2.tmp"), std::string("LANDFER.ESP.tmp"),
          std::string("link.esp"), std::string("quest.tmp")}) {
        RunResult run = work.run({input});
        expectUntouched(work, run,
                        "The input file " + input +
                            " is a temporary file of the run, which the run deletes; rename it or run in another "
                            "folder\n",
                        input);
        for (const char* name : {"world.tmp", "npcs.tmp", "cell2.tmp", "LANDFER.ESP.tmp", "quest.tmp"})
            EXPECT_EQ(tes4::readFileBytes(work.path(name)), plugin) << input << ": " << name;
    }
    // The same name in another folder is no file of the run.
    work.writeFile("elsewhere/world.tmp", plugin);
    RunResult other = work.run({"elsewhere/../elsewhere/world.tmp"});
    EXPECT_EQ(other.status, 0) << other.err;
}

TEST(RunPaths, AFailedRunLeavesTheOldOutputAndReportWholeAndNoPartialFile) {
    WorkDir work;
    work.writeFile("input.esp", plugin);
    ASSERT_EQ(work.run({"--report", "old.csv", "input.esp"}).status, 0);
    const tes3::Bytes oldOutput = work.outputBytes();
    const tes3::Bytes oldReport = tes4::readFileBytes(work.path("old.csv"));

    // A run that fails at the end of its input, after its books and globals are staged.
    tes3::Plugin failing;
    for (int i = 0; i < 20; ++i) failing.add(tes3::book("bk" + std::to_string(i), "Book", std::string(3000, 'x')));
    failing.add(tes3::global("late", 's', 2)).raw({'G', 'L', 'O', 'B', 0});
    work.writeFile("failing.esp", failing.bytes());
    for (const std::vector<std::string>& args : {std::vector<std::string>{"failing.esp"},
                                                 {"--report", "old.csv", "failing.esp"},
                                                 {"--report", "new.csv", "failing.esp"}}) {
        RunResult run = work.run(args);
        EXPECT_EQ(run.status, 1) << args.back();
        EXPECT_EQ(run.err, "Unable to read a whole record header (5 of 16 bytes) at the end of failing.esp\n");
        EXPECT_EQ(work.outputBytes(), oldOutput);
        EXPECT_EQ(tes4::readFileBytes(work.path("old.csv")), oldReport);
        // Nothing of the failed run is left: no partial output, no staged file, no empty new report.
        std::vector<std::string> files = work.files();
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (std::vector<std::string>{"LANDFER.ESP", "failing.esp", "input.esp", "lfdat", "old.csv"}));
    }
    // A run that succeeds replaces whatever LANDFER.ESP held.
    work.writeFile("LANDFER.ESP", std::string("older and broken"));
    RunResult replaced = work.run({"input.esp"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(work.outputBytes(), oldOutput);
    EXPECT_FALSE(work.exists("LANDFER.ESP.tmp"));
}

TEST(CommandLine, TwoInputsAnEmptyReportNameOrAFifoAreUsageErrors) {
    WorkDir work;
    prepare(work);
    work.writeFile("b.esp", plugin);
    const std::string tryHelp = "Try " + e2e::converterName() + " --help for the list of options.\n";
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    std::vector<Case> cases = {
        {{"input.esp", "b.esp"},
         "Only one input plugin can be converted at a time, but 2 are named (input.esp, b.esp).\n" + tryHelp},
        {{"input.esp", "b.esp", "c.esp"},
         "Only one input plugin can be converted at a time, but 3 are named (input.esp, b.esp, ...).\n" + tryHelp},
        {{"--report", "", "input.esp"}, "The option --report needs a file name.\n" + tryHelp},
        {{"input.esp", "--report="}, "The option --report needs a file name.\n" + tryHelp},
        {{"--models", "", "input.esp"}, "The option --models needs a folder name.\n" + tryHelp},
    };
    if (!e2e::convertsUnderWindows()) {
        EXPECT_EQ(mkfifo(work.path("fifo.esp").c_str(), 0600), 0);
        cases.push_back({{"fifo.esp"}, "Unable to open fifo.esp for reading: Not a regular file\n"});
    }
    fs::create_directory(work.path("folder.esp"));
    cases.push_back({{"folder.esp"}, "Unable to open folder.esp for reading: Not a regular file\n"});
    for (const Case& c : cases) {
        e2e::RunLimits limits;
        limits.timeoutSeconds = 10;  // opening the FIFO for reading would wait for a writer forever
        RunResult run = work.run(c.args, limits);
        EXPECT_EQ(run.signal, 0) << c.args[0];
        expectUntouched(work, run, c.message, c.args[0]);
    }
}
