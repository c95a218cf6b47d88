#include "run/output_file_checks.h"

#include <filesystem>
#include <system_error>

#include "esm/fatal_error.h"

namespace landfer {

namespace fs = std::filesystem;

namespace {

// File identity, not device and inode numbers, which read 0 on Windows.
// Either file missing is an error code, and no reason to refuse.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(fs::path(a), fs::path(b), error);
}

}  // namespace

void refuseInputThatIsOutput(const std::string& inputName, const char* outputName) {
    if (sameFile(inputName, outputName))
        fatal("The input file %s is the output file %s; rename it or run in another folder\n", inputName.c_str(),
              outputName);
}

void refuseReportThatIsAPlugin(const std::string& reportName, const std::string& inputName, const char* outputName) {
    if (reportName == outputName || sameFile(reportName, inputName) || sameFile(reportName, outputName))
        fatal("The report file %s would overwrite a plugin; name another file.\n", reportName.c_str());
}

void refuseOutputThatIsNoRegularFile(const char* outputName) {
    std::error_code error;
    fs::file_status status = fs::status(fs::path(outputName), error);
    if (status.type() == fs::file_type::not_found || status.type() == fs::file_type::regular) return;
    // Anything else, unreadable status included, is left for the open to report.
    if (error) return;
    fatal("Unable to open %s for writing: Not a regular file\n", outputName);
}

}  // namespace landfer
