#include "e2e_run.h"
#include "test_helpers.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace e2e {

namespace {
std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Words separated by spaces; relative paths are taken from the repository.
std::vector<std::string> commandFrom(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        if (word.find('/') != std::string::npos && word[0] != '/')
            word = (fs::path(LANDFER_SOURCE_DIR) / word).lexically_normal().string();
        words.push_back(word);
    }
    return words;
}

bool onPath(const std::string& program) {
    const char* path = getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}
}  // namespace

std::vector<std::string> converterCommand() {
    const char* command = getenv("LANDFER_COMMAND");
    if (command != nullptr && *command != '\0') return commandFrom(command);
    return {LANDFER_BINARY};
}

std::vector<std::string> windowsCommand(std::string* missing) {
    const char* given = getenv("LANDFER_WINDOWS_COMMAND");
    std::vector<std::string> command =
        commandFrom(given != nullptr && *given != '\0' ? given : "wine build-windows/landfer.exe");
    if (command.empty() || !isWindowsCommand(command)) {
        *missing = "LANDFER_WINDOWS_COMMAND names no .exe";
        return {};
    }
    if (command[0].find('/') == std::string::npos && !onPath(command[0])) {
        *missing = command[0] + " is not installed";
        return {};
    }
    if (!fs::exists(command.back())) {
        *missing = command.back() + " is not built (see the README's Windows build)";
        return {};
    }
    return command;
}

bool isWindowsCommand(const std::vector<std::string>& command) {
    for (const std::string& word : command)
        if (word.size() > 4 && fs::path(word).extension().string() == ".exe") return true;
    return false;
}

bool convertsUnderWindows() { return isWindowsCommand(converterCommand()); }

std::string converterName() {
    std::vector<std::string> command = converterCommand();
    if (!convertsUnderWindows()) return command[0];
    std::string name = "Z:" + command.back();  // Wine's drive Z: is the root directory
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

std::string systemText(const std::string& posix, const std::string& windows) {
    return convertsUnderWindows() ? windows : posix;
}

std::string fromWindowsText(const std::string& text, const char* stream) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            ADD_FAILURE() << "a line feed without a carriage return at byte " << i << " of standard " << stream;
        lines.push_back(text[i]);
    }
    return lines;
}

WorkDir::WorkDir() {
    char pattern[] = "/tmp/landfer-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    work_ = root_ + "/work";
    fs::create_directory(work_);
    fs::copy(std::string(LANDFER_SOURCE_DIR) + "/lfdat", work_ + "/lfdat", fs::copy_options::recursive);
}

WorkDir::~WorkDir() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

CurrentWorkDir::CurrentWorkDir() : previous_(fs::current_path().string()) { fs::current_path(dir()); }

CurrentWorkDir::~CurrentWorkDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

std::string readStream(FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    for (int c; (c = std::fgetc(stream)) != EOF;) text.push_back(static_cast<char>(c));
    return text;
}

bool WorkDir::exists(const std::string& name) const { return fs::exists(path(name)); }

void WorkDir::writeFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + name);
}

void WorkDir::writeFile(const std::string& name, const std::string& text) const {
    writeFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<std::string> WorkDir::files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(work_)) names.push_back(entry.path().filename().string());
    return names;
}

namespace {
RunResult runCommand(const std::string& root, const std::string& work, const std::vector<std::string>& command,
                     const RunLimits& limits) {
    std::string outPath = root + "/stdout.txt";
    std::string errPath = root + "/stderr.txt";
    auto started = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        if (chdir(work.c_str()) != 0) _exit(127);
        if (!freopen(outPath.c_str(), "wb", stdout) || !freopen(errPath.c_str(), "wb", stderr)) _exit(127);
        if (limits.fileSizeLimit >= 0) {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit;
            limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(limits.fileSizeLimit);
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (limits.addressSpaceLimit >= 0) {
            struct rlimit limit;
            limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(limits.addressSpaceLimit);
            setrlimit(RLIMIT_AS, &limit);
        }
        alarm(static_cast<unsigned>(limits.timeoutSeconds));
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    while (wait4(child, &status, 0, &usage) < 0) {
    }
    RunResult result;
    result.peakKilobytes = usage.ru_maxrss;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    auto toSeconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    result.cpuSeconds = toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}

std::vector<std::string> joined(std::vector<std::string> command, const std::vector<std::string>& args) {
    command.insert(command.end(), args.begin(), args.end());
    return command;
}

// Wine quiet and without installer prompts, in a prefix of its own beside
// landfer.exe unless one is given, started once before the first measured
// run: the first start in a fresh prefix takes seconds and talks on
// standard error.
void prepareWine(const std::string& root, const std::string& work, const std::vector<std::string>& command) {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    setenv("WINEDEBUG", "-all", 0);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 0);
    setenv("WINEPREFIX", (fs::path(command.back()).parent_path() / "wine-prefix").c_str(), 0);
    RunLimits limits;
    limits.timeoutSeconds = 300;
    runCommand(root, work, joined(command, {"-V"}), limits);
}
}  // namespace

RunResult WorkDir::runProgram(const std::string& program, const std::vector<std::string>& args,
                              const RunLimits& limits) const {
    return runCommand(root_, work_, joined({program}, args), limits);
}

RunResult WorkDir::runConverter(const std::vector<std::string>& command, const std::vector<std::string>& args,
                                const RunLimits& limits) const {
    bool windows = isWindowsCommand(command);
    if (windows) prepareWine(root_, work_, command);
    RunResult result = runCommand(root_, work_, joined(command, args), limits);
    // The converter always says something; a failure in silence is Wine
    // that could not start the program (it happens, rarely, on a busy
    // machine): the run is repeated once.
    if (windows && result.status != 0 && result.out.empty() && result.err.empty())
        result = runCommand(root_, work_, joined(command, args), limits);
    if (windows) {
        result.out = fromWindowsText(result.out, "output");
        result.err = fromWindowsText(result.err, "error");
    }
    return result;
}

RunResult WorkDir::run(const std::vector<std::string>& args, const RunLimits& limits) const {
    return runConverter(converterCommand(), args, limits);
}

RunResult WorkDir::convert(const tes3::Plugin& plugin, const RunLimits& limits) const {
    writeFile("input.esp", plugin.bytes());
    return run({"input.esp"}, limits);
}

std::vector<uint8_t> WorkDir::outputBytes() const { return tes4::readFileBytes(path("LANDFER.ESP")); }

tes4::File WorkDir::output() const {
    tes4::File file = tes4::readPlugin(outputBytes());
    RunResult verdict = inspect({"LANDFER.ESP"});
    if (verdict.status != 0) throw std::runtime_error("landfer-inspect finds LANDFER.ESP unsound:\n" + verdict.out + verdict.err);
    return file;
}

RunResult WorkDir::inspect(const std::vector<std::string>& args) const {
    return runProgram(LANDFER_INSPECT, args);
}

tes4::File convertOk(const WorkDir& work, const tes3::Plugin& plugin, RunResult* result,
                     const std::vector<std::string>& options) {
    work.writeFile("input.esp", plugin.bytes());
    std::vector<std::string> args = options;
    args.push_back("input.esp");
    RunResult run = work.run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    if (result != nullptr) *result = run;
    tes4::File file = work.output();
    tes4::checkTopGroupTypes(file);
    return file;
}

std::string wryeBashChecker() {
    const std::string checker = std::string(LANDFER_SOURCE_DIR) + "/../shared/oracles/wrye-bash/wb_check.py";
    return fs::exists(checker) ? checker : std::string();
}

RunResult wryeBashRoundTrip(const WorkDir& dir, const std::vector<std::string>& names, int timeoutSeconds) {
    // Through the wrapper that compares the responses of each topic as a set.
    std::vector<std::string> args = {std::string(LANDFER_SOURCE_DIR) + "/tests/support/wb_roundtrip.py",
                                     wryeBashChecker(), "--roundtrip", "--quiet"};
    args.insert(args.end(), names.begin(), names.end());
    RunLimits limits;
    limits.timeoutSeconds = timeoutSeconds;
    return dir.runProgram("/usr/bin/python3", args, limits);
}

}  // namespace e2e

namespace support {

std::string fileText(const std::string& path) {
    std::vector<uint8_t> bytes = tes4::readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace support
