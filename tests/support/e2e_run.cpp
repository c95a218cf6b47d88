#include "e2e_run.h"

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
}  // namespace

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

RunResult WorkDir::runProgram(const std::string& program, const std::vector<std::string>& args,
                              const RunLimits& limits) const {
    std::string outPath = root_ + "/stdout.txt";
    std::string errPath = root_ + "/stderr.txt";
    auto started = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        if (chdir(work_.c_str()) != 0) _exit(127);
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
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    while (wait4(child, &status, 0, &usage) < 0) {
    }
    RunResult result;
    result.peakKilobytes = usage.ru_maxrss;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}

RunResult WorkDir::run(const std::vector<std::string>& args, const RunLimits& limits) const {
    return runProgram(LANDFER_BINARY, args, limits);
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

tes4::File convertOk(const WorkDir& work, const tes3::Plugin& plugin, RunResult* result) {
    RunResult run = work.convert(plugin);
    EXPECT_EQ(run.status, 0) << run.err;
    if (result != nullptr) *result = run;
    tes4::File file = work.output();
    tes4::checkTopGroupTypes(file);
    return file;
}

}  // namespace e2e
