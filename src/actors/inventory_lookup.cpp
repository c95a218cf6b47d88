#include "actors/inventory_lookup.h"

#include <cstdio>
#include <string>

#include "actors/lookup_lines.h"
#include "plugin/fatal_error.h"

namespace landfer {

namespace {

enum class LineResult { noMatch, match, corrupt };

// A line without a comma (an empty line, say) holds no entry and is passed
// over. A line for this id needs three commas and eight hex digits.
LineResult matchLine(const std::string& line, std::string_view itemId, uint32_t& formId) {
    size_t comma = line.find(',');
    if (comma == std::string::npos) return LineResult::noMatch;
    if (std::string_view(line).substr(0, comma) != itemId) return LineResult::noMatch;
    size_t second = line.find(',', comma + 1);
    size_t third = second == std::string::npos ? second : line.find(',', second + 1);
    if (third == std::string::npos || !readHexFormId(line, third + 1, formId)) return LineResult::corrupt;
    return LineResult::match;
}

bool searchFile(RunState& run, const std::string& path, bool optional, std::string_view itemId, uint32_t& formId) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr && optional) return false;
    if (file == nullptr)
        fatal("Unable to open inventory lookup data file %s: %s!\n", path.c_str(), systemErrorText().c_str());
    bool found = false;
    std::string line;
    while (!found && readWholeLine(file, line)) {
        LineResult result = matchLine(line, itemId, formId);
        if (result == LineResult::corrupt)
            run.report("Ignoring a corrupt line in %s: %s\n", path.c_str(), withoutLineBreak(line).c_str());
        found = result == LineResult::match;
    }
    std::fclose(file);
    return found;
}

// Reads a whole file into its table: what a search for each id would meet.
void loadTable(const std::string& path, bool optional, InventoryFileTable& table) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr && optional) {
        table.loaded = true;
        return;
    }
    if (file == nullptr)
        fatal("Unable to open inventory lookup data file %s: %s!\n", path.c_str(), systemErrorText().c_str());
    std::string line;
    while (readWholeLine(file, line)) {
        size_t comma = line.find(',');
        if (comma == std::string::npos) continue;
        InventoryIdEntry& entry = table.ids[line.substr(0, comma)];
        if (entry.found) continue;
        uint32_t formId = 0;
        if (matchLine(line, std::string_view(line).substr(0, comma), formId) == LineResult::corrupt) {
            entry.corruptLines.push_back(withoutLineBreak(line));
            continue;
        }
        entry.found = true;
        entry.formId = formId;
    }
    std::fclose(file);
    table.loaded = true;
}

bool searchTable(RunState& run, const std::string& path, bool optional, InventoryFileTable& table,
                 std::string_view itemId, uint32_t& formId) {
    if (!table.loaded) loadTable(path, optional, table);
    run.caches.key.assign(itemId.data(), itemId.size());
    auto entry = table.ids.find(run.caches.key);
    if (entry == table.ids.end()) return false;
    for (const std::string& line : entry->second.corruptLines)
        run.report("Ignoring a corrupt line in %s: %s\n", path.c_str(), line.c_str());
    if (entry->second.found) formId = entry->second.formId;
    return entry->second.found;
}

// The first three are required; the fourth, for everything else an NPC
// carries (gold, say), may be missing, which counts as empty.
const char* const lookupFileNames[inventoryFileCount] = {"armour.dat", "clothing.dat", "weapons.dat", "misc.dat"};
constexpr int requiredFileCount = 3;

}  // namespace

bool lookupInventoryItem(RunState& run, std::string_view itemId, uint32_t& formIdOut) {
    RunCaches& caches = run.caches;
    for (int i = 0; i < inventoryFileCount; ++i) {
        std::string& path = caches.inventoryPaths[i];
        if (path.empty()) path = run.lookupDirectory + "/" + lookupFileNames[i];
        bool optional = i >= requiredFileCount;
        bool found = caches.enabled ? searchTable(run, path, optional, caches.inventoryFiles[i], itemId, formIdOut)
                                    : searchFile(run, path, optional, itemId, formIdOut);
        if (found) return true;
    }
    return false;
}

}  // namespace landfer
