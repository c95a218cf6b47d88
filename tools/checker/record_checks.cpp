#include "record_checks.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

// Every placed record: a 24-byte DATA of finite numbers, and an XSCL (if
// any) of 4 bytes within the scales the game keeps.
std::string placementProblem(const tes4::Entry& placed) {
    const tes4::Subrecord* data = placed.find("DATA");
    if (data == nullptr || data->data.size() != 24) return at(placed.offset, placed.type + " without its 24-byte DATA");
    for (size_t i = 0; i < 6; ++i)
        if (!std::isfinite(tes4::f32(data->data, 4 * i)))
            return at(placed.offset, placed.type + " with a position or rotation that is not a finite number");
    const tes4::Subrecord* scale = placed.find("XSCL");
    if (scale == nullptr) return "";
    if (scale->data.size() != 4) return at(placed.offset, placed.type + " with an XSCL that is not 4 bytes");
    float value = tes4::f32(scale->data, 0);
    if (!(value >= 0.5f && value <= 2.0f)) return at(placed.offset, placed.type + " with an XSCL outside 0.5 to 2");
    return "";
}

std::string placedObjectProblem(const tes4::Entry& placed) {
    for (auto [type, size] : {std::pair<const char*, size_t>{"XLOC", 12}, {"XOWN", 4}, {"XCNT", 4}}) {
        const tes4::Subrecord* sub = placed.find(type);
        if (sub != nullptr && sub->data.size() != size)
            return at(placed.offset, "REFR with an " + std::string(type) + " that is not " + std::to_string(size) +
                                         " bytes");
    }
    return placementProblem(placed);
}

// What a record of a base type Landfer makes must hold by itself: a
// container its flags and weight and whole CNTO entries, a light its
// 32-byte DATA with a radius and its fade.
std::string baseRecordProblem(const tes4::Entry& record) {
    if (record.find("EDID") == nullptr) return at(record.offset, record.type + " without its EDID");
    if (record.type == "CONT") {
        const tes4::Subrecord* data = record.find("DATA");
        if (data == nullptr || data->data.size() != 5) return at(record.offset, "CONT without its 5-byte DATA");
        for (const tes4::Subrecord& sub : record.subrecords)
            if (sub.type == "CNTO" && sub.data.size() != 8)
                return at(record.offset, "CONT with a CNTO that is not 8 bytes");
    }
    if (record.type == "LIGH") {
        const tes4::Subrecord* data = record.find("DATA");
        if (data == nullptr || data->data.size() != 32) return at(record.offset, "LIGH without its 32-byte DATA");
        if (tes4::u32(data->data, 4) == 0) return at(record.offset, "LIGH with a radius of 0");
        const tes4::Subrecord* fade = record.find("FNAM");
        if (fade == nullptr || fade->data.size() != 4) return at(record.offset, "LIGH without its FNAM fade");
    }
    return "";
}

// The records a plugin's REFR, CNTO or XLOC key may name, when they are the plugin's own.
const std::set<std::string> placeableTypes = {"ACTI", "BOOK", "CONT", "DOOR", "LIGH", "STAT"};
const std::set<std::string> itemTypes = {"ALCH", "AMMO", "APPA", "ARMO", "BOOK", "CLOT", "INGR",
                                         "KEYM", "LIGH", "LVLI", "MISC", "SGST", "SLGM", "WEAP"};

// A FormID of Oblivion.esm (top byte 00), or one of a record of the file of one of the types.
std::string namedRecordProblem(const tes4::Entry& record, const char* what, uint32_t formId,
                               const std::set<std::string>& types, const char* kind,
                               const std::map<uint32_t, const tes4::Entry*>& records) {
    if (formId >> 24 == 0) return "";
    auto found = records.find(formId);
    if (found != records.end() && types.count(found->second->type) != 0) return "";
    return at(record.offset, record.type + " " + hex(record.formId) + " whose " + what + " " + hex(formId) +
                                 " is no " + kind + " of the file");
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
    if (record.type == "DOOR" && (record.find("EDID") == nullptr || record.find("MODL") == nullptr ||
                                  record.find("FNAM") == nullptr || record.find("FNAM")->data.size() != 1))
        return at(record.offset, "DOOR without its EDID, MODL and 1-byte FNAM");
    if (record.type == "ACHR" && (record.flags & persistentFlag) == 0)
        return at(record.offset, "ACHR without the Persistent flag (0x400)");
    if (record.type == "ACHR") return placementProblem(record);
    if (record.type == "REFR") return placedObjectProblem(record);
    if (record.type == "CONT" || record.type == "LIGH" || record.type == "ACTI") return baseRecordProblem(record);
    return "";
}

std::string namedItemsProblem(const tes4::Entry& record, const std::map<uint32_t, const tes4::Entry*>& records) {
    for (const tes4::Subrecord& sub : record.subrecords) {
        std::string problem;
        if (record.type == "CONT" && sub.type == "CNTO" && sub.data.size() == 8)
            problem = namedRecordProblem(record, "content", tes4::u32(sub.data, 0), itemTypes, "item", records);
        if (record.type == "REFR" && sub.type == "XLOC" && sub.data.size() == 12 && tes4::u32(sub.data, 4) != 0)
            problem = namedRecordProblem(record, "lock's key", tes4::u32(sub.data, 4), itemTypes, "item", records);
        if (!problem.empty()) return problem;
    }
    return "";
}

std::string placedBaseProblem(const tes4::Entry& placed, const std::map<uint32_t, const tes4::Entry*>& records) {
    const tes4::Subrecord* base = placed.find("NAME");
    if (base == nullptr || base->data.size() != 4) return at(placed.offset, placed.type + " without its base object");
    uint32_t baseId = tes4::u32(base->data, 0);
    if (baseId >> 24 == 0) return "";  // an object of the master file
    if (placed.type == "REFR") {
        auto base = records.find(baseId);
        if ((placed.flags & persistentFlag) != 0 && baseId >> 24 != 0 &&
            (base == records.end() || base->second->type != "DOOR"))
            return at(placed.offset, "persistent REFR whose base " + hex(baseId) +
                                         " is no DOOR of the file: only doors and markers are persistent objects");
        if (std::string problem = namedRecordProblem(placed, "base object", baseId, placeableTypes, "placeable object", records);
            !problem.empty())
            return problem;
        const tes4::Subrecord* owner = placed.find("XOWN");
        if (owner == nullptr || owner->data.size() != 4 || tes4::u32(owner->data, 0) >> 24 == 0) return "";
        auto npc = records.find(tes4::u32(owner->data, 0));
        if (npc == records.end() || npc->second->type != "NPC_")
            return at(placed.offset, "REFR whose owner " + hex(tes4::u32(owner->data, 0)) + " is no NPC_ of the file");
        return "";
    }
    auto found = records.find(baseId);
    if (found == records.end() || found->second->type != "NPC_")
        return at(placed.offset, placed.type + " whose base object " + hex(baseId) + " is no NPC_ of the file");
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
