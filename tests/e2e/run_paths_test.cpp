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
#include "run_output.h"
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

// A run of input.esp with the report old.csv: what a failed run after it
// must leave as it is.
struct EarlierRun {
    explicit EarlierRun(const WorkDir& work) {
        work.writeFile("input.esp", plugin);
        EXPECT_EQ(work.run({"--report", "old.csv", "input.esp"}).status, 0);
        output = work.outputBytes();
        report = tes4::readFileBytes(work.path("old.csv"));
    }
    // Its output and report as they were, and nothing of the failed run
    // (no partial output, no staging folder, no empty new report) beside
    // the input files and lfdat/.
    void expectKept(const WorkDir& work, std::vector<std::string> inputs, const std::string& what) const {
        EXPECT_EQ(work.outputBytes(), output) << what;
        EXPECT_EQ(tes4::readFileBytes(work.path("old.csv")), report) << what;
        std::vector<std::string> files = work.files();
        std::sort(files.begin(), files.end());
        inputs.insert(inputs.end(), {"LANDFER.ESP", "input.esp", "lfdat", "old.csv"});
        std::sort(inputs.begin(), inputs.end());
        EXPECT_EQ(files, inputs) << what;
    }
    tes3::Bytes output, report;
};

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
    const EarlierRun earlier(work);

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
        earlier.expectKept(work, {"failing.esp"}, args.back());
    }
    // A run that succeeds replaces whatever LANDFER.ESP held.
    work.writeFile("LANDFER.ESP", std::string("older and broken"));
    RunResult replaced = work.run({"input.esp"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(work.outputBytes(), earlier.output);
    EXPECT_FALSE(work.exists("LANDFER.ESP.tmp"));
}

TEST(RunPaths, AReportNamingAMasterIsRefusedTouchingNothing) {
    WorkDir work;
    prepare(work);
    work.writeFile("m.esm", plugin);
    fs::create_hard_link(work.path("m.esm"), work.path("hard.csv"));
    std::vector<std::string> reports = {"m.esm", "./m.esm", work.path("m.esm"), "hard.csv"};
    if (!e2e::convertsUnderWindows()) {
        fs::create_symlink("m.esm", work.path("soft.csv"));
        reports.push_back("soft.csv");
    }
    for (const std::string& report : reports) {
        RunResult run = work.run({"--master", "m.esm", "--report", report, "input.esp"});
        expectUntouched(work, run, "The report file " + report + " would overwrite a plugin; name another file.\n",
                        report);
        EXPECT_EQ(tes4::readFileBytes(work.path("m.esm")), plugin) << report;
    }
}

// A master that the start of the run would delete, that the output would
// replace, or whose opening would wait forever is refused as such an input is.
TEST(RunPaths, AMasterTheRunWouldDestroyOrWaitOnIsRefusedTouchingNothing) {
    WorkDir work;
    prepare(work);
    for (const char* name : {"world.tmp", "statics.tmp", "LANDFER.ESP.tmp", "quest_indx.tmp"}) work.writeFile(name, plugin);
    std::vector<std::string> temporary = {"world.tmp", "./statics.tmp", "LANDFER.ESP.tmp", work.path("quest_indx.tmp"),
                                          "cell1.tmp"};
    if (!e2e::convertsUnderWindows()) {
        fs::create_symlink("world.tmp", work.path("link.esm"));
        temporary.push_back("link.esm");
    }
    for (const std::string& master : temporary) {
        RunResult run = work.run({"--master", master, "input.esp"});
        expectUntouched(work, run,
                        "The master file " + master +
                            " is a temporary file of the run, which the run deletes; rename it or run in another "
                            "folder\n",
                        master);
        for (const char* name : {"world.tmp", "statics.tmp", "LANDFER.ESP.tmp", "quest_indx.tmp"})
            EXPECT_EQ(tes4::readFileBytes(work.path(name)), plugin) << master << ": " << name;
    }
    for (const std::string& master : {std::string("LANDFER.ESP"), std::string("./LANDFER.ESP")}) {
        RunResult run = work.run({"--master", master, "input.esp"});  // before there is one
        expectUntouched(work, run,
                        "The master file " + master + " is the output file LANDFER.ESP; rename it or run in another "
                        "folder\n",
                        master);
    }
    work.writeFile("LANDFER.ESP", plugin);  // a plugin by that name, which the output would replace
    RunResult output = work.run({"--master", "LANDFER.ESP", "input.esp"});
    EXPECT_EQ(output.status, 1);
    EXPECT_EQ(output.err,
              "The master file LANDFER.ESP is the output file LANDFER.ESP; rename it or run in another folder\n");
    EXPECT_EQ(work.outputBytes(), plugin);
    EXPECT_TRUE(work.exists("cell1.tmp"));
    fs::remove(work.path("LANDFER.ESP"));

    fs::create_directory(work.path("folder.esm"));
    std::vector<std::string> special = {"folder.esm"};
    if (!e2e::convertsUnderWindows()) {
        ASSERT_EQ(mkfifo(work.path("pipe.esm").c_str(), 0600), 0);
        special.push_back("pipe.esm");
    }
    e2e::RunLimits limits;
    limits.timeoutSeconds = 10;  // opening the FIFO would wait for a writer forever
    for (const std::string& master : special) {
        RunResult run = work.run({"--master", master, "input.esp"}, limits);
        EXPECT_EQ(run.signal, 0) << master;
        expectUntouched(work, run, "Unable to open " + master + " for reading: Not a regular file\n", master);
    }
}

// The report is written whole beside the partial output before either takes
// its place: one that cannot be written (the disk full) leaves the older
// output and the older report as they were.
TEST(RunPaths, AReportThatCannotBeWrittenLeavesTheOldOutputAndReport) {
    SKIP_UNDER_WINDOWS("a file size limit (RLIMIT_FSIZE) is a POSIX resource limit");
    WorkDir work;
    const EarlierRun earlier(work);

    // Voice topics of long names: each a line of the report, nothing of the output.
    tes3::Plugin lossy;
    for (int i = 0; i < 40; ++i)
        lossy.add(tes3::topic(std::string(1000, 'v') + std::to_string(i), 1)).add(tes3::response("1234567", "hi", 0));
    work.writeFile("lossy.esp", lossy.bytes());
    e2e::RunLimits limits;
    limits.fileSizeLimit = 8000;  // room for the output, not for the report
    for (const char* report : {"old.csv", "new.csv"}) {
        RunResult run = work.run({"--report", report, "lossy.esp"}, limits);
        EXPECT_EQ(run.status, 1) << report;
        EXPECT_EQ(e2e::withoutStagingFolder(run.err), "Unable to write to report.csv.tmp: File too large\n") << report;
        earlier.expectKept(work, {"lossy.esp"}, report);
    }
    // Without the limit both take their places.
    RunResult whole = work.run({"--report", "old.csv", "lossy.esp"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_NE(work.outputBytes(), earlier.output);
    EXPECT_GT(tes4::readFileBytes(work.path("old.csv")).size(), 40000u);
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
