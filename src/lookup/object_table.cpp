#include "lookup/object_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include <cerrno>

#include "esm/byte_order.h"
#include "esm/read_file.h"
#include "lookup/lookup_lines.h"

namespace landfer {

namespace {

const char* const fileName = "objects.dat";
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// The comma-separated fields of a line, each without surrounding blanks.
std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        size_t comma = line.find(',');
        fields.push_back(trimmed(line.substr(0, comma)));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

// A decimal number, all of the text, finite.
bool parseNumber(std::string_view text, float& value) {
    if (text.empty()) return false;
    float parsed = 0.0f;
    auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// True and the stand-in when the fields after the id are well formed: an
// editor id, a FormID of Oblivion.esm (master byte 00, not 0), and the
// optional scale factor (above 0) and z offset.
bool parseStandIn(const std::vector<std::string_view>& fields, StandIn& standIn) {
    if (fields.size() < 3 || fields.size() > 5 || fields[1].empty()) return false;
    if (!parseHexFormId(fields[2], standIn.formId) || !isOblivionFormId(standIn.formId)) return false;
    if (fields.size() > 3 && (!parseNumber(fields[3], standIn.scale) || standIn.scale <= 0.0f)) return false;
    if (fields.size() > 4 && !parseNumber(fields[4], standIn.zOffset)) return false;
    standIn.editorId.assign(fields[1].data(), fields[1].size());
    return true;
}

// A section line, "[DOOR]": four capital letters (or "_") in brackets.
bool parseSection(std::string_view text, std::array<char, 4>& type) {
    if (text.size() != 6 || text.front() != '[' || text.back() != ']') return false;
    for (size_t i = 0; i < 4; ++i) {
        char c = text[1 + i];
        if (!((c >= 'A' && c <= 'Z') || c == '_')) return false;
        type[i] = c;
    }
    return true;
}

}  // namespace

void ObjectTable::addLine(const std::string& line, size_t number) const {
    std::string content = withoutLineBreak(line);
    std::string_view text(content);
    if (number == 1 && text.substr(0, byteOrderMark.size()) == byteOrderMark) text.remove_prefix(byteOrderMark.size());
    if (trimmed(text).empty() || trimmed(text)[0] == '#') return;
    auto corrupt = [&] {
        warn(path(fileName),
             formatText("Ignoring a corrupt line %zu of %s: %s\n", number, path(fileName).c_str(), content.c_str()));
    };
    if (trimmed(text)[0] == '[') {
        if (!parseSection(trimmed(text), section_)) corrupt();
        return;
    }
    std::vector<std::string_view> fields = fieldsOf(text);
    std::string id = foldedCase(fields[0]);
    bool prefix = !id.empty() && id.back() == '*';
    if (prefix) id.pop_back();
    StandIn standIn;
    standIn.type = section_;
    const bool anyOfSection = prefix && id.empty() && section_[0] != '\0';
    if ((id.empty() && !anyOfSection) || !parseStandIn(fields, standIn)) {
        corrupt();
        return;
    }
    if (anyOfSection) {
        anyOfType_.emplace(std::string(section_.data(), 4), std::move(standIn));
        return;
    }
    if (!prefix) {
        exact_.emplace(std::move(id), std::move(standIn));
        return;
    }
    size_t length = id.size();
    if (prefixes_.emplace(std::move(id), std::move(standIn)).second &&
        std::find(prefixLengths_.begin(), prefixLengths_.end(), length) == prefixLengths_.end()) {
        prefixLengths_.push_back(length);
        std::sort(prefixLengths_.rbegin(), prefixLengths_.rend());
    }
}

void ObjectTable::load() const {
    loaded_ = true;
    ReadFile file = openForReading(path(fileName));
    if (!file) {
        // Without the file, no stand-ins; there but unreadable, it is told.
        if (errno != ENOENT)
            warn(path(fileName), formatText("Unable to open the stand-in lookup file (%s): %s\n", path(fileName).c_str(),
                                            systemErrorText().c_str()));
        return;
    }
    std::string line;
    for (size_t number = 1; readWholeLine(file.get(), line); ++number) addLine(line, number);
}

const StandIn* ObjectTable::anyOf(std::string_view recordType) const {
    if (!loaded_) load();
    auto any = anyOfType_.find(recordType);
    return any == anyOfType_.end() ? nullptr : &any->second;
}

const StandIn* ObjectTable::find(std::string_view morrowindId) const {
    if (!loaded_) load();
    key_.assign(morrowindId.data(), morrowindId.size());
    foldCase(key_);
    auto exact = exact_.find(key_);
    if (exact != exact_.end()) return &exact->second;
    std::string_view key(key_);
    for (size_t length : prefixLengths_) {
        if (length > key.size()) continue;
        auto prefix = prefixes_.find(key.substr(0, length));
        if (prefix != prefixes_.end()) return &prefix->second;
    }
    return nullptr;
}

}  // namespace landfer
