// Reading a run's output: the summary's counts on standard output, and
// the report of what could not be carried over, which follows the summary
// on standard error.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace e2e {

// The number on the summary line "\t<label>:", or -1 without such a line.
inline int summaryCount(const std::string& out, const std::string& label) {
    size_t at = out.find("\t" + label + ":");
    if (at == std::string::npos) return -1;
    return std::stoi(out.substr(out.find_first_not_of(' ', at + label.size() + 2)));
}

// The messages of a run before its loss report.
inline std::string withoutLossReport(const std::string& err) {
    size_t at = err.rfind("Not carried over:\n");
    return at == std::string::npos ? err : err.substr(0, at);
}

// The loss report alone, empty when there is none.
inline std::string lossReport(const std::string& err) {
    size_t at = err.rfind("Not carried over:\n");
    return at == std::string::npos ? std::string() : err.substr(at);
}

// Messages without where in the input each problem is (" (record at byte
// N of FILE[, subrecord at byte M])"), for the tests of their words.
inline std::string withoutPlaces(const std::string& text) {
    static const std::regex place(" \\(record at byte [0-9]+ of [^,)]*(, subrecord at byte [0-9]+)?\\)");
    return std::regex_replace(text, place, "");
}

// Messages without the run's staging folder ("landfer-run-<process>-<n>/")
// in the paths of its files, for the tests of their words.
inline std::string withoutStagingFolder(const std::string& text) {
    static const std::regex folder("landfer-run-[0-9]+-[0-9]+/");
    return std::regex_replace(text, folder, "");
}

// The staging folders among the names of a working directory.
inline std::vector<std::string> stagingFolders(const std::vector<std::string>& names) {
    static const std::regex folder("landfer-run-[0-9]+-[0-9]+");
    std::vector<std::string> found;
    for (const std::string& name : names)
        if (std::regex_match(name, folder)) found.push_back(name);
    return found;
}

}  // namespace e2e
