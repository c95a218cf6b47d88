// Hostile input: one valid plugin holding every record type, broken in
// every way a damaged file can be. Each run must end with status 0 or 1
// and a message, within a few seconds, and a status of 0 must leave an
// output that reads back whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <functional>
#include <string>

#include "e2e_run.h"
#include "test_helpers.h"
#include "run_output.h"
#include "landscape_support.h"
#include "tes3_every_record.h"
#include "tes3_land.h"

using support::putU32;
using support::contains;
using e2e::RunResult;
using e2e::WorkDir;
using tes3::Bytes;

namespace {

// Converts the bytes and checks the ending; `what` names the case.
RunResult convertHostile(const WorkDir& work, const Bytes& input, const std::string& what) {
    std::error_code ignored;
    std::filesystem::remove(work.path("LANDFER.ESP"), ignored);
    work.writeFile("input.esp", input);
    e2e::RunLimits limits;
    limits.timeoutSeconds = 10;
    RunResult run = work.run({"input.esp"}, limits);
    EXPECT_EQ(run.signal, 0) << what << ": killed by a signal\n" << run.err;
    EXPECT_TRUE(run.status == 0 || run.status == 1) << what << ": status " << run.status << "\n" << run.err;
    if (run.status == 1) {
        // One fatal message goes to standard output: the LTEX record without DATA.
        EXPECT_TRUE(!run.err.empty() || contains(run.out, "Couldn't find LTEX DATA subrec!"))
            << what << ": failed without a message\n" << run.out;
    }
    if (run.status == 0) {
        EXPECT_TRUE(contains(run.out, "Landfer has finished.")) << what << ": no summary\n" << run.out;
        try {
            tes4::checkTopGroupTypes(work.output());
        } catch (const std::exception& problem) {
            ADD_FAILURE() << what << ": the output does not read back: " << problem.what();
        }
    }
    return run;
}

const std::vector<tes3::Record>& records() {
    static const std::vector<tes3::Record> all = tes3::everyRecordType();
    return all;
}

const tes3::Plugin& validPlugin() {
    static const tes3::Plugin plugin = tes3::everyRecordPlugin();
    return plugin;
}

bool isConverted(const std::string& type) {
    for (const char* known : {"LTEX", "NPC_", "CELL", "LAND", "GLOB", "BOOK", "DIAL", "INFO"})
        if (type == known) return true;
    return false;
}

// A subrecord inside a record's data: where its header starts and its size.
struct Span {
    size_t offset;
    uint32_t size;
};

std::vector<Span> subrecordsOf(const Bytes& data) {
    std::vector<Span> spans;
    for (size_t at = 0; at + 8 <= data.size(); at += 8 + tes4::u32(data, at + 4)) spans.push_back({at, tes4::u32(data, at + 4)});
    return spans;
}

// The valid plugin with one record's data replaced.
Bytes withRecordData(size_t recordIndex, const Bytes& data) {
    tes3::Plugin plugin(false);
    for (size_t i = 0; i < records().size(); ++i) {
        if (i != recordIndex) {
            plugin.add(records()[i]);
            continue;
        }
        tes3::Record changed(records()[i].type());
        changed.raw(data);
        plugin.add(changed);
    }
    return plugin.bytes();
}

using SubrecordChange = std::function<bool(Bytes& data, const Span& sub)>;
// What a case must show beyond a clean ending: the changed record's type and the run.
using CaseCheck = std::function<void(const std::string& recordType, const RunResult& run, const std::string& what)>;

// The subrecords of the converted records that pass the filter.
int subrecordsOfConvertedRecords(const std::function<bool(const Span&)>& filter) {
    int count = 0;
    for (const tes3::Record& record : records())
        if (isConverted(record.type()))
            for (const Span& span : subrecordsOf(record.data())) count += filter(span) ? 1 : 0;
    return count;
}
bool any(const Span&) { return true; }

// Applies the change to each subrecord of each converted record in turn;
// returns the number of cases run.
int forEachSubrecord(const WorkDir& work, const std::string& changeName, const SubrecordChange& change,
                     const CaseCheck& check = nullptr) {
    int cases = 0;
    for (size_t r = 0; r < records().size(); ++r) {
        const tes3::Record& record = records()[r];
        if (!isConverted(record.type())) continue;
        std::vector<Span> spans = subrecordsOf(record.data());
        for (size_t s = 0; s < spans.size(); ++s) {
            Bytes data = record.data();
            if (!change(data, spans[s])) continue;
            std::string type(data.begin() + spans[s].offset, data.begin() + spans[s].offset + 4);
            std::string what = record.type() + " record " + std::to_string(r) + ", subrecord " +
                               std::to_string(s) + " (" + type + ") " + changeName;
            RunResult run = convertHostile(work, withRecordData(r, data), what);
            if (check) check(record.type(), run, what);
            ++cases;
        }
    }
    return cases;
}

}  // namespace

TEST(MalformedMatrix, TheValidInputConvertsEveryRecordType) {
    WorkDir work;
    RunResult run = convertHostile(work, validPlugin().bytes(), "the valid input");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "Not carried over:\n"
              "\tInventory entries dropped (item not in the item lookup files): 1: lf_unknown_item (1)\n");
    for (const char* line : {"Total Exterior CELLs:                   1\n", "Total LAND records:                     1\n",
                             "Total NPC_ records:                     1\n", "Total Placed NPCs:                      2\n",
                             "Total Inventory Swapped:                1\n",
                             "Total Global variables:                 1\n", "Total Books:                            1\n",
                             "Total Quests:                           1\n", "Total Journal entries:                  2\n"})
        EXPECT_TRUE(contains(run.out, line)) << line << run.out;
}

TEST(MalformedMatrix, TruncatedAtEveryRecordBoundaryAndInsideEveryRecord) {
    WorkDir work;
    const Bytes& whole = validPlugin().bytes();
    for (size_t start : validPlugin().recordOffsets()) {
        size_t middle = 16 + tes4::u32(whole, start + 4) / 2;  // inside the record's data
        for (size_t cut : {size_t(0), size_t(1), size_t(4), size_t(7), size_t(8), size_t(12), size_t(15), middle}) {
            Bytes input(whole.begin(), whole.begin() + start + cut);
            RunResult run = convertHostile(work, input, "cut at " + std::to_string(start + cut));
            if (start > 0 && cut > 0) {
                EXPECT_EQ(run.status, 1) << "a record header cut at byte " << cut << " is not a record";
            }
        }
    }
}

TEST(MalformedMatrix, RecordSizesPastTheEndOfTheFile) {
    WorkDir work;
    const Bytes& whole = validPlugin().bytes();
    for (size_t start : validPlugin().recordOffsets()) {
        for (uint32_t size : {static_cast<uint32_t>(whole.size() - start - 16 + 1), 0xFFFFFFF0u}) {
            Bytes input = whole;
            putU32(input, start + 4, size);
            RunResult run = convertHostile(work, input, "record at " + std::to_string(start) + " of size " + std::to_string(size));
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(contains(run.err, "Unable to read entire marker record")) << run.err;
        }
    }
}

TEST(MalformedMatrix, EachSubrecordRemoved) {
    WorkDir work;
    int cases = forEachSubrecord(work, "removed", [](Bytes& data, const Span& sub) {
        data.erase(data.begin() + sub.offset, data.begin() + sub.offset + 8 + sub.size);
        return true;
    });
    EXPECT_EQ(cases, subrecordsOfConvertedRecords(any));
}

TEST(MalformedMatrix, EachSubrecordShortenedByOneByte) {
    WorkDir work;
    int cases = forEachSubrecord(work, "shortened", [](Bytes& data, const Span& sub) {
        if (sub.size == 0) return false;
        putU32(data, sub.offset + 4, sub.size - 1);
        data.erase(data.begin() + sub.offset + 8 + sub.size - 1);
        return true;
    });
    EXPECT_EQ(cases, subrecordsOfConvertedRecords([](const Span& sub) { return sub.size > 0; }));
}

TEST(MalformedMatrix, EachSubrecordEmpty) {
    WorkDir work;
    int cases = forEachSubrecord(work, "of size 0", [](Bytes& data, const Span& sub) {
        putU32(data, sub.offset + 4, 0);
        data.erase(data.begin() + sub.offset + 8, data.begin() + sub.offset + 8 + sub.size);
        return true;
    });
    EXPECT_EQ(cases, subrecordsOfConvertedRecords(any));
}

TEST(MalformedMatrix, EachSubrecordSizedPastTheEndOfItsRecord) {
    WorkDir work;
    int cases = forEachSubrecord(
        work, "sized past the end",
        [](Bytes& data, const Span& sub) {
            putU32(data, sub.offset + 4, static_cast<uint32_t>(data.size() - sub.offset - 8 + 1));
            return true;
        },
        [](const std::string& recordType, const RunResult& run, const std::string& what) {
            // A cell is walked whole before anything of it is staged: the
            // record is reported and skipped, and the run goes on.
            if (recordType != "CELL") return;
            EXPECT_EQ(run.status, 0) << what;
            EXPECT_TRUE(contains(run.err, "The CELL record ") && contains(run.err, " is malformed (its ")) << what << "\n" << run.err;
        });
    EXPECT_EQ(cases, subrecordsOfConvertedRecords(any));
}

TEST(MalformedMatrix, EachTextWithoutItsZeroByte) {
    WorkDir work;
    int cases = forEachSubrecord(work, "without its 0 byte", [](Bytes& data, const Span& sub) {
        size_t last = sub.offset + 8 + sub.size - 1;
        if (sub.size < 2 || data[last] != 0 || data[last - 1] == 0) return false;
        data[last] = 'x';
        return true;
    });
    EXPECT_GT(cases, 20);
}

TEST(MalformedMatrix, HeightDeltasAtTheirExtremes) {
    for (int step : {-128, 127}) {
        WorkDir work;
        auto heights = [step](int r, int c) { return step * (r + c + 1); };
        tes3::Plugin plugin;
        plugin.add(tes3::cell("Cliff", 2, -2)).add(tes3::land(2, -2, heights));
        RunResult run = convertHostile(work, plugin.bytes(), "every delta " + std::to_string(step));
        ASSERT_EQ(run.status, 0) << run.err;
        tes4::File file = work.output();  // the cells point into it
        std::vector<landscape::WorldCell> cells = landscape::worldCells(file);
        ASSERT_EQ(cells.size(), 4u);
        for (int q = 0; q < 4; ++q) {
            ASSERT_NE(cells[q].land, nullptr);
            std::vector<double> out = landscape::landHeights(*cells[q].land);
            int rowBase = q >= 2 ? 32 : 0, colBase = q % 2 ? 32 : 0;
            for (int i = 0; i < 33; ++i)
                for (int j = 0; j < 33; ++j)
                    ASSERT_EQ(out[i * 33 + j], heights(rowBase + i, colBase + j)) << step << " " << q << " " << i << " " << j;
        }
    }
}

TEST(MalformedMatrix, ACellOfFiveThousandPlacedNpcs) {
    WorkDir work;
    tes3::Plugin plugin;
    plugin.add(records()[3]);  // the NPC
    tes3::Record crowded = tes3::cell("Crowd", 0, 0);
    for (int i = 0; i < 5000; ++i)
        crowded.raw(tes3::placedReference(i, "lf_guard", 100.0f + (i % 80) * 100.0f, 100.0f + (i / 80) * 100.0f));
    plugin.add(crowded).add(tes3::land(0, 0, [](int, int) { return 0; }));
    RunResult run = convertHostile(work, plugin.bytes(), "5000 placed NPCs");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "Total Placed NPCs:                      5000\n")) << run.out;
    size_t placed = 0, mostInOneQuad = 0;
    tes4::File file = work.output();
    for (const landscape::WorldCell& cell : landscape::worldCells(file)) {
        placed += cell.placed.size();
        mostInOneQuad = std::max(mostInOneQuad, cell.placed.size());
    }
    EXPECT_EQ(placed, 5000u);
    EXPECT_GT(mostInOneQuad * 100, 65536u * 2);  // 100 bytes a reference block: one quad's staging is large
}

namespace {

std::string readSourceFile(const std::string& name) {
    Bytes bytes = tes4::readFileBytes(std::string(LANDFER_SOURCE_DIR) + "/" + name);
    return std::string(bytes.begin(), bytes.end());
}

// True when some record of the type holds the FormID's four bytes.
bool recordsHold(const tes4::File& file, const std::string& type, uint32_t formId) {
    Bytes needle(4);
    putU32(needle, 0, formId);
    for (const tes4::Entry* record : file.records(type))
        if (std::search(record->data.begin(), record->data.end(), needle.begin(), needle.end()) != record->data.end())
            return true;
    return false;
}

struct LookupCase {
    const char* file;
    std::string validLine;  // the one line the valid input's record finds
    std::string sevenDigits, nineDigits;
    const char* recordType;
    uint32_t formId;
};

}  // namespace

TEST(MalformedMatrix, HostileLookupFiles) {
    WorkDir work;
    const std::string longLine(10000, 'a'), longCommas(10000, ',');
    const LookupCase cases[] = {
        {"ltex.dat", "x,y,Tx_AC_dirt_01.tga,0009C71C", "x,y,Tx_AC_dirt_01.tga,0009C71", "x,y,other.tga,0009C71C1", "LAND",
         0x0009C71C},
        {"armour.dat", "adamantium boots,Boots,Boots,0002C0FC", "adamantium boots,Boots,Boots,0002C0F",
         "other boots,Boots,Boots,0002C0FC1", "NPC_", 0x0002C0FC},
        {"classes.dat", "Warrior,0002378B", "Warrior,0002378", "Other,0002378B1", "NPC_", 0x0002378B},
    };
    for (const LookupCase& lookup : cases) {
        const std::string original = readSourceFile(std::string("lfdat/") + lookup.file);
        const std::string path = std::string("lfdat/") + lookup.file;
        // Every hostile line comes before the one that must still be found.
        const std::string hostile = "\n\n\r\nno commas at all\r\n" + longLine + "\n" + longCommas + "\n" +
                                    longLine + "," + longLine + "\n" + lookup.sevenDigits + "\n" + lookup.nineDigits +
                                    "\n";
        for (const std::string& eol : {std::string("\n"), std::string("\r\n")}) {
            work.writeFile(path, hostile + lookup.validLine + eol);
            std::string what = std::string(lookup.file) + " with hostile lines, ending " + (eol == "\n" ? "LF" : "CRLF");
            RunResult run = convertHostile(work, validPlugin().bytes(), what);
            ASSERT_EQ(run.status, 0) << what << "\n" << run.err;
            EXPECT_TRUE(recordsHold(work.output(), lookup.recordType, lookup.formId)) << what;
        }
        for (const std::string& whole : {std::string(), longLine, longLine + "," + longLine}) {
            work.writeFile(path, whole);
            RunResult run = convertHostile(work, validPlugin().bytes(),
                                           std::string(lookup.file) + " of " + std::to_string(whole.size()) + " bytes");
            EXPECT_EQ(run.status, 0) << run.err;
        }
        work.writeFile(path, original);
    }
}
