#include "interior_layout.h"

#include "check_text.h"
#include "record_checks.h"

namespace inspect {

namespace {

using tes4::Entry;

int32_t blockOf(uint32_t formId) { return static_cast<int32_t>((formId & 0x00FFFFFF) % 10); }
int32_t subBlockOf(uint32_t formId) { return static_cast<int32_t>((formId & 0x00FFFFFF) / 10 % 10); }

// A Persistent (8) or Temporary (9) group of an interior: labelled with
// the cell, records only, persistent or not as the group says.
std::string referenceGroup(const Entry& group, uint32_t cellId, RecordNotes& notes) {
    notes.noteGroup();
    if (group.labelValue() != cellId)
        return at(group.offset, "group labelled " + hex(group.labelValue()) + " inside the children of cell " +
                                    hex(cellId));
    if (group.children.empty()) return at(group.offset, "empty cell children group");
    bool persistent = group.groupType == 8;
    for (const Entry& record : group.children) {
        if (record.isGroup) return at(record.offset, "group nested in a cell's reference group");
        if (record.type != "REFR" && record.type != "ACHR")
            return at(record.offset, record.type + " record in an interior's references");
        if (((record.flags & persistentFlag) != 0) != persistent)
            return at(record.offset, record.type + " " + hex(record.formId) +
                                         (persistent ? " without" : " with") + " the Persistent flag (0x400) in an "
                                         "interior's " + (persistent ? "Persistent" : "Temporary") + " group");
        if (std::string problem = notes.noteRecord(record); !problem.empty()) return problem;
    }
    return "";
}

// Persistent, then Temporary; each once at most, none empty.
std::string interiorChildren(const Entry& group, uint32_t cellId, RecordNotes& notes) {
    notes.noteGroup();
    if (group.children.empty()) return at(group.offset, "empty cell children group");
    uint32_t last = 0;
    for (const Entry& child : group.children) {
        if (!child.isGroup || (child.groupType != 8 && child.groupType != 9))
            return at(child.offset, "an interior's children hold something other than its Persistent and Temporary "
                                    "groups");
        if (child.groupType <= last)
            return at(child.offset, "group of type " + std::to_string(child.groupType) + " after one of type " +
                                        std::to_string(last) + " in an interior's children");
        last = child.groupType;
        if (std::string problem = referenceGroup(child, cellId, notes); !problem.empty()) return problem;
    }
    return "";
}

std::string interiorCell(const Entry& cell, RecordNotes& notes) {
    if (std::string problem = notes.noteRecord(cell); !problem.empty()) return problem;
    const tes4::Subrecord* data = cell.find("DATA");
    if (data == nullptr || data->data.size() != 1 || (data->data[0] & 0x01) == 0)
        return at(cell.offset, "interior cell without its 1-byte DATA with the interior flag 0x01");
    if (cell.find("XCLC") != nullptr) return at(cell.offset, "interior cell with a grid (XCLC)");
    if (cell.find("EDID") == nullptr) return at(cell.offset, "interior cell without an editor ID");
    const tes4::Subrecord* lighting = cell.find("XCLL");
    if (lighting != nullptr && lighting->data.size() != 36) return at(cell.offset, "interior cell XCLL not of 36 bytes");
    return "";
}

// CELL records by FormID, of the block and sub-block, each followed by at most one children group.
std::string interiorSubBlock(const Entry& group, int32_t block, RecordNotes& notes) {
    notes.noteGroup();
    if (group.children.empty()) return at(group.offset, "empty interior cell sub-block");
    int32_t subBlock = static_cast<int32_t>(group.labelValue());
    const Entry* cell = nullptr;
    bool cellHasChildren = false;
    for (const Entry& child : group.children) {
        if (!child.isGroup) {
            if (child.type != "CELL") return at(child.offset, child.type + " record among the interior cells");
            if (blockOf(child.formId) != block || subBlockOf(child.formId) != subBlock)
                return at(child.offset, "interior cell " + hex(child.formId) + " in block " + std::to_string(block) +
                                            ", sub-block " + std::to_string(subBlock));
            if (cell != nullptr && child.formId <= cell->formId)
                return at(child.offset, "cell " + hex(child.formId) + " after cell " + hex(cell->formId) +
                                            " in a sub-block");
            cell = &child;
            cellHasChildren = false;
            if (std::string problem = interiorCell(child, notes); !problem.empty()) return problem;
            continue;
        }
        if (child.groupType != 6 || cell == nullptr || child.labelValue() != cell->formId || cellHasChildren)
            return at(child.offset, "group of type " + std::to_string(child.groupType) + " labelled " +
                                        hex(child.labelValue()) + " that is not its cell's one children group");
        cellHasChildren = true;
        if (std::string problem = interiorChildren(child, cell->formId, notes); !problem.empty()) return problem;
    }
    return "";
}

// Groups of one type (2 blocks, 3 sub-blocks) in ascending label order.
template <typename Inner>
std::string numberedGroups(const Entry& parent, uint32_t groupType, const char* name, Inner inner) {
    bool first = true;
    int32_t last = 0;
    for (const Entry& child : parent.children) {
        if (!child.isGroup || child.groupType != groupType)
            return at(child.offset, (child.isGroup ? "group of type " + std::to_string(child.groupType)
                                                   : child.type + " record") +
                                        " where an interior cell " + name + " belongs");
        int32_t label = static_cast<int32_t>(child.labelValue());
        if (label < 0 || label > 9) return at(child.offset, std::string("interior cell ") + name + " " +
                                                                std::to_string(label) + ": they number 0 to 9");
        if (!first && label <= last)
            return at(child.offset, std::string(name) + " " + std::to_string(label) + " after " + name + " " +
                                        std::to_string(last));
        first = false;
        last = label;
        if (std::string problem = inner(child, label); !problem.empty()) return problem;
    }
    return "";
}

bool isMarker(const Entry& reference) {
    const tes4::Subrecord* base = reference.find("NAME");
    return base != nullptr && base->data.size() == 4 && tes4::u32(base->data, 0) == xMarkerHeading;
}

const tes4::Subrecord* teleportOf(const Entry& reference) {
    const tes4::Subrecord* teleport = reference.find("XTEL");
    return teleport != nullptr && teleport->data.size() == 28 ? teleport : nullptr;
}

}  // namespace

std::string interiorCellsProblem(const Entry& topGroup, RecordNotes& notes) {
    return numberedGroups(topGroup, 2, "block", [&notes](const Entry& block, int32_t blockNumber) {
        notes.noteGroup();
        if (block.children.empty()) return at(block.offset, "empty interior cell block");
        return numberedGroups(block, 3, "sub-block", [&notes, blockNumber](const Entry& sub, int32_t) {
            return interiorSubBlock(sub, blockNumber, notes);
        });
    });
}

std::string teleportProblem(const std::vector<const Entry*>& placed, const std::map<uint32_t, const Entry*>& records) {
    for (const Entry* door : placed) {
        const tes4::Subrecord* xtel = door->find("XTEL");
        if (xtel == nullptr) continue;
        if (xtel->data.size() != 28) return at(door->offset, "XTEL that is not 28 bytes");
        if ((door->flags & persistentFlag) == 0) return at(door->offset, "door with a teleport that is not persistent");
        uint32_t targetId = tes4::u32(xtel->data, 0);
        auto found = records.find(targetId);
        if (found == records.end() || found->second->type != "REFR")
            return at(door->offset, "XTEL of " + hex(door->formId) + " points at " + hex(targetId) +
                                        ", no placed object of the file");
        const Entry& target = *found->second;
        if ((target.flags & persistentFlag) == 0)
            return at(door->offset, "XTEL of " + hex(door->formId) + " points at " + hex(targetId) +
                                        ", which is not persistent");
        if (isMarker(target)) continue;
        const tes4::Subrecord* back = teleportOf(target);
        if (back == nullptr || tes4::u32(back->data, 0) != door->formId)
            return at(door->offset, "XTEL of " + hex(door->formId) + " points at " + hex(targetId) +
                                        ", a door that does not lead back, nor a marker");
    }
    return "";
}

}  // namespace inspect
