#include "lookup/item_table.h"

#include <cerrno>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/read_file.h"
#include "lookup/lookup_lines.h"

namespace landfer {

namespace {

// The first three are required; the fourth, for everything else an NPC
// carries (gold, say), may be missing, which counts as empty.
const char* const fileNames[ItemTable::fileCount] = {"armour.dat", "clothing.dat", "weapons.dat", "misc.dat"};
constexpr int requiredFileCount = 3;

// A line for an id needs three commas and an Oblivion.esm FormID behind
// them, the last field.
bool readLineFormId(const std::string& line, size_t comma, uint32_t& formId) {
    size_t second = line.find(',', comma + 1);
    size_t third = second == std::string::npos ? second : line.find(',', second + 1);
    return third != std::string::npos && readLastFormId(line, third + 1, formId);
}

}  // namespace

void ItemTable::load(int index) {
    File& table = files_[index];
    table.loaded = true;
    table.path = path(fileNames[index]);
    ReadFile file = openLookupFile(table.path, "r");
    if (!file && index >= requiredFileCount) {
        // Missing, the optional file holds nothing; there but unreadable, it is told.
        if (errno != ENOENT)
            warn(table.path, formatText("Unable to open inventory lookup data file %s: %s!\n", table.path.c_str(),
                                        systemErrorText().c_str()));
        return;
    }
    if (!file)
        fatal("Unable to open inventory lookup data file %s: %s!\n", table.path.c_str(), systemErrorText().c_str());
    std::string line;
    while (readWholeLine(file.get(), line)) {
        // A line without a comma (an empty line, say) holds no entry.
        size_t comma = line.find(',');
        if (comma == std::string::npos) continue;
        // Morrowind ids are case-insensitive: the key is the folded id.
        Entry& entry = table.ids[foldedCase(std::string_view(line).substr(0, comma))];
        if (entry.found) continue;
        uint32_t formId = 0;
        if (!readLineFormId(line, comma, formId)) {
            entry.corruptLines.push_back(withoutLineBreak(line));
            continue;
        }
        entry.found = true;
        entry.formId = formId;
    }
}

bool ItemTable::find(std::string_view itemId, uint32_t& formId) {
    for (int i = 0; i < fileCount; ++i) {
        File& table = files_[i];
        if (!table.loaded) load(i);
        key_ = foldedCase(itemId);
        auto entry = table.ids.find(key_);
        if (entry == table.ids.end()) continue;
        // Reported at the first lookup of the id only.
        for (const std::string& line : entry->second.corruptLines)
            reportCorruptLine(table.path, line);
        entry->second.corruptLines.clear();
        if (entry->second.found) {
            formId = entry->second.formId;
            return true;
        }
    }
    return false;
}

}  // namespace landfer
