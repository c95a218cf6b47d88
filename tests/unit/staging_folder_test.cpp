// The staging of a run: a folder of its own, removed with its files, and
// the staging files in it, written once and read back from their start.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>

#include "e2e_run.h"
#include "esm/fatal_error.h"
#include "esm/staging_file.h"
#include "esm/staging_folder.h"
#include "records/journal_quests.h"
#include "services/conversion_services.h"

using namespace landfer;
namespace fs = std::filesystem;

namespace {

std::string fatalMessageOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const FatalError& error) {
        return error.what();
    }
    return "(no fatal error)";
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(StagingFolder, EachOneIsNewAndGoesWithEverythingInIt) {
    e2e::CurrentWorkDir work;
    const std::string stem = "landfer-run-" + std::to_string(getpid()) + "-";
    std::string first, second;
    {
        StagingFolder one = StagingFolder::create();
        StagingFolder two = StagingFolder::create();
        first = one.folder();
        second = two.folder();
        // In the working folder, named by the process and a counter.
        EXPECT_EQ(first, stem + "1");
        EXPECT_EQ(second, stem + "2");
        EXPECT_TRUE(fs::is_directory(first));
        EXPECT_EQ(one.path("world.tmp"), first + "/world.tmp");
        writeText(one.path("world.tmp"), "staged");
        fs::create_directory(one.path("inner"));
        writeText(one.path("inner/more.tmp"), "staged");

        StagingFolder moved = std::move(two);  // the folder goes with the move, not before
        EXPECT_TRUE(fs::is_directory(second));
        EXPECT_EQ(moved.folder(), second);
        EXPECT_TRUE(two.folder().empty());
    }
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));

    // A folder of that name left by a killed run is passed over, and kept.
    fs::create_directory(stem + "1");
    {
        StagingFolder next = StagingFolder::create();
        EXPECT_EQ(next.folder(), stem + "2");
    }
    EXPECT_TRUE(fs::is_directory(stem + "1"));
}

TEST(StagingFolder, TheWorkingFolderItselfIsNeverRemoved) {
    e2e::CurrentWorkDir work;
    {
        StagingFolder working;
        EXPECT_TRUE(working.folder().empty());
        EXPECT_EQ(working.path("quest.tmp"), "quest.tmp");
        writeText(working.path("quest.tmp"), "staged");
    }
    EXPECT_TRUE(fs::exists("quest.tmp"));
    EXPECT_TRUE(fs::exists("lfdat"));
}

TEST(StagingFolder, OneThatCannotBeMadeIsFatal) {
    e2e::CurrentWorkDir work;
    const std::string name = "landfer-run-" + std::to_string(getpid()) + "-1";
    writeText("plain", "a file, no folder");
    EXPECT_EQ(fatalMessageOf([] { StagingFolder::create("plain"); }),
              "Unable to make the staging folder plain/" + name + ": Not a directory\n");
}

TEST(StagingFile, CreatedAtTheFirstWriteAndReadBackFromItsStart) {
    e2e::CurrentWorkDir work;
    StagingFile file("records.tmp");
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.length(), 0);
    EXPECT_FALSE(fs::exists("records.tmp"));  // nothing staged, no file
    file.append().write("abc");
    file.append().write("def");  // the same file, appended to
    EXPECT_TRUE(file.isOpen());
    EXPECT_EQ(file.length(), 6);
    BlockReader back = file.readBack();
    EXPECT_FALSE(file.isOpen());
    char bytes[8] = {};
    ASSERT_EQ(back.read(bytes, sizeof bytes), 6u);
    EXPECT_EQ(std::string(bytes), "abcdef");
}

TEST(StagingFile, FailuresNameTheFile) {
    e2e::CurrentWorkDir work;
    StagingFile unwritable("nowhere/world.tmp");
    EXPECT_EQ(fatalMessageOf([&unwritable] { unwritable.append(); }),
              "Unable to open nowhere/world.tmp for writing: No such file or directory\n");
    StagingFile gone("gone.tmp");
    gone.append().write("abc");
    gone.readBack();
    fs::remove("gone.tmp");
    EXPECT_EQ(fatalMessageOf([&gone] { gone.readBack(); }),
              "Unable to open gone.tmp for reading: No such file or directory\n");
}

// The stages of a journal wait in the run's folder; one that cannot be
// created there ends the run with a message naming it.
TEST(StagingFile, AQuestStagesFileThatCannotBeCreatedIsFatal) {
    e2e::CurrentWorkDir work;
    FILE* messages = tmpfile();
    ConversionServices services(stdout, messages, "lfdat", OutputPlugin(), StagingFolder::create());
    const std::string folder = services.output().staging.folder();
    fs::create_directory(services.output().staging.path("quest.tmp"));
    JournalQuests quests(services.output(), services.problems());
    size_t quest = quests.questFor("lf_lost");
    JournalStage stage;
    stage.index = 10;
    stage.text = "entry";
    EXPECT_EQ(fatalMessageOf([&] { quests.addStages(quest, {stage}); }),
              "Unable to open " + folder + "/quest.tmp for writing: Is a directory\n");
    EXPECT_TRUE(std::regex_match(folder, std::regex("landfer-run-[0-9]+-[0-9]+")));
    std::fclose(messages);
}
