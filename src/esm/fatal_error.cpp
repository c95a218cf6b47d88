#include "esm/fatal_error.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace landfer {

static std::string formatList(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatList(format, args);
    va_end(args);
    return text;
}

void fatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatList(format, args);
    va_end(args);
    throw FatalError(text);
}

std::string systemErrorText() { return std::strerror(errno); }

}  // namespace landfer
