#include "records/dialogue_text.h"

#include <algorithm>
#include <cctype>

#include "esm/byte_order.h"

namespace landfer {

namespace {

// Letters (of any code page: bytes above 127 count as letters) and digits.
bool isWordByte(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte >= 0x80;
}

size_t wordEnd(std::string_view text, size_t start) {
    while (start < text.size() && isWordByte(text[start])) ++start;
    return start;
}

}  // namespace

std::vector<std::string> splitResponseText(std::string_view text, size_t limit) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true) {
        while (start < text.size() && text[start] == ' ') ++start;
        if (text.size() - start <= limit) break;
        // The last space that leaves at most `limit` bytes before it, or a hard cut.
        size_t cut = text.rfind(' ', start + limit);
        if (cut == std::string_view::npos || cut <= start) cut = start + limit;
        size_t end = cut;
        while (end > start && text[end - 1] == ' ') --end;
        pieces.emplace_back(text.substr(start, end - start));
        start = cut;
    }
    size_t end = text.size();
    while (end > start && text[end - 1] == ' ') --end;
    if (end > start || pieces.empty()) pieces.emplace_back(text.substr(start, end - start));
    return pieces;
}

std::string alphanumericStem(std::string_view name) {
    std::string stem;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c))) stem += c;
    return stem;
}

bool saysGoodbye(std::string_view script) {
    size_t lineStart = 0;
    while (lineStart < script.size()) {
        size_t lineEnd = script.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = script.size();
        std::string_view line = script.substr(lineStart, lineEnd - lineStart);
        line = line.substr(0, std::min(line.size(), line.find(';')));
        for (size_t at = 0; at < line.size();) {
            if (!isWordByte(line[at])) {
                ++at;
                continue;
            }
            const size_t end = wordEnd(line, at);
            if (foldedCase(line.substr(at, end - at)) == "goodbye") return true;
            at = end;
        }
        lineStart = lineEnd + 1;
    }
    return false;
}

void TopicNames::add(std::string_view name, size_t number) {
    if (name.empty() || !isWordByte(name[0])) return;
    std::string folded = foldedCase(name);
    std::string first = folded.substr(0, wordEnd(folded, 0));
    byFirstWord_[first].push_back({std::move(folded), number, count_++});
}

std::vector<size_t> TopicNames::namedIn(std::string_view text) const {
    const std::string folded = foldedCase(text);
    std::vector<const Name*> found;
    for (size_t at = 0; at < folded.size();) {
        if (!isWordByte(folded[at])) {
            ++at;
            continue;
        }
        const size_t end = wordEnd(folded, at);
        auto candidates = byFirstWord_.find(folded.substr(at, end - at));
        if (candidates != byFirstWord_.end()) {
            for (const Name& name : candidates->second) {
                const size_t after = at + name.folded.size();
                const bool whole = folded.compare(at, name.folded.size(), name.folded) == 0 &&
                                   (after == folded.size() || !isWordByte(folded[after]) ||
                                    !isWordByte(name.folded.back()));
                if (whole && std::find(found.begin(), found.end(), &name) == found.end()) found.push_back(&name);
            }
        }
        at = end;
    }
    std::sort(found.begin(), found.end(), [](const Name* a, const Name* b) { return a->order < b->order; });
    std::vector<size_t> numbers;
    for (const Name* name : found) numbers.push_back(name->number);
    return numbers;
}

}  // namespace landfer
