#include "esm/reporter.h"

#include <cstdarg>

namespace landfer {

void Reporter::report(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    std::vfprintf(messages_, format, args);
    va_end(args);
}

void Reporter::progressText(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    std::vfprintf(progress_, format, args);
    va_end(args);
}

void Reporter::showProgress(const char* text, bool flush) const {
    std::fputs(text, progress_);
    if (flush) std::fflush(progress_);
}

}  // namespace landfer
