// The conversion run as the user meets it: command line, input checks,
// progress, record count, summary, temporary files and fatal errors.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "address_space_limit.h"
#include "e2e_run.h"
#include "run_output.h"
#include "tes3_every_record.h"
#include "tes3_land.h"

using e2e::RunResult;
using e2e::WorkDir;

namespace {

// What earlier versions staged in the working directory.
const char* const temporaryFiles[] = {"cell1.tmp",   "cell2.tmp",       "cell3.tmp",      "cell4.tmp",
                                      "npcs.tmp",    "cell_names.tmp",  "quest_indx.tmp", "quest.tmp",
                                      "globals.tmp", "books.tmp", "npc_records.tmp", "world.tmp",
                                      "references.tmp", "statics.tmp", "containers.tmp", "lights.tmp",
                                      "activators.tmp", "dialogue.tmp", "LANDFER.ESP.tmp"};

std::string summary(int globals, int books) {
    return "\n\nLandfer has finished. The new data has been written to LANDFER.ESP\n\n"
           "\tTotal Exterior CELLs:                   0\n"
           "\tTotal Interior CELLs:                   0\n"
           "\tTotal LAND records:                     0\n"
           "\tTotal NPC_ records:                     0\n"
           "\tTotal Placed NPCs:                      0\n"
           "\tTotal Placed objects:                   0\n"
           "\tTotal Doors linked:                     0\n"
           "\tTotal Items placed:                     0\n"
           "\tTotal Inventory Swapped:                0\n"
           "\tTotal Global variables:                 " + std::to_string(globals) + "\n"
           "\tTotal Books:                            " + std::to_string(books) + "\n"
           "\tTotal Quests:                           0\n"
           "\tTotal Journal entries:                  0\n"
           "\tTotal Dialogue topics:                  0\n"
           "\tTotal Dialogue responses:               0\n";
}

std::string banner() {
    return "\n  ---------------------------------------------------------------------------\n"
           " | Landfer: A program to import TES3 Morrowind landscapes into TES4 Oblivion |\n"
           "  ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\n\n"
           "Usage: " + e2e::converterName() + " input_filename.esp\n\n";
}

}  // namespace

TEST(CommandLine, NoArgumentPrintsTheBannerAndTouchesNoFile) {
    WorkDir work;
    work.writeFile("cell1.tmp", std::string("left over"));
    RunResult result = work.run({});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, banner());
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(work.exists("cell1.tmp"));
    EXPECT_FALSE(work.exists("LANDFER.ESP"));
}

TEST(CommandLine, VersionLineEndsTheRunWithStatus0) {
    WorkDir work;
    const std::string version = "LANDFER Version 0.25: (Nov-2006->Feb-2007): by the Landfer developers\n";
    for (const char* option : {"-v", "-V"}) {
        RunResult alone = work.run({option});
        EXPECT_EQ(alone.status, 0);
        EXPECT_EQ(alone.out, version);
        RunResult withInput = work.run({option, "missing.esp"});
        EXPECT_EQ(withInput.status, 0);
        EXPECT_EQ(withInput.out, version);
        RunResult after = work.run({"missing.esp", option});  // getopt finds options anywhere
        EXPECT_EQ(after.out, version);
    }
    EXPECT_FALSE(work.exists("LANDFER.ESP"));
}

TEST(CommandLine, UnknownOptionGivesUsage) {
    WorkDir work;
    RunResult result = work.run({"-x", "input.esp"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Usage: " + e2e::converterName() +
                              " [-V] original.esp\n\n\t-V : Display current Version, then exit.\n"),
              std::string::npos);
}

TEST(InputChecks, OnlyTes3PluginsAreTaken) {
    WorkDir work;
    RunResult missing = work.run({"missing.esp"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Unable to open missing.esp for reading: No such file or directory\n");

    // Too short to tell: said as such, not as a system error text ("Success").
    work.writeFile("short.esp", std::string("TE"));
    RunResult tooShort = work.run({"short.esp"});
    EXPECT_EQ(tooShort.status, 1);
    EXPECT_EQ(tooShort.err,
              "Unable to read any data from short.esp to determine it's file type: the file holds only 2 bytes\n");
    work.writeFile("empty.esp", std::string());
    RunResult empty = work.run({"empty.esp"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "Unable to read any data from empty.esp to determine it's file type: the file is empty\n");

    work.writeFile("oblivion.esp", std::string("TES4 and more"));
    RunResult tes4 = work.run({"oblivion.esp"});
    EXPECT_EQ(tes4.status, 1);
    EXPECT_EQ(tes4.err,
              "\nThis file (oblivion.esp) is already a TES4:Oblivion file!\nLandfer is only designed to convert "
              "_from_ TES3 files _to_ TES4.Please Use Gravnok or Halvstrom instead.\n\n");

    work.writeFile("other.esp", std::string("AB\0\0xyz", 7));
    RunResult other = work.run({"other.esp"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err,
              "?? I do not recognize this type of file. It should start with TES3, but the file you specified "
              "(other.esp) starts with AB!\n");
    EXPECT_FALSE(work.exists("LANDFER.ESP"));
}

TEST(ConversionRun, EmptyPluginGivesTheHeaderAndTheSummary) {
    WorkDir work;
    RunResult result = work.convert(tes3::Plugin());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Landfer is now reading input.esp ... \n" + summary(0, 0));
    tes4::Bytes bytes = work.outputBytes();
    ASSERT_EQ(bytes.size(), 85u);
    // No record and no group: a count of 0 in bytes 30 to 33; the rest is the fixed header.
    EXPECT_EQ(tes4::u32(bytes, 30), 0u);
    tes4::File file = work.output();
    EXPECT_EQ(file.header.type, "TES4");
    EXPECT_TRUE(file.groups.empty());
}

TEST(ConversionRun, RecordCountCountsBooksAndGlobalsWithTheirGroups) {
    WorkDir work;
    tes3::Plugin plugin;
    for (int i = 0; i < 3; ++i) plugin.add(tes3::book("bk" + std::to_string(i), "Book", "text"));
    plugin.add(tes3::global("a", 's', 1)).add(tes3::global("b", 's', 2));
    RunResult result = work.convert(plugin);
    ASSERT_EQ(result.status, 0) << result.err;
    // (3 + 1) + (2 + 1): every record and every group
    EXPECT_EQ(tes4::u32(work.outputBytes(), 30), 7u);
    EXPECT_EQ(work.output().groups.size(), 2u);
    EXPECT_EQ(result.out, "Landfer is now reading input.esp ... \nBBBGG" + summary(2, 3));
}

TEST(ConversionRun, EveryTenthSkippedRecordWritesADot) {
    WorkDir work;
    // The TES3 header counts as the first skipped record.
    tes3::Plugin nine;
    for (int i = 0; i < 9; ++i) nine.add(tes3::plainRecord("ACTI", "a"));
    RunResult dot = work.convert(nine);
    EXPECT_EQ(dot.out, "Landfer is now reading input.esp ... \n." + summary(0, 0));

    tes3::Plugin eight;
    for (int i = 0; i < 8; ++i) eight.add(tes3::plainRecord("ACTI", "a"));
    for (int i = 0; i < 30; ++i) eight.add(tes3::plainRecord("STAT", "s"));  // never counted
    EXPECT_EQ(work.convert(eight).out, "Landfer is now reading input.esp ... \n" + summary(0, 0));

    // Handled records leave the counter alone; the header and nine skipped records make ten.
    tes3::Plugin mixed;
    for (int i = 0; i < 5; ++i) mixed.add(tes3::plainRecord("ACTI", "a"));
    mixed.add(tes3::global("g", 's', 0));
    for (int i = 0; i < 4; ++i) mixed.add(tes3::plainRecord("MISC", "m"));
    mixed.add(tes3::plainRecord("INFO", "i"));  // no journal topic before it: skipped, not counted
    EXPECT_EQ(work.convert(mixed).out, "Landfer is now reading input.esp ... \nG." + summary(1, 0));
}

TEST(ConversionRun, TemporaryFilesAreDeletedAtStartAndEnd) {
    WorkDir work;
    for (const char* name : temporaryFiles) work.writeFile(name, std::string("stale data of an earlier run"));
    RunResult result = work.convert(tes3::Plugin()
                                        .add(tes3::global("g", 'f', 1))
                                        .add(tes3::book("b", "B", "text"))
                                        .add(tes3::cell("Named", 0, 0))
                                        .add(tes3::land(0, 0, [](int, int) { return 0; })));
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* name : temporaryFiles) EXPECT_FALSE(work.exists(name)) << name;
    EXPECT_TRUE(e2e::stagingFolders(work.files()).empty());  // the run's own staging is gone too
    EXPECT_EQ(work.output().records("GLOB").size(), 1u);  // no stale staged record came along
}

TEST(ConversionRun, WriteErrorsEndTheRunWithStatus1) {
    SKIP_UNDER_WINDOWS("a file size limit (RLIMIT_FSIZE) is a POSIX resource limit");
    WorkDir work;
    tes3::Plugin plugin;
    for (int i = 0; i < 40; ++i) plugin.add(tes3::book("bk" + std::to_string(i), "Book", std::string(3000, 'x')));
    work.writeFile("input.esp", plugin.bytes());
    // The books wait in the staging folder's books.tmp: small limits fail
    // at its flush, larger ones in the middle of the run; the failed run's
    // folder is removed.
    for (long limit : {90L, 5000L, 60000L}) {
        e2e::RunLimits limits;
        limits.fileSizeLimit = limit;
        RunResult result = work.run({"input.esp"}, limits);
        EXPECT_EQ(result.status, 1) << limit;
        EXPECT_EQ(e2e::withoutStagingFolder(result.err), "Unable to write to books.tmp: File too large\n") << limit;
        EXPECT_NE(result.err, "Unable to write to books.tmp: File too large\n") << "the message names the folder";
        EXPECT_TRUE(e2e::stagingFolders(work.files()).empty()) << limit;
        EXPECT_FALSE(work.exists("LANDFER.ESP"));
    }
    // A limit that the staged books fit but the output does not: the copy
    // into the partial output fails, and the older output stays whole.
    ASSERT_EQ(work.run({"input.esp"}).status, 0);
    const tes4::Bytes older = work.outputBytes();
    e2e::RunLimits limits;
    limits.fileSizeLimit = static_cast<long>(older.size()) - 40;
    RunResult result = work.run({"input.esp"}, limits);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(e2e::withoutStagingFolder(result.err), "Unable to write to LANDFER.ESP.tmp: File too large\n");
    EXPECT_EQ(work.outputBytes(), older);
    EXPECT_TRUE(e2e::stagingFolders(work.files()).empty());
}

TEST(ConversionRun, UnwritableOutputIsFatal) {
    WorkDir work;
    std::filesystem::create_directory(work.path("LANDFER.ESP"));
    RunResult result = work.convert(tes3::Plugin());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Unable to open LANDFER.ESP for writing: Not a regular file\n");
    EXPECT_TRUE(std::filesystem::is_directory(work.path("LANDFER.ESP")));
}

TEST(ConversionRun, AFifoAsOutputIsRefusedWithoutWaiting) {
    SKIP_UNDER_WINDOWS("no FIFOs on Windows");
    WorkDir work;
    ASSERT_EQ(mkfifo(work.path("LANDFER.ESP").c_str(), 0600), 0);
    e2e::RunLimits limits;
    limits.timeoutSeconds = 10;  // opening the FIFO for writing would wait for a reader forever
    RunResult result = work.convert(tes3::Plugin().add(tes3::global("g", 'f', 1)), limits);
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Unable to open LANDFER.ESP for writing: Not a regular file\n");
    EXPECT_TRUE(std::filesystem::is_fifo(work.path("LANDFER.ESP")));
}

TEST(ConversionRun, AnInputThatIsTheOutputIsRefusedTouchingNothing) {
    WorkDir work;
    const tes3::Bytes plugin = tes3::Plugin().add(tes3::global("g", 'f', 1)).bytes();
    work.writeFile("LANDFER.ESP", plugin);
    work.writeFile("cell1.tmp", std::string("left over"));
    std::filesystem::create_hard_link(work.path("LANDFER.ESP"), work.path("hard.esp"));
    std::filesystem::create_symlink("LANDFER.ESP", work.path("soft.esp"));
    for (const std::string& name : {std::string("LANDFER.ESP"), std::string("./LANDFER.ESP"), work.path("LANDFER.ESP"),
                                    std::string("hard.esp"), std::string("soft.esp")}) {
        RunResult result = work.run({name});
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_EQ(result.err, "The input file " + name +
                                  " is the output file LANDFER.ESP; rename it or run in another folder\n");
        EXPECT_EQ(result.out, "") << name;
        EXPECT_EQ(work.outputBytes(), plugin) << name;
        EXPECT_TRUE(work.exists("cell1.tmp")) << name;
    }
}

TEST(ConversionRun, AnOldOutputThatIsAnotherFileIsReplaced) {
    WorkDir work;
    work.writeFile("LANDFER.ESP", std::string(100000, 'x'));
    // A copy of the input under the output's name is another file.
    const tes3::Bytes plugin = tes3::Plugin().add(tes3::global("g", 'f', 1)).bytes();
    work.writeFile("input.esp", plugin);
    RunResult first = work.run({"input.esp"});
    ASSERT_EQ(first.status, 0) << first.err;
    work.output();
    work.writeFile("LANDFER.ESP", plugin);
    RunResult second = work.run({"input.esp"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(work.outputBytes().size(), 85u + 20 + 20 + 25);
    work.output();
}

TEST(ConversionRun, CorruptRecordHeadersAreFatal) {
    WorkDir work;
    tes3::Plugin pastTheEnd;
    pastTheEnd.add(tes3::Record("GLOB").declareSize(1000));
    RunResult result = work.convert(pastTheEnd);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "Unable to read entire marker record (1016 bytes) from input.esp into memory: the file holds only 16 "
              "of them\n");

    tes3::Plugin huge;
    huge.add(tes3::Record("GLOB").declareSize(0xFFFFFFF0u));
    result = work.convert(huge);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "Unable to read entire marker record (4294967296 bytes) from input.esp into memory: the file holds "
              "only 16 of them\n");

    tes3::Plugin fragment;
    fragment.add(tes3::global("g", 'f', 1)).raw({'G', 'L', 'O', 'B', 0});
    result = work.convert(fragment);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Unable to read a whole record header (5 of 16 bytes) at the end of input.esp\n");
}

TEST(ConversionRun, RunningOutOfMemoryEndsWithAMessageNeverAnAbort) {
    if (std::string why = limits::whyAddressSpaceLimitsCannotBeTested(); !why.empty()) GTEST_SKIP() << why;
    WorkDir work;
    tes3::Plugin plugin = tes3::everyRecordPlugin();
    plugin.add(tes3::book("long", "Long", std::string(3 << 20, 'x')));
    work.writeFile("input.esp", plugin.bytes());
    // The smallest address space in which the program can report an error
    // at all (below it the runtime cannot even raise an exception).
    const long step = 256 << 10;
    long start = 2 << 20;
    e2e::RunLimits limits;
    for (;; start += step) {
        ASSERT_LT(start, 64L << 20) << "the program does not start under 64 MiB";
        limits.addressSpaceLimit = start;
        if (work.run({"missing.esp"}, limits).err ==
            "Unable to open missing.esp for reading: No such file or directory\n")
            break;
    }
    // From there up, every allocation that fails (records, converters, the
    // second core's thread and its work) ends the run with a message and
    // status 1, until there is room enough for a completed run.
    int allocationMessages = 0;
    for (long limit = start;; limit += step) {
        ASSERT_LT(limit, start + (64L << 20)) << "no completed run";
        limits.addressSpaceLimit = limit;
        RunResult result = work.run({"input.esp"}, limits);
        ASSERT_EQ(result.signal, 0) << "limit " << limit << ": " << result.err;
        if (result.status == 0) {
            // Nothing was left out for want of memory (one core is no loss).
            EXPECT_EQ(result.err.find("Cannot allocate memory"), std::string::npos) << result.err;
            break;
        }
        ASSERT_EQ(result.status, 1) << "limit " << limit << ": " << result.err;
        std::string last = result.err.substr(result.err.rfind('\n', result.err.size() - 2) + 1);
        EXPECT_EQ(last.rfind("Unable to ", 0), 0u) << "limit " << limit << ": " << result.err;
        EXPECT_NE(last.find(": Cannot allocate memory\n"), std::string::npos) << "limit " << limit << ": " << result.err;
        allocationMessages += last.rfind("Unable to allocate ", 0) == 0;
    }
    EXPECT_GT(allocationMessages, 0);
    work.output();
}

namespace {

// Enough land and books that two runs of it overlap.
tes3::Plugin landAndBooks(const std::string& name, int32_t firstX) {
    tes3::Plugin plugin;
    for (int i = 0; i < 60; ++i) plugin.add(tes3::book(name + std::to_string(i), "Book", std::string(2000, 'x')));
    for (int32_t x = firstX; x < firstX + 16; ++x)
        for (int32_t y = 0; y < 4; ++y) {
            plugin.add(tes3::cell(name + " " + std::to_string(x) + " " + std::to_string(y), x, y));
            plugin.add(tes3::land(x, y, [x, y](int row, int column) { return (row * x + column * y) % 97; }));
        }
    return plugin;
}

// A word of a shell command, in single quotes.
std::string quoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

}  // namespace

// Two runs started together in one folder keep to their own staging: both
// end well, and the LANDFER.ESP they leave is the whole output of the one
// that finished last, byte for byte what it gives alone.
TEST(ConversionRun, TwoRunsStartedTogetherInOneFolderBothConvert) {
    SKIP_UNDER_WINDOWS("the runs are started together by a POSIX shell");
    const tes3::Plugin first = landAndBooks("a", 0), second = landAndBooks("b", 20);
    WorkDir alone;
    alone.writeFile("a.esp", first.bytes());
    alone.writeFile("b.esp", second.bytes());
    ASSERT_EQ(alone.run({"a.esp"}).status, 0);
    const tes4::Bytes firstOutput = alone.outputBytes();
    ASSERT_EQ(alone.run({"b.esp"}).status, 0);
    const tes4::Bytes secondOutput = alone.outputBytes();
    ASSERT_NE(firstOutput, secondOutput);

    std::string converter;
    for (const std::string& word : e2e::converterCommand()) converter += quoted(word) + " ";
    const std::string script = converter + "a.esp > a.out 2> a.err & a=$!; " + converter +
                               "b.esp > b.out 2> b.err & b=$!; wait $a; sa=$?; wait $b; sb=$?; "
                               "cat a.err b.err >&2; exit $((sa * 16 + sb))";
    for (int round = 0; round < 3; ++round) {
        WorkDir work;
        work.writeFile("a.esp", first.bytes());
        work.writeFile("b.esp", second.bytes());
        RunResult both = work.runProgram("/bin/sh", {"-c", script});
        ASSERT_EQ(both.status, 0) << both.err;
        const tes4::Bytes output = work.outputBytes();
        EXPECT_TRUE(output == firstOutput || output == secondOutput) << "round " << round;
        work.output();  // sound to the reader and the inspector
        EXPECT_TRUE(e2e::stagingFolders(work.files()).empty());
    }
}
