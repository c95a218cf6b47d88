#include "plugin_checks.h"

#include <cstdio>
#include <map>
#include <set>

namespace inspect {

namespace {

using tes4::Entry;

std::string at(size_t offset, const std::string& what) { return "at byte " + std::to_string(offset) + ": " + what; }

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::string checkHeader(const tes4::File& file) {
    const Entry& header = file.header;
    if (header.formId != 0) return at(0, "the TES4 header record has FormID " + hex(header.formId));
    const tes4::Subrecord* hedr = header.find("HEDR");
    if (hedr == nullptr || hedr->data.size() != 12) return at(0, "the TES4 header has no 12-byte HEDR");
    const tes4::Subrecord* master = header.find("MAST");
    if (master == nullptr || std::string(master->data.begin(), master->data.end()) != std::string("Oblivion.esm\0", 13))
        return at(0, "the TES4 header does not name the master Oblivion.esm");
    return "";
}

// LAND data as the converter writes it: DATA, VNML, VHGT, an optional
// VCLR, then ATXT/VTXT pairs.
std::string checkLand(const Entry& land) {
    const auto& subs = land.subrecords;
    const std::pair<const char*, size_t> head[] = {{"DATA", 4}, {"VNML", 3267}, {"VHGT", 1096}};
    size_t i = 0;
    for (const auto& expected : head) {
        if (i >= subs.size() || subs[i].type != expected.first || subs[i].data.size() != expected.second)
            return at(land.offset, std::string("LAND without its ") + std::to_string(expected.second) + "-byte " +
                                       expected.first);
        ++i;
    }
    if (i < subs.size() && subs[i].type == "VCLR") {
        if (subs[i].data.size() != 3267) return at(land.offset, "LAND with a VCLR that is not 3267 bytes");
        ++i;
    }
    for (; i < subs.size(); i += 2) {
        if (subs[i].type != "ATXT" || subs[i].data.size() != 8)
            return at(land.offset, "LAND with a " + subs[i].type + " where an 8-byte ATXT belongs");
        if (i + 1 >= subs.size() || subs[i + 1].type != "VTXT" || subs[i + 1].data.size() % 8 != 0 ||
            subs[i + 1].data.empty())
            return at(land.offset, "LAND with an ATXT not followed by its VTXT");
        if (subs[i].data[4] > 3) return at(land.offset, "LAND with a texture layer of quadrant above 3");
    }
    return "";
}

struct Walker {
    std::map<uint32_t, const Entry*> records;  // by FormID
    std::vector<const Entry*> placed;

    std::string note(const Entry& record) {
        auto seen = records.find(record.formId);
        if (seen != records.end()) {
            // The converter writes the one world record again when a land
            // follows other records; the same record twice is one world.
            bool sameWorld = record.type == "WRLD" && seen->second->type == "WRLD" && seen->second->data == record.data;
            if (!sameWorld) return at(record.offset, "FormID " + hex(record.formId) + " is used twice");
        }
        records[record.formId] = &record;
        if (record.type == "ACHR") placed.push_back(&record);
        if (record.type == "LAND") return checkLand(record);
        return "";
    }

    // Groups inside a cell's children: persistent (8) or temporary (9), holding records only.
    std::string cellChildren(const Entry& group) {
        for (const Entry& child : group.children) {
            if (!child.isGroup || (child.groupType != 8 && child.groupType != 9))
                return at(child.offset, "cell children group holds something other than groups of type 8 or 9");
            if (child.labelValue() != group.labelValue())
                return at(child.offset, "group labelled " + hex(child.labelValue()) + " inside the children of cell " +
                                            hex(group.labelValue()));
            for (const Entry& record : child.children) {
                if (record.isGroup) return at(record.offset, "group nested in a cell's reference group");
                if (std::string problem = note(record); !problem.empty()) return problem;
            }
        }
        return "";
    }

    std::string worldChildren(const Entry& group) {
        const Entry* cell = nullptr;
        for (const Entry& child : group.children) {
            if (!child.isGroup) {
                if (child.type != "CELL") return at(child.offset, child.type + " record among the world's cells");
                cell = &child;
                if (std::string problem = note(child); !problem.empty()) return problem;
                const tes4::Subrecord* grid = child.find("XCLC");
                if (grid == nullptr || grid->data.size() != 8) return at(child.offset, "world cell without its XCLC");
                continue;
            }
            if (child.groupType != 6) return at(child.offset, "group of type " + std::to_string(child.groupType) +
                                                                  " among the world's cells");
            if (cell == nullptr || child.labelValue() != cell->formId)
                return at(child.offset, "cell children group labelled " + hex(child.labelValue()) +
                                            " does not follow its cell");
            if (std::string problem = cellChildren(child); !problem.empty()) return problem;
        }
        return "";
    }

    std::string world(const Entry& group) {
        const Entry* worldRecord = nullptr;
        for (const Entry& child : group.children) {
            if (!child.isGroup) {
                if (child.type != "WRLD") return at(child.offset, child.type + " record in the WRLD group");
                worldRecord = &child;
                if (std::string problem = note(child); !problem.empty()) return problem;
                continue;
            }
            if (child.groupType != 1) return at(child.offset, "group of type " + std::to_string(child.groupType) +
                                                                  " directly in the WRLD group");
            if (worldRecord == nullptr || child.labelValue() != worldRecord->formId)
                return at(child.offset, "world children group does not follow its world record");
            if (std::string problem = worldChildren(child); !problem.empty()) return problem;
        }
        return "";
    }

    std::string topGroup(const Entry& group) {
        if (group.labelText() == "WRLD") return world(group);
        for (const Entry& child : group.children) {
            if (child.isGroup) return at(child.offset, "group nested in the " + group.labelText() + " group");
            if (child.type != group.labelText())
                return at(child.offset, child.type + " record in the " + group.labelText() + " group");
            if (std::string problem = note(child); !problem.empty()) return problem;
        }
        return "";
    }
};

}  // namespace

std::string findFirstProblem(const tes4::File& file) {
    if (std::string problem = checkHeader(file); !problem.empty()) return problem;
    Walker walker;
    for (const Entry& group : file.groups)
        if (std::string problem = walker.topGroup(group); !problem.empty()) return problem;
    for (const Entry* placed : walker.placed) {
        const tes4::Subrecord* base = placed->find("NAME");
        if (base == nullptr || base->data.size() != 4) return at(placed->offset, "ACHR without its base object");
        uint32_t baseId = tes4::u32(base->data, 0);
        if (baseId >> 24 == 0) continue;  // an object of the master file
        auto found = walker.records.find(baseId);
        if (found == walker.records.end() || found->second->type != "NPC_")
            return at(placed->offset, "ACHR whose base object " + hex(baseId) + " is no NPC_ of the file");
    }
    return "";
}

}  // namespace inspect
