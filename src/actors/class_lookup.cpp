#include "actors/class_lookup.h"

#include <cstdio>
#include <string>

#include "actors/lookup_lines.h"
#include "plugin/fatal_error.h"

namespace landfer {

namespace {

FILE* openClassFile(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        fatal("Unable to open Classes lookup file (%s): %s\n", path.c_str(), systemErrorText().c_str());
    return file;
}

// A line is "class id,FORMID..."; false for a corrupt one.
bool parseClassLine(const std::string& line, size_t& comma, uint32_t& formId) {
    comma = line.find(',');
    return comma != std::string::npos && readHexFormId(line, comma + 1, formId);
}

void reportCorruptLine(RunState& run, const std::string& path, const std::string& line) {
    run.report("Found a corrupt line in %s. Should be 2 fields, commar delimited. Ignoring. Line was: %s\n",
               path.c_str(), line.c_str());
}

uint32_t searchFile(RunState& run, const std::string& path, std::string_view classId, bool& found) {
    FILE* file = openClassFile(path);
    uint32_t result = defaultClassFormId;
    std::string line;
    while (readWholeLine(file, line)) {
        size_t comma = 0;
        uint32_t formId = 0;
        if (!parseClassLine(line, comma, formId)) {
            reportCorruptLine(run, path, line);
            continue;
        }
        if (std::string_view(line).substr(0, comma) == classId) {
            result = formId;
            found = true;
            break;
        }
    }
    std::fclose(file);
    return result;
}

void loadTable(const std::string& path, ClassTable& table) {
    FILE* file = openClassFile(path);
    std::string line;
    for (size_t number = 0; readWholeLine(file, line); ++number) {
        size_t comma = 0;
        uint32_t formId = 0;
        if (!parseClassLine(line, comma, formId))
            table.corruptLines.emplace_back(number, line);
        else
            table.firstLines.emplace(line.substr(0, comma), std::make_pair(number, formId));
    }
    std::fclose(file);
    table.loaded = true;
}

// What a search of the file would find and report.
uint32_t searchTable(RunState& run, const std::string& path, std::string_view classId, bool& found) {
    ClassTable& table = run.caches.classes;
    if (!table.loaded) loadTable(path, table);
    run.caches.key.assign(classId.data(), classId.size());
    auto match = table.firstLines.find(run.caches.key);
    size_t matchLine = match != table.firstLines.end() ? match->second.first : static_cast<size_t>(-1);
    for (const auto& corrupt : table.corruptLines) {
        if (corrupt.first > matchLine) break;
        reportCorruptLine(run, path, corrupt.second);
    }
    found = match != table.firstLines.end();
    return found ? match->second.second : defaultClassFormId;
}

}  // namespace

uint32_t lookupClass(RunState& run, std::string_view classId, bool* foundOut) {
    std::string& path = run.caches.classPath;
    if (path.empty()) path = run.lookupDirectory + "/classes.dat";
    bool found = false;
    uint32_t formId = run.caches.enabled ? searchTable(run, path, classId, found) : searchFile(run, path, classId, found);
    if (foundOut != nullptr) *foundOut = found;
    return formId;
}

}  // namespace landfer
