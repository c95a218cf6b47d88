#include "lookup/class_table.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/read_file.h"
#include "lookup/lookup_lines.h"

namespace landfer {

void ClassTable::load() {
    loaded_ = true;
    ReadFile file = openLookupFile(path_);
    if (!file) fatal("Unable to open Classes lookup file (%s): %s\n", path_.c_str(), systemErrorText().c_str());
    std::string line;
    for (size_t number = 0; readWholeLine(file.get(), line); ++number) {
        // A line is "class id,FORMID"
        size_t comma = line.find(',');
        uint32_t formId = 0;
        if (comma == std::string::npos || !readLastFormId(line, comma + 1, formId))
            corruptLines_.emplace_back(number, line);
        else
            firstLines_.emplace(foldedCase(std::string_view(line).substr(0, comma)), std::make_pair(number, formId));
    }
}

uint32_t ClassTable::find(std::string_view classId, bool* foundOut) {
    if (!loaded_) load();
    key_ = foldedCase(classId);
    auto match = firstLines_.find(key_);
    size_t matchLine = match != firstLines_.end() ? match->second.first : static_cast<size_t>(-1);
    // Each corrupt line is reported once, by the first lookup that reads up to it.
    for (; reportedCorruptLines_ < corruptLines_.size(); ++reportedCorruptLines_) {
        const auto& corrupt = corruptLines_[reportedCorruptLines_];
        if (corrupt.first > matchLine) break;
        warn(path_, formatText("Found a corrupt line in %s. Should be 2 fields, commar delimited. Ignoring. Line "
                               "was: %s\n",
                               path_.c_str(), corrupt.second.c_str()));
    }
    bool found = match != firstLines_.end();
    if (foundOut != nullptr) *foundOut = found;
    return found ? match->second.second : defaultClassFormId;
}

}  // namespace landfer
