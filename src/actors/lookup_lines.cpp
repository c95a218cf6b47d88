#include "actors/lookup_lines.h"

#include <cctype>
#include <cstdint>

namespace landfer {

bool readWholeLine(FILE* file, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !line.empty();
}

std::string withoutLineBreak(const std::string& line) {
    size_t end = line.size();
    if (end > 0 && line[end - 1] == '\n') --end;
    if (end > 0 && line[end - 1] == '\r') --end;
    return line.substr(0, end);
}

bool readHexFormId(const std::string& line, size_t offset, uint32_t& value) {
    if (offset > line.size() || line.size() - offset < 8) return false;
    uint32_t result = 0;
    for (size_t i = offset; i < offset + 8; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (!std::isxdigit(c)) return false;
        int digit = std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10;
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    value = result;
    return true;
}

}  // namespace landfer
