#include "landscape/land_texture_lookup.h"

#include <cstdio>
#include <cstring>

#include "plugin/byte_order.h"
#include "plugin/fatal_error.h"

namespace landfer {

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Reads one line of any length, without its line feed; false at the end.
bool readLine(FILE* file, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        if (c == '\n') return true;
        line.push_back(static_cast<char>(c));
    }
    return !line.empty();
}

// A line "field1,field2,texture file,FormID": fields 3 and 4 end at a comma,
// a carriage return or the end of the line. False for comments and for
// lines without three commas or without an eight-digit FormID.
bool parseLine(const std::string& line, std::string_view& fileName, uint32_t& formId) {
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
    return parseHexFormId(rest.substr(0, rest.find_first_of(",\r")), formId);
}

}  // namespace

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

namespace {

std::string foldedCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

FILE* openLtexFile(RunState& run, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        run.report("Unable to open the LTEX texture lookup file (%s): %s\n", path.c_str(), systemErrorText().c_str());
    return file;
}

bool searchFile(RunState& run, const std::string& path, std::string_view textureFileName, uint32_t& formId) {
    FILE* file = openLtexFile(run, path);
    if (file == nullptr) return false;
    bool foundOtherCase = false;
    uint32_t otherCaseFormId = 0;
    std::string line;
    while (readLine(file, line)) {
        std::string_view name;
        uint32_t lineFormId;
        if (!parseLine(line, name, lineFormId)) continue;
        if (name == textureFileName) {
            std::fclose(file);
            formId = lineFormId;
            return true;
        }
        if (!foundOtherCase && equalIgnoringCase(name, textureFileName)) {
            foundOtherCase = true;
            otherCaseFormId = lineFormId;
        }
    }
    std::fclose(file);
    formId = otherCaseFormId;
    return foundOtherCase;
}

// A file that cannot be opened is reported at every lookup, as a search would.
bool searchTable(RunState& run, const std::string& path, std::string_view textureFileName, uint32_t& formId) {
    LandTextureFileTable& table = run.caches.landTextures;
    if (!table.loaded) {
        FILE* file = openLtexFile(run, path);
        if (file == nullptr) return false;
        std::string line;
        while (readLine(file, line)) {
            std::string_view name;
            uint32_t lineFormId;
            if (!parseLine(line, name, lineFormId)) continue;
            table.exactNames.emplace(std::string(name), lineFormId);
            table.foldedNames.emplace(foldedCase(name), lineFormId);
        }
        std::fclose(file);
        table.loaded = true;
    }
    auto exact = table.exactNames.find(std::string(textureFileName));
    if (exact != table.exactNames.end()) {
        formId = exact->second;
        return true;
    }
    auto folded = table.foldedNames.find(foldedCase(textureFileName));
    formId = folded != table.foldedNames.end() ? folded->second : 0;
    return folded != table.foldedNames.end();
}

}  // namespace

bool lookupLtexFile(RunState& run, std::string_view textureFileName, uint32_t& formId) {
    std::string path = run.lookupDirectory + "/ltex.dat";
    return run.caches.enabled ? searchTable(run, path, textureFileName, formId)
                              : searchFile(run, path, textureFileName, formId);
}

int handleLandTexture(RunState& run, RecordData record) {
    SubrecordCursor cursor(record);
    std::string editorId;
    if (cursor.nextIs("NAME")) editorId = cursor.next().text();
    LandscapeState& landscape = run.landscape;
    uint32_t number = landscape.highestTextureNumber + 1;
    bool indexed = cursor.nextIs("INTV");
    if (indexed) {
        Subrecord index = cursor.next();
        index.require(4);
        number = readUint32(index.data) + 1;
    }
    // Texture number 0 is the land's own "no texture": giving it a FormID
    // would paint every unpainted square. An index of -1 wraps around to it,
    // and so does the number after the highest, 0xFFFFFFFF.
    if (number == 0) {
        if (editorId.empty()) editorId = "(no editor ID)";
        if (indexed)
            throw MalformedRecord(formatText("%s has the index -1, which would give it texture number 0, no texture",
                                             editorId.c_str()));
        throw MalformedRecord(formatText("%s has no index, and the number after the highest so far would be 0, "
                                         "no texture",
                                         editorId.c_str()));
    }
    if (!cursor.nextIs("DATA")) throw FatalError("Couldn't find LTEX DATA subrec!\n", true);
    std::string fileName(cursor.next().text());

    uint32_t formId = 0;
    if (!lookupLtexFile(run, fileName, formId)) {
        run.report("Unable to populate an ltex FormID for %s: Not in my LTEX file!!\n", fileName.c_str());
        formId = 0;
    }
    run.losses.noteLandTexture(number, fileName, formId != 0);
    // An unknown texture keeps its number, without a FormID, so that the
    // numbers of the others stay where the land records expect them.
    landscape.landTextureTable[number] = formId;
    if (number > landscape.highestTextureNumber) landscape.highestTextureNumber = number;
    return 0;
}

uint32_t findLandTextureFormId(const RunState& run, uint32_t textureNumber) {
    auto entry = run.landscape.landTextureTable.find(textureNumber);
    return entry != run.landscape.landTextureTable.end() ? entry->second : 0;
}

}  // namespace landfer
