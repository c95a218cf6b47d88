// The one error type of the program. A fatal error carries the exact text
// the user sees on standard error; it unwinds to main, which prints it and
// exits with status 1. Raising instead of exiting keeps the whole conversion
// callable in-process (tests, fuzzing).
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>

// Format strings are checked as C99 printf's; on Windows the C99 printf is
// MinGW's own (__USE_MINGW_ANSI_STDIO), since the system's lacks %zu.
#ifdef __MINGW_PRINTF_FORMAT
#define LANDFER_PRINTF(formatIndex, firstIndex) __attribute__((format(__MINGW_PRINTF_FORMAT, formatIndex, firstIndex)))
#else
#define LANDFER_PRINTF(formatIndex, firstIndex) __attribute__((format(printf, formatIndex, firstIndex)))
#endif

namespace landfer {

class FatalError : public std::runtime_error {
public:
    explicit FatalError(const std::string& message, bool onStandardOutput = false)
        : std::runtime_error(message), onStandardOutput_(onStandardOutput) {}
    // The one fatal message that the user sees among the progress output.
    bool onStandardOutput() const { return onStandardOutput_; }

private:
    bool onStandardOutput_;
};

// printf-style formatting into a std::string.
std::string formatText(const char* format, ...) LANDFER_PRINTF(1, 2);

// Throws a FatalError with the formatted message.
[[noreturn]] void fatal(const char* format, ...) LANDFER_PRINTF(1, 2);

// The system's error text for the current errno.
std::string systemErrorText();

}  // namespace landfer
