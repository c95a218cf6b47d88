#include "landscape_support.h"

#include <cstring>

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
                    if (child.type == "ACHR") cell.placed.push_back(&child);
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

std::vector<double> landHeights(const tes4::Entry& land) {
    const tes4::Bytes& vhgt = land.find("VHGT")->data;
    std::vector<double> heights(33 * 33);
    double rowStart = tes4::f32(vhgt, 0);
    for (int r = 0; r < 33; ++r) {
        rowStart += static_cast<int8_t>(vhgt[4 + r * 33]);
        double h = rowStart;
        heights[r * 33] = h;
        for (int c = 1; c < 33; ++c) {
            h += static_cast<int8_t>(vhgt[4 + r * 33 + c]);
            heights[r * 33 + c] = h;
        }
    }
    return heights;
}

}  // namespace landscape
