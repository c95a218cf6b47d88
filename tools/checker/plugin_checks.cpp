#include "plugin_checks.h"

#include <map>

#include "check_text.h"
#include "dialogue_checks.h"
#include "interior_layout.h"
#include "land_layout.h"
#include "record_checks.h"

namespace inspect {

namespace {

using tes4::Entry;

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

// The top groups in the order Oblivion's tools write them.
const char* const topGroupOrder[] = {"GLOB", "ACTI", "BOOK", "CONT", "DOOR", "LIGH", "STAT",
                                     "NPC_", "CELL", "WRLD", "DIAL", "QUST"};

struct Walker : RecordNotes {
    std::map<uint32_t, const Entry*> records;  // by FormID
    std::vector<const Entry*> placed;  // ACHR and REFR
    std::vector<const Entry*> containers;  // CONT
    CellGrids cellGrids;  // of the exterior cells
    EditorIds editorIds;
    std::vector<const Entry*> infos;  // every INFO, checked once every record is known
    const Entry* worldRecord = nullptr;
    uint64_t recordsAndGroups = 0;

    std::string noteRecord(const Entry& record) override { return note(record); }
    void noteGroup() override { ++recordsAndGroups; }

    std::string note(const Entry& record) {
        ++recordsAndGroups;
        if (records.count(record.formId) != 0)
            return at(record.offset, "FormID " + hex(record.formId) + " is used twice");
        records[record.formId] = &record;
        if (std::string problem = editorIds.note(record); !problem.empty()) return problem;
        if (std::string problem = recordProblem(record); !problem.empty()) return problem;
        if (record.type == "ACHR" || record.type == "REFR") placed.push_back(&record);
        if (record.type == "CONT") containers.push_back(&record);
        if (record.type == "LAND") {
            std::string problem = landLayoutProblem(record);
            return problem.empty() ? "" : at(record.offset, problem);
        }
        return "";
    }

    // A group labelled with its cell's FormID, holding records only.
    std::string referenceGroup(const Entry& group, uint32_t cellId) {
        ++recordsAndGroups;
        if (group.labelValue() != cellId)
            return at(group.offset, "group labelled " + hex(group.labelValue()) + " inside the children of cell " +
                                        hex(cellId));
        if (group.children.empty()) return at(group.offset, "empty cell children group");
        for (const Entry& record : group.children)
            if (record.isGroup) return at(record.offset, "group nested in a cell's reference group");
        return "";
    }

    // An exterior cell's children: its Temporary Children (9) alone, with
    // its LAND first, then its placed objects.
    std::string cellChildren(const Entry& group) {
        ++recordsAndGroups;
        if (group.children.empty()) return at(group.offset, "empty cell children group");
        const Entry& temporary = group.children[0];
        if (temporary.isGroup && temporary.groupType == 8)
            return at(temporary.offset, "persistent children group in an exterior cell: placed NPCs stand in the "
                                        "world's persistent cell");
        if (!temporary.isGroup || temporary.groupType != 9)
            return at(temporary.offset, "cell children group holds something other than a group of type 9");
        if (group.children.size() > 1)
            return at(group.children[1].offset, "an exterior cell's children hold more than its temporary children");
        if (std::string problem = referenceGroup(temporary, group.labelValue()); !problem.empty()) return problem;
        bool land = false, objects = false;
        for (const Entry& record : temporary.children) {
            if (record.type == "LAND") {
                if (land) return at(temporary.offset, "cell with more than one LAND");
                if (objects) return at(record.offset, "LAND after placed objects: they follow their cell's land");
                land = true;
            } else if (record.type == "REFR" && (record.flags & persistentFlag) == 0) {
                objects = true;
            } else {
                std::string why = record.type == "ACHR" || record.type == "REFR"
                                      ? ": persistent references stand in the world's persistent cell"
                                      : "";
                return at(record.offset, record.type + " record in a cell's group of type 9" + why);
            }
            if (std::string problem = note(record); !problem.empty()) return problem;
        }
        return "";
    }

    // The CELL and children group of the world's persistent references, as
    // TES4Edit makes one: flagged persistent, DATA 0x02, XCLC (0, 0), no
    // editor ID; its placed NPCs and doors in FormID order in its Persistent Children (8).
    std::string persistentCell(const Entry& cell, const Entry* children) {
        if ((cell.flags & persistentFlag) == 0)
            return at(cell.offset, "CELL record without the Persistent flag (0x400) where an exterior cell block "
                                   "belongs");
        if (std::string problem = note(cell); !problem.empty()) return problem;
        const tes4::Subrecord* data = cell.find("DATA");
        const tes4::Subrecord* grid = cell.find("XCLC");
        if (data == nullptr || data->data != tes4::Bytes{2})
            return at(cell.offset, "persistent cell without its DATA 0x02");
        if (grid == nullptr || grid->data.size() < 8 || tes4::u32(grid->data, 0) != 0 || tes4::u32(grid->data, 4) != 0)
            return at(cell.offset, "persistent cell without its XCLC (0, 0)");
        if (cell.find("EDID") != nullptr) return at(cell.offset, "persistent cell with an editor ID");
        if (children == nullptr || !children->isGroup || children->groupType != 6 ||
            children->labelValue() != cell.formId)
            return at(cell.offset, "persistent cell without its children group");
        ++recordsAndGroups;
        const auto& groups = children->children;
        if (groups.size() != 1 || !groups[0].isGroup || groups[0].groupType != 8)
            return at(children->offset, "the persistent cell's children hold more or less than one group of type 8");
        if (std::string problem = referenceGroup(groups[0], cell.formId); !problem.empty()) return problem;
        const Entry* last = nullptr;
        for (const Entry& record : groups[0].children) {
            if (record.type != "ACHR" && record.type != "REFR")
                return at(record.offset, record.type + " record in the world's persistent cell, where only placed "
                                                       "NPCs and doors stand");
            if ((record.flags & persistentFlag) == 0)
                return at(record.offset, record.type + " " + hex(record.formId) + " without the Persistent flag "
                                                                                  "(0x400) in the persistent cell");
            if (last != nullptr && record.formId <= last->formId)
                return at(record.offset, record.type + " " + hex(record.formId) + " after " + last->type + " " +
                                             hex(last->formId) + " in the persistent cell: they stand in FormID order");
            last = &record;
            if (std::string problem = note(record); !problem.empty()) return problem;
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
    // order, from the parent's child `from` on, each checked further by `inner`.
    template <typename Inner>
    std::string gridGroups(const Entry& parent, uint32_t groupType, const char* name, Inner inner, size_t from = 0) {
        bool first = true;
        GridLabel last;
        for (size_t i = from; i < parent.children.size(); ++i) {
            const Entry& child = parent.children[i];
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

    // The persistent cell and its children when the world has placed NPCs,
    // then Exterior Cell Blocks (4) by (Y, X), each holding Sub-Blocks (5) by (Y, X).
    std::string worldChildren(const Entry& group) {
        ++recordsAndGroups;
        const auto& children = group.children;
        if (children.empty()) return at(group.offset, "empty world children group");
        size_t blocks = 0;
        if (!children[0].isGroup && children[0].type == "CELL") {
            if (std::string problem = persistentCell(children[0], children.size() > 1 ? &children[1] : nullptr);
                !problem.empty())
                return problem;
            blocks = 2;
        }
        auto block = [this](const Entry& block, const GridLabel& blockLabel) {
            ++recordsAndGroups;
            if (block.children.empty()) return at(block.offset, "empty exterior cell block");
            return gridGroups(block, 5, "sub-block", [this, &blockLabel](const Entry& sub, const GridLabel&) {
                return subBlock(sub, blockLabel);
            });
        };
        return gridGroups(group, 4, "block", block, blocks);
    }

    // The world record, then its children group.
    std::string world(const Entry& group) {
        const auto& children = group.children;
        if (children.size() != 2 || children[0].isGroup || children[0].type != "WRLD" || !children[1].isGroup ||
            children[1].groupType != 1)
            return at(group.offset, "WRLD group that does not hold one world record and its children group");
        if (std::string problem = note(children[0]); !problem.empty()) return problem;
        worldRecord = &children[0];
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
        if (group.labelText() == "DIAL")
            return topicGroupProblem(
                group,
                [this](const Entry& entry) {
                    if (!entry.isGroup) return note(entry);
                    ++recordsAndGroups;
                    return std::string();
                },
                infos);
        if (group.labelText() == "CELL") return interiorCellsProblem(group, *this);
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
    for (const Entry* info : walker.infos)
        if (std::string problem = infoProblem(*info, walker.records); !problem.empty()) return problem;
    for (const Entry* placed : walker.placed)
        if (std::string problem = placedBaseProblem(*placed, walker.records); !problem.empty()) return problem;
    for (const auto* named : {&walker.placed, &walker.containers})
        for (const Entry* record : *named)
            if (std::string problem = namedItemsProblem(*record, walker.records); !problem.empty()) return problem;
    if (walker.worldRecord != nullptr) return worldBoundsProblem(*walker.worldRecord, walker.cellGrids);
    return "";
}

}  // namespace inspect
