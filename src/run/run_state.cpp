#include "run/run_state.h"

#include <cstdarg>

namespace landfer {

void RunState::report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(messages, format, args);
    va_end(args);
}

void RunState::showProgress(const char* text, bool flush) {
    std::fputs(text, progress);
    if (flush) std::fflush(progress);
}

}  // namespace landfer

namespace landfer {

bool RunState::rejectOversized(std::string_view recordType, std::string_view editorId, const SubrecordBuffer& data) {
    if (!data.tooLarge()) return false;
    report("The %.*s record %.*s cannot be converted: its %.4s subrecord would hold %zu bytes, more than 65535. "
           "Ignoring!\n",
           static_cast<int>(recordType.size()), recordType.data(), static_cast<int>(editorId.size()),
           editorId.data(), data.tooLargeType().data(), data.tooLargeSize());
    return true;
}

}  // namespace landfer
