// Reading a run's output: the summary's counts on standard output, and
// the report of what could not be carried over, which follows the summary
// on standard error.
#pragma once

#include <string>

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

}  // namespace e2e
