#include "landscape/cell_index.h"

#include <string>

#include "esm/byte_order.h"
#include "esm/record_writer.h"

namespace landfer {

bool gridFitsWorld(int32_t gridX, int32_t gridY) {
    // Oblivion grids from -8 * 32768 to 8 * 32768 - 1, two per Morrowind grid.
    const int32_t limit = 8 * 32768 / 2;
    return gridX >= -limit && gridX < limit && gridY >= -limit && gridY < limit;
}

// The four quads' editor IDs "<stem> SW" ... must all be free.
std::string CellIndex::uniqueCellStem(const std::string& name) {
    return output_.editorIds.unique(name, {quadSuffix(Quad::SW), quadSuffix(Quad::SE), quadSuffix(Quad::NW),
                                             quadSuffix(Quad::NE)});
}

std::array<QuadRecord, 4> CellIndex::cellRecords(int32_t gridX, int32_t gridY, const std::string& stem, uint8_t flags,
                                                 const std::array<uint32_t, 4>& formIds) const {
    std::array<QuadRecord, 4> cells;
    for (Quad quad : allQuads) {
        QuadRecord& cell = cells[quadIndex(quad)];
        cell.formId = formIds[quadIndex(quad)];
        MemorySink out;
        RecordWriter record(out);
        record.begin("CELL", cell.formId);
        if (!stem.empty()) record.text("EDID", stem + quadSuffix(quad));
        record.uint8("DATA", flags);
        std::vector<uint8_t>& grid = record.subrecord("XCLC");
        appendUint32(grid, static_cast<uint32_t>(quadGridX(gridX, quad)));
        appendUint32(grid, static_cast<uint32_t>(quadGridY(gridY, quad)));
        record.end();
        cell.bytes = std::move(out.bytes);
    }
    return cells;
}

size_t CellIndex::stageCell(int32_t gridX, int32_t gridY, const std::string& stem, uint8_t flags) {
    std::array<uint32_t, 4> formIds;
    for (uint32_t& formId : formIds) formId = output_.formIds.take();
    if (world_.empty()) world_.setEditorId(output_.editorIds.unique("Landfer"));
    return world_.stageCell(gridX, gridY, cellRecords(gridX, gridY, stem, flags, formIds));
}

size_t CellIndex::cellForLand(int32_t gridX, int32_t gridY) {
    long found = world_.find(gridX, gridY);
    if (found >= 0) return static_cast<size_t>(found);
    size_t cell = stageCell(gridX, gridY, "", cellHasWater);
    cellsMadeForLand_.insert(cell);
    return cell;
}

void CellIndex::listCellName(const std::string& name, size_t cell) {
    std::vector<uint32_t> formIds;
    for (Quad quad : allQuads) formIds.push_back(world_.quadFormId(WorldStaging::quadCellOf(cell, quad)));
    names_.add(name, formIds);
}

size_t CellIndex::cellForRecord(const std::string& name, int32_t gridX, int32_t gridY, uint8_t flags) {
    long found = world_.find(gridX, gridY);
    if (found < 0) {
        size_t cell = stageCell(gridX, gridY, name.empty() ? name : uniqueCellStem(name), flags);
        listCellName(name, cell);
        return cell;
    }
    size_t cell = static_cast<size_t>(found);
    if (cellsMadeForLand_.erase(cell) > 0) {
        listCellName(name, cell);
        std::string stem = name.empty() ? name : uniqueCellStem(name);
        // The land came first: its cells become this record's, with its name and flags.
        std::array<uint32_t, 4> formIds;
        for (Quad quad : allQuads) formIds[quadIndex(quad)] = world_.quadFormId(WorldStaging::quadCellOf(cell, quad));
        world_.restageCell(cell, cellRecords(gridX, gridY, stem, flags, formIds));
        return cell;
    }
    // Oblivion's world holds one cell per grid.
    problems_.tell(
        Problem::lost(LossKind::repeatedCell, formatText("%s (%d, %d)", name.c_str(), gridX, gridY))
            .saying("CELL", formatText("The CELL record %s at grid (%d, %d) repeats an exterior cell of this plugin: "
                                       "its placed references join that cell.\n",
                                       name.c_str(), gridX, gridY)));
    return cell;
}

std::optional<size_t> CellIndex::exteriorCell(const MorrowindCell& cell) {
    const std::string& name = cell.name;
    // The editor IDs (name, a number of up to ten digits, " SW" and a 0 byte) must fit a subrecord.
    if (name.size() + 14 > maxSubrecordSize) {
        problems_.tell(
            Problem::lost(LossKind::leftOutLandscape, formatText("CELL at (%d, %d)", cell.gridX, cell.gridY))
                .saying("CELL", formatText("The CELL record %s cannot be converted: its EDID subrecord would hold "
                                           "%zu bytes, more than 65535. Ignoring!\n",
                                           name.c_str(), name.size() + 4)));
        return std::nullopt;
    }
    if (!gridFitsWorld(cell.gridX, cell.gridY)) {
        problems_.tell(
            Problem::lost(LossKind::leftOutLandscape,
                          formatText("CELL %s (%d, %d)", name.c_str(), cell.gridX, cell.gridY))
                .saying("CELL", formatText("The CELL record %s at grid (%d, %d) cannot be converted: only grids "
                                           "from -131072 to 131071 fit Oblivion's world. Ignoring!\n",
                                           name.c_str(), cell.gridX, cell.gridY)));
        return std::nullopt;
    }
    ++exteriorCellCount_;
    return cellForRecord(name, cell.gridX, cell.gridY, static_cast<uint8_t>(cell.flags & cellHasWater));
}

}  // namespace landfer
