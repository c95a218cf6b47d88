// End-to-end runs: the converter in a fresh temporary working directory
// with its own copy of lfdat/, its output and messages captured.
//
// The converter is build/landfer, or the command in the environment
// variable LANDFER_COMMAND, split at spaces, such as
// "wine build-windows/landfer.exe" (relative paths are taken from the
// repository's root). A command naming a .exe is the Windows build: its
// standard output and error must have Windows line ends, which the runs
// turn into "\n" so that the same expectations hold for both builds.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tes3_builder.h"
#include "tes4_reader.h"

namespace e2e {

struct RunResult {
    int status = -1;  // exit status, or -1 when the process was killed
    int signal = 0;
    std::string out;
    std::string err;
    long peakKilobytes = 0;  // the largest resident set the process had
    double seconds = 0;  // wall-clock time
    // CPU time (user and system) the process spent: what a cap on work
    // checks, since it does not grow when other work loads the machine.
    double cpuSeconds = 0;
};

struct RunLimits {
    long fileSizeLimit = -1;  // RLIMIT_FSIZE in bytes, with SIGXFSZ ignored
    long addressSpaceLimit = -1;  // RLIMIT_AS in bytes
    int timeoutSeconds = 60;
};

// The converter's command: program and leading arguments.
std::vector<std::string> converterCommand();
// The Windows build under Wine, from LANDFER_WINDOWS_COMMAND or else
// "wine build-windows/landfer.exe"; empty (with the reason in *missing)
// when Wine or landfer.exe is not there.
std::vector<std::string> windowsCommand(std::string* missing);
bool isWindowsCommand(const std::vector<std::string>& command);
// True when the converter under test is the Windows build.
bool convertsUnderWindows();
// The name the converter is given as its argv[0] (Wine gives the
// Windows form of the path, "Z:\\...\\landfer.exe").
std::string converterName();
// The system error text the converter gives: `windows` where the C
// library of Windows words it differently.
std::string systemText(const std::string& posix, const std::string& windows);

// Lines of Windows text ("\r\n") as lines of "\n"; a line feed without
// its carriage return is a test failure (the stream was not in text mode).
std::string fromWindowsText(const std::string& text, const char* stream);

class WorkDir {
public:
    // A fresh directory holding a copy of the repository's lfdat/.
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::string& dir() const { return work_; }
    std::string path(const std::string& name) const { return work_ + "/" + name; }
    bool exists(const std::string& name) const;
    void writeFile(const std::string& name, const std::vector<uint8_t>& bytes) const;
    void writeFile(const std::string& name, const std::string& text) const;
    std::vector<std::string> files() const;  // names in the working directory

    // Runs `program args...` with the working directory as its current directory.
    RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const RunLimits& limits = RunLimits()) const;
    // Runs the converter under test.
    RunResult run(const std::vector<std::string>& args, const RunLimits& limits = RunLimits()) const;
    // Runs a given converter command; the output of a Windows one as by run().
    RunResult runConverter(const std::vector<std::string>& command, const std::vector<std::string>& args,
                           const RunLimits& limits = RunLimits()) const;
    // Saves the plugin as input.esp and converts it.
    RunResult convert(const tes3::Plugin& plugin, const RunLimits& limits = RunLimits()) const;

    std::vector<uint8_t> outputBytes() const;
    // The output read back; the inspector must also find it sound.
    tes4::File output() const;
    // Runs landfer-inspect with these arguments in the working directory.
    RunResult inspect(const std::vector<std::string>& args) const;

private:
    std::string root_;
    std::string work_;
};

// A WorkDir that is the process's current directory while it lives, for
// tests that run pieces of the converter in-process.
class CurrentWorkDir : public WorkDir {
public:
    CurrentWorkDir();
    ~CurrentWorkDir();

private:
    std::string previous_;
};

// Wrye Bash's record layer, ../shared/oracles/wrye-bash/wb_check.py, or an
// empty text when it is not there (a test then skips its judgement).
std::string wryeBashChecker();
// Loads the named files of `dir` with it and saves each back
// (`--roundtrip`): status 0 when every layout came back the same.
RunResult wryeBashRoundTrip(const WorkDir& dir, const std::vector<std::string>& names, int timeoutSeconds = 300);

// Everything written to a stream (a tmpfile of captured messages, say), from its start.
std::string readStream(FILE* stream);

// Converts the plugin, expects exit status 0, and returns the output read
// back (sound to the reader and the checker, every record in a top group
// of its own type); the options go before the input's name.
tes4::File convertOk(const WorkDir& work, const tes3::Plugin& plugin, RunResult* result = nullptr,
                     const std::vector<std::string>& options = {});
inline tes4::File convertOk(const WorkDir& work, const tes3::Plugin& plugin, RunResult& result,
                            const std::vector<std::string>& options = {}) {
    return convertOk(work, plugin, &result, options);
}

}  // namespace e2e

// Skips a test whose subject the Windows build cannot show by nature
// (resource limits, special files, POSIX permissions), with the reason.
#define SKIP_UNDER_WINDOWS(reason)                                                    \
    do {                                                                              \
        if (e2e::convertsUnderWindows()) GTEST_SKIP() << "not under Windows: " << reason; \
    } while (0)
