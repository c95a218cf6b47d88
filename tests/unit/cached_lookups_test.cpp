// The lookups held in memory: the lookup files, "npcs.tmp" and the face
// data are read once and kept, and what is wrong with them is reported once
// a run (a corrupt line of an id at its first lookup, a missing file when it
// is first needed). A plugin converted twice in-process gives the same
// output bytes, progress and messages: nothing is kept from one run to the next.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "esm/fatal_error.h"
#include "run/conversion_run.h"
#include "e2e_run.h"
#include "tes3_land.h"
#include "tes4_reader.h"

using namespace landfer;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
    tes4::Bytes plugin;
};

std::string contents(FILE* file) {
    std::string text = e2e::readStream(file);
    std::fclose(file);
    return text;
}

// A working directory with a copy of lfdat/ and the small generated plugin.
class CachedLookups : public ::testing::Test {
protected:
    void SetUp() override { previous_ = fs::current_path(); }
    void TearDown() override { fs::current_path(previous_); }
    void generate(const std::string& options = "") {
        std::string command = std::string(LANDFER_MAKE_BIG_PLUGIN) + " small " + (dir_ / "in.esp").string() + " " +
                              (dir_ / "lfdat").string() + options;
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    Outcome convert() {
        fs::current_path(dir_);
        Outcome outcome;
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        char name[] = "landfer";
        char input[] = "in.esp";
        char* args[] = {name, input, nullptr};
        try {
            outcome.status = runLandfer(2, args, out, err);
        } catch (const FatalError& error) {
            std::fputs(error.what(), error.onStandardOutput() ? out : err);
            outcome.status = 1;
        }
        outcome.out = contents(out);
        outcome.err = contents(err);
        if (fs::exists("LANDFER.ESP")) outcome.plugin = tes4::readFileBytes("LANDFER.ESP");
        fs::remove("LANDFER.ESP");
        fs::current_path(previous_);
        return outcome;
    }
    static void expectSame(const Outcome& a, const Outcome& b, const char* what) {
        EXPECT_EQ(a.status, b.status) << what;
        EXPECT_EQ(a.out, b.out) << what;
        EXPECT_EQ(a.err, b.err) << what;
        EXPECT_TRUE(a.plugin == b.plugin) << what << ": the output plugins differ";
    }
    // Converts twice; the second run must repeat the first.
    Outcome convertTwice() {
        Outcome first = convert();
        expectSame(convert(), first, "the second run");
        return first;
    }
    static size_t occurrences(const std::string& text, const std::string& part) {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
        return count;
    }
    void insertLine(const std::string& file, size_t beforeLine, const std::string& line) {
        fs::path path = dir_ / "lfdat" / file;
        std::ifstream in(path, std::ios::binary);
        std::string text, all;
        for (size_t number = 0; std::getline(in, text); ++number) {
            if (number == beforeLine) all += line + "\n";
            all += text + "\n";
        }
        in.close();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << all;
    }

    e2e::WorkDir work_;
    fs::path dir_{work_.dir()}, previous_;
};

}  // namespace

TEST_F(CachedLookups, SmallPluginGivesTheSameBytesAndMessages) {
    generate();
    Outcome outcome = convertTwice();
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("\tTotal LAND records:                     100\n"), std::string::npos);
    EXPECT_NE(outcome.out.find("\tTotal Placed NPCs:                      200\n"), std::string::npos);
    EXPECT_GT(outcome.plugin.size(), 1000000u);
    tes4::File file = tes4::readPlugin(outcome.plugin);
    EXPECT_EQ(file.records("ACHR").size(), 200u);
}

TEST_F(CachedLookups, EnlargedFilesWithCorruptLinesGiveTheSameMessages) {
    generate(" --enlarge");
    // An item the first NPC carries.
    std::string carried;
    std::vector<tes3::ReadRecord> records = tes3::readPlugin(tes4::readFileBytes((dir_ / "in.esp").string()));
    for (const tes3::ReadRecord& record : records)
        if (record.type == "NPC_" && carried.empty()) {
            const char* id = reinterpret_cast<const char*>(record.find("NPCO")->data.data() + 4);
            carried.assign(id, strnlen(id, 32));
        }
    ASSERT_FALSE(carried.empty());
    // Every inventory entry of that item is one lookup.
    size_t lookups = 0;
    for (const tes3::ReadRecord& record : records)
        for (const tes3::ReadSubrecord& sub : record.subrecords)
            if (record.type == "NPC_" && sub.type == "NPCO" &&
                std::string(reinterpret_cast<const char*>(sub.data.data() + 4), strnlen(reinterpret_cast<const char*>(sub.data.data() + 4), 32)) == carried)
                ++lookups;
    // Corrupt lines of carried ids before and after their good lines, and
    // corrupt lines in classes.dat before and after its classes.
    insertLine("armour.dat", 0, carried + ",x,y,0002C0FZ");
    insertLine("armour.dat", 3000, "lf_big_armour_0007,x,y,0002C0FZ");
    insertLine("clothing.dat", 5, "lf_big_clothing_0100");
    insertLine("weapons.dat", 2000, "lf_big_weapons_0004,,,1234567");
    insertLine("classes.dat", 3, "Acrobat;000237A8");
    insertLine("classes.dat", 200, "lf_big_class_5,00XX0000");
    Outcome outcome = convertTwice();
    EXPECT_EQ(outcome.status, 0);
    // The corrupt line before the good one is reported once, at the first
    // of the id's lookups; the one behind it, and those of ids nobody
    // carries, never.
    ASSERT_GE(lookups, 1u);
    EXPECT_EQ(occurrences(outcome.err, "Ignoring a corrupt line in lfdat/armour.dat: " + carried + ",x,y,0002C0FZ\n"),
              1u);
    EXPECT_EQ(occurrences(outcome.err, "lf_big_armour_0007,x,y,0002C0FZ"), 0u);
    EXPECT_EQ(occurrences(outcome.err, "lf_big_clothing_0100\n"), 0u);
    EXPECT_NE(outcome.err.find("Found a corrupt line in lfdat/classes.dat."), std::string::npos);
}

TEST_F(CachedLookups, MissingFilesAreReportedWhenTheyAreFirstNeeded) {
    generate();
    fs::remove(dir_ / "lfdat" / "ltex.dat");
    fs::remove(dir_ / "lfdat" / "weapons.dat");
    Outcome outcome = convertTwice();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("Unable to open the LTEX texture lookup file (lfdat/ltex.dat)"), std::string::npos);
    EXPECT_NE(outcome.err.find("Unable to open inventory lookup data file lfdat/weapons.dat"), std::string::npos);
    EXPECT_EQ(occurrences(outcome.err, "Unable to open the LTEX texture lookup file"), 1u);
    EXPECT_TRUE(outcome.plugin.empty());  // a failed run leaves no LANDFER.ESP behind
}
