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

bool searchFile(RunState& run, const std::string& path, std::string_view itemId, uint32_t& formId) {
    FILE* file = std::fopen(path.c_str(), "r");
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

}  // namespace

bool lookupInventoryItem(RunState& run, std::string_view itemId, uint32_t& formIdOut) {
    for (const char* name : {"armour.dat", "clothing.dat", "weapons.dat"}) {
        if (searchFile(run, run.lookupDirectory + "/" + name, itemId, formIdOut)) return true;
    }
    return false;
}

}  // namespace landfer
