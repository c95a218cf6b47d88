// Every record of every real sample plugin's output, inflated, against the
// baseline recorded when records were compressed with zlib at level 9: a
// change of compressor (or of its level) changes the compressed streams,
// never the data they inflate to. One line per record: the plugin, the
// record's type, FormID, flags without the compressed flag, the inflated
// length and a 64-bit FNV-1a hash of the inflated data.
//
// After a change that alters records on purpose, record the baseline anew:
//   LANDFER_RECORD_INFLATED=1 build/tests/landfer_e2e_tests --gtest_filter='InflatedRecords.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e_run.h"

namespace fs = std::filesystem;

namespace {

const std::string samplesDir = std::string(LANDFER_SOURCE_DIR) + "/../shared/samples";
const std::string baselinePath = std::string(LANDFER_SOURCE_DIR) + "/tests/e2e/inflated_records.txt";

uint64_t fnv1a(const tes4::Bytes& data) {
    uint64_t hash = 0xCBF29CE484222325u;
    for (uint8_t byte : data) hash = (hash ^ byte) * 0x100000001B3u;
    return hash;
}

void describeRecords(const std::string& plugin, const std::vector<tes4::Entry>& entries, std::string& out) {
    for (const tes4::Entry& entry : entries) {
        if (entry.isGroup) {
            describeRecords(plugin, entry.children, out);
            continue;
        }
        char line[160];
        std::snprintf(line, sizeof line, "%s %s %08X %08X %zu %016llX\n", plugin.c_str(), entry.type.c_str(),
                      entry.formId, entry.flags & ~0x00040000u, entry.data.size(),
                      static_cast<unsigned long long>(fnv1a(entry.data)));
        out += line;
    }
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(InflatedRecords, EverySamplesOutputInflatesToTheRecordedData) {
    if (!fs::is_directory(samplesDir)) GTEST_SKIP() << "no sample plugins here";
    std::vector<fs::path> plugins;
    for (const auto& entry : fs::directory_iterator(samplesDir))
        if (entry.path().extension() == ".esp") plugins.push_back(entry.path());
    std::sort(plugins.begin(), plugins.end());
    std::string described;
    size_t compressed = 0;
    for (const fs::path& plugin : plugins) {
        SCOPED_TRACE(plugin.filename().string());
        e2e::WorkDir work;
        work.writeFile("input.esp", tes4::readFileBytes(plugin.string()));
        e2e::RunResult run = work.run({"input.esp"});
        ASSERT_EQ(run.status, 0) << run.err;
        tes4::File file = work.output();
        for (const tes4::Entry* land : file.records("LAND")) compressed += land->compressed();
        describeRecords(plugin.filename().string(), file.groups, described);
    }
    EXPECT_GT(compressed, 0u);  // the samples hold land, so compressed records are compared
    if (std::getenv("LANDFER_RECORD_INFLATED") != nullptr) {
        std::ofstream(baselinePath, std::ios::binary) << described;
        GTEST_SKIP() << "recorded " << baselinePath;
    }
    std::string expected = readText(baselinePath);
    ASSERT_FALSE(expected.empty()) << "no baseline in " << baselinePath;
    if (described == expected) return;
    std::istringstream got(described), want(expected);
    std::string gotLine, wantLine;
    for (int line = 1; std::getline(want, wantLine); ++line) {
        if (!std::getline(got, gotLine)) gotLine = "(no more records)";
        ASSERT_EQ(gotLine, wantLine) << "line " << line << " of " << baselinePath;
    }
    FAIL() << "more records than " << baselinePath << " holds";
}
