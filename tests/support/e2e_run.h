// End-to-end runs: build/landfer in a fresh temporary working directory
// with its own copy of lfdat/, its output and messages captured.
#pragma once

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
};

struct RunLimits {
    long fileSizeLimit = -1;  // RLIMIT_FSIZE in bytes, with SIGXFSZ ignored
    long addressSpaceLimit = -1;  // RLIMIT_AS in bytes
    int timeoutSeconds = 60;
};

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
    RunResult run(const std::vector<std::string>& args, const RunLimits& limits = RunLimits()) const;
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

// Converts the plugin, expects exit status 0, and returns the output read
// back (sound to the reader and the checker, every record in a top group
// of its own type).
tes4::File convertOk(const WorkDir& work, const tes3::Plugin& plugin, RunResult* result = nullptr);
inline tes4::File convertOk(const WorkDir& work, const tes3::Plugin& plugin, RunResult& result) {
    return convertOk(work, plugin, &result);
}

}  // namespace e2e
