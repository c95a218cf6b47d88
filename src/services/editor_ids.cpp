#include "services/editor_ids.h"

#include "esm/byte_order.h"

namespace landfer {

namespace {

// The key of the number kept for a stem and its suffixes: a 0 byte stands
// in no editor ID, so it parts them.
std::string numberKey(const std::string& foldedStem, std::initializer_list<std::string_view> suffixes) {
    std::string key = foldedStem;
    for (std::string_view suffix : suffixes) {
        key += '\0';
        key += foldedCase(suffix);
    }
    return key;
}

}  // namespace

bool EditorIds::taken(std::string_view editorId) const { return claimed_.count(foldedCase(editorId)) > 0; }

bool EditorIds::allFree(const std::string& foldedStem, std::initializer_list<std::string_view> suffixes) const {
    for (std::string_view suffix : suffixes)
        if (claimed_.count(foldedStem + foldedCase(suffix)) > 0) return false;
    return true;
}

void EditorIds::claimAll(const std::string& foldedStem, std::initializer_list<std::string_view> suffixes) {
    for (std::string_view suffix : suffixes) claimed_.insert(foldedStem + foldedCase(suffix));
}

std::string EditorIds::unique(std::string_view stem, std::initializer_list<std::string_view> suffixes) {
    if (stem.empty()) return std::string();
    const std::string folded = foldedCase(stem);
    if (allFree(folded, suffixes)) {
        claimAll(folded, suffixes);
        return std::string(stem);
    }
    unsigned long long& next = nextNumber_[numberKey(folded, suffixes)];
    if (next < 2) next = 2;
    while (!allFree(folded + std::to_string(next), suffixes)) ++next;
    const std::string number = std::to_string(next++);
    claimAll(folded + number, suffixes);
    return std::string(stem) + number;
}

}  // namespace landfer
