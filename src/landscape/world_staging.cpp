#include "landscape/world_staging.h"

#include "landscape/placed_records.h"

namespace landfer {

namespace {

uint64_t gridKey(int64_t gridX, int64_t gridY) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(gridX)) << 32) | static_cast<uint32_t>(gridY);
}

int64_t floorHalf(int64_t grid) { return grid >= 0 ? grid / 2 : -((1 - grid) / 2); }

}  // namespace

StagedRun WorldStaging::stage(const std::vector<uint8_t>& records, uint32_t count) {
    return stageRun(staging_, records, count);
}

size_t WorldStaging::stageCell(int32_t gridX, int32_t gridY, const std::array<QuadRecord, 4>& records) {
    size_t first = cells_.size();
    for (Quad quad : allQuads) {
        QuadCell cell;
        cell.gridX = static_cast<int32_t>(quadGridX(gridX, quad));
        cell.gridY = static_cast<int32_t>(quadGridY(gridY, quad));
        cells_.push_back(cell);
    }
    restageCell(first, records);
    cellsByGrid_[gridKey(gridX, gridY)] = first;
    return first;
}

void WorldStaging::restageCell(size_t first, const std::array<QuadRecord, 4>& records) {
    for (Quad quad : allQuads) {
        QuadCell& cell = cells_[quadCellOf(first, quad)];
        cell.formId = records[quadIndex(quad)].formId;
        cell.cell = stage(records[quadIndex(quad)].bytes, 1);
    }
}

long WorldStaging::find(int32_t gridX, int32_t gridY) const {
    auto found = cellsByGrid_.find(gridKey(gridX, gridY));
    return found == cellsByGrid_.end() ? -1 : static_cast<long>(found->second);
}

bool WorldStaging::hasLand(size_t cell) const { return cells_[cell].land.records > 0; }

void WorldStaging::attachLand(size_t first, RecordWriter* const* quads) {
    FileWriter& world = staging_.append();
    for (Quad quad : allQuads) {
        QuadCell& cell = cells_[quadCellOf(first, quad)];
        cell.land.offset = world.position();
        RecordWriter& land = *quads[quadIndex(quad)];
        land.writeTo(world);
        land.end();
        cell.land.length = static_cast<uint64_t>(world.position() - cell.land.offset);
        cell.land.records = 1;
    }
}

long WorldStaging::quadCellAt(int64_t gridX, int64_t gridY) const {
    auto found = cellsByGrid_.find(gridKey(floorHalf(gridX), floorHalf(gridY)));
    if (found == cellsByGrid_.end()) return -1;
    bool east = gridX != 2 * floorHalf(gridX), north = gridY != 2 * floorHalf(gridY);
    return static_cast<long>(found->second + (east ? 1 : 0) + (north ? 2 : 0));
}

void WorldStaging::addTemporary(size_t quadCell, const std::vector<uint8_t>& records, uint32_t count) {
    if (count > 0) cells_[quadCell].placed.push_back(stage(records, count));
}

void WorldStaging::addPersistent(const std::vector<uint8_t>& records, uint32_t count, FormIds& formIds) {
    if (count == 0) return;
    if (persistentFormId_ == 0) {
        persistentFormId_ = formIds.take();
        persistentCell_ = stage(persistentCellRecord(persistentFormId_), 1);
    }
    persistent_.push_back(stage(records, count));
}

}  // namespace landfer
