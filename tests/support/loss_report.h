// The report of what a run could not carry over, which follows the
// summary on standard error.
#pragma once

#include <string>

namespace e2e {

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
