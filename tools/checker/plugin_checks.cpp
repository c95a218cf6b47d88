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

// A block or sub-block label: Y in bytes 0-1, X in bytes 2-3, signed 16-bit.
struct GridLabel {
    int32_t x = 0, y = 0;
    bool operator<(const GridLabel& other) const { return y != other.y ? y < other.y : x < other.x; }
    bool operator==(const GridLabel& other) const { return x == other.x && y == other.y; }
};

GridLabel gridLabel(const Entry& group) {
    GridLabel grid;
    grid.y = static_cast<int16_t>(group.label[0] | (group.label[1] << 8));
    grid.x = static_cast<int16_t>(group.label[2] | (group.label[3] << 8));
    return grid;
}

int32_t floorDivide(int32_t value, int32_t divisor) {
    int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

std::string gridText(int32_t x, int32_t y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

// The top groups in the order Oblivion's tools write them.
const char* const topGroupOrder[] = {"GLOB", "BOOK", "NPC_", "WRLD", "QUST"};

struct Walker {
    std::map<uint32_t, const Entry*> records;  // by FormID
    std::vector<const Entry*> placed;
    std::set<std::pair<int32_t, int32_t>> cellGrids;
    uint64_t recordsAndGroups = 0;

    std::string note(const Entry& record) {
        ++recordsAndGroups;
        if (records.count(record.formId) != 0)
            return at(record.offset, "FormID " + hex(record.formId) + " is used twice");
        records[record.formId] = &record;
        if (record.type == "ACHR") placed.push_back(&record);
        if (record.type == "LAND") return checkLand(record);
        return "";
    }

    // A cell's children: Persistent (8, its ACHR records), then Temporary (9, its LAND), neither empty.
    std::string cellChildren(const Entry& group) {
        ++recordsAndGroups;
        if (group.children.empty()) return at(group.offset, "empty cell children group");
        int lastType = 0;
        for (const Entry& child : group.children) {
            if (!child.isGroup || (child.groupType != 8 && child.groupType != 9))
                return at(child.offset, "cell children group holds something other than groups of type 8 or 9");
            if (static_cast<int>(child.groupType) <= lastType)
                return at(child.offset, "group of type " + std::to_string(child.groupType) +
                                            " after one of type " + std::to_string(lastType) + " in a cell's children");
            lastType = static_cast<int>(child.groupType);
        }
        for (const Entry& child : group.children) {
            ++recordsAndGroups;
            if (child.labelValue() != group.labelValue())
                return at(child.offset, "group labelled " + hex(child.labelValue()) + " inside the children of cell " +
                                            hex(group.labelValue()));
            if (child.children.empty()) return at(child.offset, "empty cell children group");
            const char* expected = child.groupType == 8 ? "ACHR" : "LAND";
            for (const Entry& record : child.children) {
                if (record.isGroup) return at(record.offset, "group nested in a cell's reference group");
                if (record.type != expected)
                    return at(record.offset, record.type + " record in a cell's group of type " +
                                                 std::to_string(child.groupType));
                if (std::string problem = note(record); !problem.empty()) return problem;
            }
            if (child.groupType == 9 && child.children.size() != 1)
                return at(child.offset, "cell with more than one LAND");
        }
        return "";
    }

    // CELL records by FormID, each followed by at most one children group.
    std::string subBlock(const Entry& group, const GridLabel& block) {
        ++recordsAndGroups;
        GridLabel label = gridLabel(group);
        if (!(GridLabel{floorDivide(label.x, 4), floorDivide(label.y, 4)} == block))
            return at(group.offset, "sub-block " + gridText(label.x, label.y) + " in block " +
                                        gridText(block.x, block.y));
        if (group.children.empty()) return at(group.offset, "empty exterior cell sub-block");
        const Entry* cell = nullptr;
        bool cellHasChildren = false;
        for (const Entry& child : group.children) {
            if (!child.isGroup) {
                if (child.type != "CELL") return at(child.offset, child.type + " record among the world's cells");
                if (cell != nullptr && child.formId <= cell->formId)
                    return at(child.offset, "cell " + hex(child.formId) + " after cell " + hex(cell->formId) +
                                                " in a sub-block");
                cell = &child;
                cellHasChildren = false;
                if (std::string problem = note(child); !problem.empty()) return problem;
                const tes4::Subrecord* data = child.find("DATA");
                if (data == nullptr || data->data.size() != 1)
                    return at(child.offset, "cell without its 1-byte DATA");
                const tes4::Subrecord* grid = child.find("XCLC");
                if (grid == nullptr || grid->data.size() < 8) return at(child.offset, "world cell without its XCLC");
                int32_t x = static_cast<int32_t>(tes4::u32(grid->data, 0));
                int32_t y = static_cast<int32_t>(tes4::u32(grid->data, 4));
                if (!(GridLabel{floorDivide(x, 8), floorDivide(y, 8)} == label))
                    return at(child.offset, "cell at " + gridText(x, y) + " in sub-block " +
                                                gridText(label.x, label.y));
                if (!cellGrids.insert({x, y}).second)
                    return at(child.offset, "a second cell at " + gridText(x, y));
                continue;
            }
            if (child.groupType != 6) return at(child.offset, "group of type " + std::to_string(child.groupType) +
                                                                  " among the world's cells");
            if (cell == nullptr || child.labelValue() != cell->formId)
                return at(child.offset, "cell children group labelled " + hex(child.labelValue()) +
                                            " does not follow its cell");
            if (cellHasChildren) return at(child.offset, "a second children group for cell " + hex(cell->formId));
            cellHasChildren = true;
            if (std::string problem = cellChildren(child); !problem.empty()) return problem;
        }
        return "";
    }

    // Groups of one grid type (4 blocks, 5 sub-blocks) in ascending (Y, X)
    // order, each checked further by `inner`.
    template <typename Inner>
    std::string gridGroups(const Entry& parent, uint32_t groupType, const char* name, Inner inner) {
        bool first = true;
        GridLabel last;
        for (const Entry& child : parent.children) {
            if (!child.isGroup || child.groupType != groupType)
                return at(child.offset, (child.isGroup ? "group of type " + std::to_string(child.groupType)
                                                       : child.type + " record") +
                                            " where an exterior cell " + name + " belongs");
            GridLabel here = gridLabel(child);
            if (!first && !(last < here))
                return at(child.offset, std::string(name) + " " + gridText(here.x, here.y) + " after " + name + " " +
                                            gridText(last.x, last.y));
            first = false;
            last = here;
            if (std::string problem = inner(child, here); !problem.empty()) return problem;
        }
        return "";
    }

    // Exterior Cell Blocks (4) by (Y, X), each holding Sub-Blocks (5) by (Y, X).
    std::string worldChildren(const Entry& group) {
        ++recordsAndGroups;
        if (group.children.empty()) return at(group.offset, "empty world children group");
        return gridGroups(group, 4, "block", [this](const Entry& block, const GridLabel& blockLabel) {
            ++recordsAndGroups;
            if (block.children.empty()) return at(block.offset, "empty exterior cell block");
            return gridGroups(block, 5, "sub-block", [this, &blockLabel](const Entry& sub, const GridLabel&) {
                return subBlock(sub, blockLabel);
            });
        });
    }

    // The world record, then its children group.
    std::string world(const Entry& group) {
        const auto& children = group.children;
        if (children.size() != 2 || children[0].isGroup || children[0].type != "WRLD" || !children[1].isGroup ||
            children[1].groupType != 1)
            return at(group.offset, "WRLD group that does not hold one world record and its children group");
        if (std::string problem = note(children[0]); !problem.empty()) return problem;
        if (children[1].labelValue() != children[0].formId)
            return at(children[1].offset, "world children group does not follow its world record");
        return worldChildren(children[1]);
    }

    std::string topGroup(const Entry& group) {
        ++recordsAndGroups;
        if (group.groupType != 0) return at(group.offset, "group of type " + std::to_string(group.groupType) +
                                                              " at the top level");
        if (group.children.empty()) return at(group.offset, "empty " + group.labelText() + " group");
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

// One top group per type, in Oblivion's order.
std::string checkTopGroupOrder(const tes4::File& file) {
    size_t next = 0;
    const size_t known = sizeof topGroupOrder / sizeof topGroupOrder[0];
    for (const Entry& group : file.groups) {
        std::string label = group.labelText();
        size_t place = 0;
        while (place < known && label != topGroupOrder[place]) ++place;
        if (place == known) return at(group.offset, "top group " + label + " is of no type this plugin holds");
        if (place < next)
            return at(group.offset, "top group " + label + (place + 1 == next ? " again" : " after the " +
                                                                  std::string(topGroupOrder[next - 1]) + " group"));
        next = place + 1;
    }
    return "";
}

}  // namespace

std::string findFirstProblem(const tes4::File& file) {
    if (std::string problem = checkHeader(file); !problem.empty()) return problem;
    if (std::string problem = checkTopGroupOrder(file); !problem.empty()) return problem;
    Walker walker;
    for (const Entry& group : file.groups)
        if (std::string problem = walker.topGroup(group); !problem.empty()) return problem;
    uint32_t declared = tes4::u32(file.header.find("HEDR")->data, 4);
    if (declared != walker.recordsAndGroups)
        return at(30, "the header counts " + std::to_string(declared) + " records and groups, the file holds " +
                          std::to_string(walker.recordsAndGroups));
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
