// The Windows build (landfer.exe under Wine) against the Linux build: the
// same bytes from the same plugins. Without Wine or landfer.exe these
// tests skip, except in CI (CI=true), where they must run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "e2e_run.h"
#include "tes3_builder.h"

namespace fs = std::filesystem;

namespace {

const std::string samplesDir = std::string(LANDFER_SOURCE_DIR) + "/../shared/samples";

bool inCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

// The Windows command, or the test skips (fails in CI) with the reason.
#define WINDOWS_COMMAND_OR_SKIP(command)                                                        \
    std::string missing;                                                                        \
    const std::vector<std::string> command = e2e::windowsCommand(&missing);                     \
    if (command.empty()) {                                                                      \
        if (inCi()) FAIL() << "the Windows build must be tested in CI: " << missing;            \
        GTEST_SKIP() << "no Windows build to test: " << missing;                                \
    }

struct Conversion {
    e2e::RunResult run;
    std::vector<uint8_t> output;
};

Conversion convertWith(const std::vector<std::string>& command, const std::vector<uint8_t>& input,
                       const std::string& inputPath) {
    e2e::WorkDir work;
    fs::create_directories(fs::path(work.path(inputPath)).parent_path());
    work.writeFile(inputPath, input);
    Conversion conversion;
    conversion.run = work.runConverter(command, {inputPath});
    if (work.exists("LANDFER.ESP")) conversion.output = work.outputBytes();
    return conversion;
}

// Both builds convert the plugin: same status, same bytes, same messages.
void expectSameConversion(const std::vector<std::string>& windows, const std::vector<uint8_t>& input) {
    Conversion linux = convertWith({LANDFER_BINARY}, input, "input.esp");
    Conversion exe = convertWith(windows, input, "input.esp");
    ASSERT_EQ(linux.run.status, 0) << linux.run.err;
    EXPECT_EQ(exe.run.status, 0) << exe.run.err;
    EXPECT_GT(linux.output.size(), 85u);
    if (exe.output != linux.output) {
        size_t at = static_cast<size_t>(
            std::mismatch(exe.output.begin(), exe.output.end(), linux.output.begin(), linux.output.end()).first -
            exe.output.begin());
        ADD_FAILURE() << "LANDFER.ESP differs from byte " << at << " on (" << exe.output.size()
                      << " bytes against " << linux.output.size() << ")";
    }
    EXPECT_EQ(exe.run.out, linux.run.out);
    EXPECT_EQ(exe.run.err, linux.run.err);
}

}  // namespace

TEST(WindowsBuild, EverySamplePluginGivesTheLinuxBuildsBytes) {
    WINDOWS_COMMAND_OR_SKIP(windows);
    {
        SCOPED_TRACE("the generated sample plugin");
        e2e::WorkDir work;
        ASSERT_EQ(work.runProgram(LANDFER_MAKE_SAMPLE, {"sample.esp"}).status, 0);
        expectSameConversion(windows, tes4::readFileBytes(work.path("sample.esp")));
    }
    if (!fs::is_directory(samplesDir)) {
        std::printf("no real sample plugins in %s: only the generated one is compared\n", samplesDir.c_str());
        return;
    }
    int plugins = 0;
    for (const auto& entry : fs::directory_iterator(samplesDir)) {
        if (entry.path().extension() != ".esp") continue;
        ++plugins;
        SCOPED_TRACE(entry.path().filename().string());
        expectSameConversion(windows, tes4::readFileBytes(entry.path().string()));
    }
    EXPECT_GT(plugins, 0);
}

TEST(WindowsBuild, InputPathsTakeEitherSeparator) {
    WINDOWS_COMMAND_OR_SKIP(windows);
    tes3::Plugin plugin;
    plugin.add(tes3::global("lf_a", 'f', 1.5f)).add(tes3::book("lf_book", "A Book", "text"));
    Conversion linux = convertWith({LANDFER_BINARY}, plugin.bytes(), "plugins/input.esp");
    ASSERT_EQ(linux.run.status, 0) << linux.run.err;
    for (const char* path : {"plugins/input.esp", "plugins\\input.esp", ".\\plugins/input.esp"}) {
        SCOPED_TRACE(path);
        e2e::WorkDir work;
        fs::create_directory(work.path("plugins"));
        work.writeFile("plugins/input.esp", plugin.bytes());
        e2e::RunResult run = work.runConverter(windows, {path});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind(std::string("Landfer is now reading ") + path + " ... \n", 0), 0u) << run.out;
        ASSERT_TRUE(work.exists("LANDFER.ESP"));
        EXPECT_TRUE(work.outputBytes() == linux.output);
    }
}
