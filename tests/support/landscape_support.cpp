#include "landscape_support.h"

#include <cstring>

#include "tes3_land.h"

namespace landscape {

namespace {
void collect(const std::vector<tes4::Entry>& entries, std::vector<WorldCell>& cells) {
    for (const tes4::Entry& entry : entries) {
        if (!entry.isGroup) {
            if (entry.type != "CELL") continue;
            WorldCell cell;
            cell.cell = &entry;
            const tes4::Subrecord* grid = entry.find("XCLC");
            if (grid != nullptr && grid->data.size() == 8) {
                cell.gridX = static_cast<int32_t>(tes4::u32(grid->data, 0));
                cell.gridY = static_cast<int32_t>(tes4::u32(grid->data, 4));
            }
            cells.push_back(cell);
            continue;
        }
        if (entry.groupType == 6 || entry.groupType == 8 || entry.groupType == 9) {
            for (WorldCell& cell : cells) {
                if (cell.cell->formId != entry.labelValue()) continue;
                for (const tes4::Entry& child : entry.children) {
                    if (child.type == "LAND") cell.land = &child;
                    if (child.type == "ACHR" || child.type == "REFR") cell.placed.push_back(&child);
                }
            }
        }
        collect(entry.children, cells);
    }
}
}  // namespace

std::vector<WorldCell> worldCells(const tes4::File& file) {
    std::vector<WorldCell> cells;
    for (const tes4::Entry& group : file.groups)
        if (group.labelText() == "WRLD") collect(group.children, cells);
    return cells;
}

std::vector<const tes4::Entry*> persistentReferences(const tes4::File& file) {
    for (const WorldCell& cell : worldCells(file))
        if (cell.persistent()) return cell.placed;
    return {};
}

std::vector<const tes4::Entry*> placedNpcs(const tes4::File& file) {
    std::vector<const tes4::Entry*> npcs;
    for (const tes4::Entry* reference : persistentReferences(file))
        if (reference->type == "ACHR") npcs.push_back(reference);
    return npcs;
}

std::vector<double> landHeights(const tes4::Entry& land) { return tes3::decodeHeights(land.find("VHGT")->data, 33); }

}  // namespace landscape
