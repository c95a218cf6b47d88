#include "big_lookup_files.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace big {

namespace {

const char* const generatedPrefix = "lf_big_";

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');) out.push_back(field);
    return out;
}

bool generated(const std::string& line) { return line.rfind(generatedPrefix, 0) == 0; }

// Lines holding an entry: no comments, at least one comma.
std::vector<std::string> entriesOf(const std::vector<std::string>& lines, bool withGenerated) {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if ((withGenerated || !generated(line)) && !line.empty() && line[0] != '#' &&
            line.find(',') != std::string::npos)
            out.push_back(line);
    return out;
}

std::vector<std::string> entryLines(const std::string& path, bool withGenerated) {
    return entriesOf(readLines(path), withGenerated);
}

std::vector<std::string> ownEntries(const std::string& path) { return entryLines(path, false); }

bool sectionLine(const std::string& line) { return !line.empty() && line[0] == '['; }

// The lines of objects.dat before its first section (trees, statics and
// flora; the doors and the like follow in sections), and the rest.
std::pair<std::vector<std::string>, std::vector<std::string>> splitAtSections(const std::string& path) {
    std::vector<std::string> lines = readLines(path);
    auto first = std::find_if(lines.begin(), lines.end(), sectionLine);
    return {std::vector<std::string>(lines.begin(), first), std::vector<std::string>(first, lines.end())};
}

// The file's own entries of objects.dat a forest is made of: those before the first section.
std::vector<std::string> forestEntries(const std::string& path) { return entriesOf(splitAtSections(path).first, false); }

// The field holding the FormID: the fourth, the second in classes.dat, the third in objects.dat.
std::string formIdOf(const std::string& line, size_t field) {
    std::vector<std::string> parts = fields(line);
    if (parts.size() <= field) throw std::runtime_error("unexpected lookup line: " + line);
    return parts[field].substr(0, 8);
}

bool exists(const std::string& path) { return static_cast<bool>(std::ifstream(path, std::ios::binary)); }

// objects.dat, when the directory has one: exact ids, and prefixes of four
// lengths, so that a lookup tries several; before its sections, so that
// they are forest objects like the lines whose FormIDs they reuse.
void enlargeObjects(const std::string& directory, int lines) {
    std::string path = directory + "/objects.dat";
    if (!exists(path)) return;
    std::vector<std::string> own = forestEntries(path), all;
    if (own.empty()) return;  // no FormIDs to reuse
    auto [forest, sections] = splitAtSections(path);
    for (const std::string& line : forest)
        if (!generated(line)) all.push_back(line);
    for (int i = 0; i < lines; ++i) {
        char line[160];
        const char* format = i % 2 == 0 ? "%sobject_%04d,BigObject%d,%s" : "%sfamily_%d_*,BigFamily%d,%s";
        std::snprintf(line, sizeof line, format, generatedPrefix, i, i, formIdOf(own[i % own.size()], 2).c_str());
        all.push_back(line);
    }
    all.insert(all.end(), sections.begin(), sections.end());
    writeLines(path, all);
}

}  // namespace

void enlargeLookupFiles(const std::string& directory, int lines) {
    for (const char* kind : {"armour", "clothing", "weapons"}) {
        std::string path = directory + "/" + kind + ".dat";
        std::vector<std::string> own = ownEntries(path);
        std::vector<std::string> all;
        for (const std::string& line : readLines(path))
            if (!generated(line)) all.push_back(line);
        for (int i = 0; i < lines; ++i) {
            char line[160];
            std::snprintf(line, sizeof line, "%s%s_%04d,Big %s %d,Big%s%d,%s", generatedPrefix, kind, i, kind, i,
                          kind, i, formIdOf(own[i % own.size()], 3).c_str());
            all.push_back(line);
        }
        writeLines(path, all);
    }
    {
        std::string path = directory + "/classes.dat";
        std::vector<std::string> own = ownEntries(path), all = own;
        for (int i = 0; i < lines / 10; ++i)
            all.push_back(std::string(generatedPrefix) + "class_" + std::to_string(i) + "," +
                          formIdOf(own[i % own.size()], 1));
        writeLines(path, all);
    }
    {
        std::string path = directory + "/ltex.dat";
        std::vector<std::string> own = ownEntries(path), all;
        for (const std::string& line : readLines(path))
            if (!generated(line)) all.push_back(line);
        for (int i = 0; i < lines; ++i) {
            char line[160];
            std::snprintf(line, sizeof line, "%stex_%04d,BigTerrain%d,Tx_lf_big_%04d.tga,%s", generatedPrefix, i, i,
                          i, formIdOf(own[i % own.size()], 3).c_str());
            all.push_back(line);
        }
        writeLines(path, all);
    }
    enlargeObjects(directory, lines);
}

LookupIds readLookupIds(const std::string& directory) {
    LookupIds ids;
    for (const char* kind : {"armour", "clothing", "weapons"})
        for (const std::string& line : entryLines(directory + "/" + kind + ".dat", true))
            ids.items.push_back(fields(line)[0]);
    for (const std::string& line : entryLines(directory + "/classes.dat", true)) ids.classes.push_back(fields(line)[0]);
    for (const std::string& line : entryLines(directory + "/ltex.dat", true)) {
        std::vector<std::string> parts = fields(line);
        if (parts.size() >= 4) ids.textureFiles.push_back(parts[2]);
    }
    if (exists(directory + "/objects.dat"))
        for (const std::string& line : forestEntries(directory + "/objects.dat"))
            ids.objects.push_back(fields(line)[0]);
    return ids;
}

}  // namespace big
