#include "record_checks.h"

#include <algorithm>
#include <cctype>

#include "check_text.h"

namespace inspect {

namespace {

constexpr float cellSize = 4096.0f;

std::string floats(const tes4::Subrecord* pair) {
    if (pair == nullptr || pair->data.size() != 8) return "(missing)";
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", tes4::f32(pair->data, 0), tes4::f32(pair->data, 4));
    return text;
}

bool holds(const tes4::Subrecord* pair, float x, float y) {
    return pair != nullptr && pair->data.size() == 8 && tes4::f32(pair->data, 0) == x && tes4::f32(pair->data, 4) == y;
}

std::string placedObjectProblem(const tes4::Entry& placed) {
    if ((placed.flags & persistentFlag) != 0)
        return at(placed.offset,
                  "REFR with the Persistent flag (0x400): placed objects stay temporary, in their cells");
    const tes4::Subrecord* data = placed.find("DATA");
    if (data == nullptr || data->data.size() != 24) return at(placed.offset, "REFR without its 24-byte DATA");
    const tes4::Subrecord* scale = placed.find("XSCL");
    if (scale != nullptr && scale->data.size() != 4) return at(placed.offset, "REFR with an XSCL that is not 4 bytes");
    return "";
}

}  // namespace

std::string editorId(const tes4::Entry& record) {
    const tes4::Subrecord* edid = record.find("EDID");
    if (edid == nullptr) return "";
    auto end = std::find(edid->data.begin(), edid->data.end(), 0);
    return std::string(edid->data.begin(), end);
}

std::string EditorIds::note(const tes4::Entry& record) {
    std::string id = editorId(record);
    if (id.empty()) return "";
    std::string key = id;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto [where, added] = formIds_.emplace(key, record.formId);
    if (added) return "";
    return at(record.offset, "editor ID \"" + id + "\" of " + record.type + " " + hex(record.formId) +
                                 " is also that of " + hex(where->second) + " (compared without regard to case)");
}

std::string recordProblem(const tes4::Entry& record) {
    if (record.type == "STAT" && (record.find("EDID") == nullptr || record.find("MODL") == nullptr))
        return at(record.offset, "STAT without its EDID and MODL");
    if (record.type == "ACHR" && (record.flags & persistentFlag) == 0)
        return at(record.offset, "ACHR without the Persistent flag (0x400)");
    if (record.type == "REFR") return placedObjectProblem(record);
    return "";
}

std::string placedBaseProblem(const tes4::Entry& placed, const std::map<uint32_t, const tes4::Entry*>& records) {
    const tes4::Subrecord* base = placed.find("NAME");
    if (base == nullptr || base->data.size() != 4) return at(placed.offset, placed.type + " without its base object");
    uint32_t baseId = tes4::u32(base->data, 0);
    if (baseId >> 24 == 0) return "";  // an object of the master file
    const char* expected = placed.type == "ACHR" ? "NPC_" : "STAT";
    auto found = records.find(baseId);
    if (found == records.end() || found->second->type != expected)
        return at(placed.offset, placed.type + " whose base object " + hex(baseId) + " is no " + expected +
                                     " of the file");
    return "";
}

std::string worldBoundsProblem(const tes4::Entry& world, const CellGrids& grids) {
    if (grids.empty()) return "";
    int32_t minX = grids.begin()->first, maxX = minX, minY = grids.begin()->second, maxY = minY;
    for (const auto& [x, y] : grids) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    const tes4::Subrecord* low = world.find("NAM0");
    const tes4::Subrecord* high = world.find("NAM9");
    float x0 = static_cast<float>(minX) * cellSize, y0 = static_cast<float>(minY) * cellSize;
    float x1 = static_cast<float>(maxX + 1) * cellSize, y1 = static_cast<float>(maxY + 1) * cellSize;
    if (holds(low, x0, y0) && holds(high, x1, y1)) return "";
    char expected[96];
    std::snprintf(expected, sizeof expected, "(%g, %g) and (%g, %g)", x0, y0, x1, y1);
    return at(world.offset, "world bounds NAM0 " + floats(low) + " and NAM9 " + floats(high) +
                                " where its exterior cells give " + expected);
}

}  // namespace inspect
