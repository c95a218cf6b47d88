#include "lookup/lookup_lines.h"

namespace landfer {

ReadFile openLookupFile(const std::string& path, const char* mode) {
    ReadFile file = openForReading(path, mode);
    if (!file) return file;
    unsigned char start[3] = {0, 0, 0};
    size_t got = std::fread(start, 1, sizeof start, file.get());
    bool byteOrderMark = got == 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF;
    if (!byteOrderMark) std::rewind(file.get());
    return file;
}

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

bool parseHexFormId(std::string_view text, uint32_t& formId) {
    if (text.size() != 8) return false;
    uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    formId = value;
    return true;
}

bool isOblivionFormId(uint32_t formId) { return formId != 0 && formId <= 0x00FFFFFF; }

bool readLastFormId(std::string_view line, size_t offset, uint32_t& formId) {
    if (offset > line.size()) return false;
    std::string_view field = line.substr(offset);
    size_t end = field.find_last_not_of(" \t\r\n");
    field = end == std::string_view::npos ? std::string_view() : field.substr(0, end + 1);
    uint32_t parsed = 0;
    if (!parseHexFormId(field, parsed) || !isOblivionFormId(parsed)) return false;
    formId = parsed;
    return true;
}


}  // namespace landfer
