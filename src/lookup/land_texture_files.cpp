#include "lookup/land_texture_files.h"

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/read_file.h"
#include "lookup/lookup_lines.h"

namespace landfer {

namespace {

// False for comments and for lines without three commas or without an
// Oblivion.esm FormID as the last field.
bool parseLine(std::string_view line, std::string_view& fileName, uint32_t& formId) {
    if (!line.empty() && line[0] == '#') return false;
    std::string_view rest(line);
    for (int field = 0; field < 2; ++field) {
        size_t comma = rest.find(',');
        if (comma == std::string_view::npos) return false;
        rest.remove_prefix(comma + 1);
    }
    size_t end = rest.find_first_of(",\r");
    if (end == std::string_view::npos || rest[end] != ',') return false;
    fileName = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return readLastFormId(rest, 0, formId);
}

}  // namespace

void LandTextureFiles::load() {
    // A file that cannot be opened is reported once and holds no name.
    loaded_ = true;
    ReadFile file = openLookupFile(path_);
    if (!file) {
        warn(path_, formatText("Unable to open the LTEX texture lookup file (%s): %s\n", path_.c_str(),
                               systemErrorText().c_str()));
        return;
    }
    std::string line;
    while (readWholeLine(file.get(), line)) {
        std::string_view text(line);
        if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
        std::string_view name;
        uint32_t lineFormId;
        if (!parseLine(text, name, lineFormId)) {
            // Comments and empty lines are no entries; any other line is a corrupt one.
            std::string plain = withoutLineBreak(line);
            if (!plain.empty() && plain[0] != '#') reportCorruptLine(path_, plain);
            continue;
        }
        exactNames_.emplace(std::string(name), lineFormId);
        foldedNames_.emplace(foldedCase(name), lineFormId);
    }
}

bool LandTextureFiles::find(std::string_view textureFileName, uint32_t& formId) {
    if (!loaded_) load();
    auto exact = exactNames_.find(std::string(textureFileName));
    if (exact != exactNames_.end()) {
        formId = exact->second;
        return true;
    }
    auto folded = foldedNames_.find(foldedCase(textureFileName));
    formId = folded != foldedNames_.end() ? folded->second : 0;
    return folded != foldedNames_.end();
}

}  // namespace landfer
