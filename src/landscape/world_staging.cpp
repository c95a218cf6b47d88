#include "landscape/world_staging.h"

#include "esm/fatal_error.h"

namespace landfer {

namespace {

uint64_t gridKey(int32_t gridX, int32_t gridY) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(gridX)) << 32) | static_cast<uint32_t>(gridY);
}

}  // namespace

FileWriter& WorldStaging::file() {
    if (!file_.isOpen() && !file_.open(fileName, "wb"))
        fatal("Unable to open %s for writing: %s\n", fileName, systemErrorText().c_str());
    stagePendingCell();
    return file_;
}

// Puts the cell being converted into the file: each quad's CELL and placed records.
void WorldStaging::stagePendingCell() {
    if (pendingCell_ < 0) return;
    for (Quad quad : allQuads) {
        QuadCell& cell = cells_[static_cast<size_t>(pendingCell_) + quadIndex(quad)];
        std::vector<uint8_t>& bytes = pendingQuads_[quadIndex(quad)].bytes;
        if (pendingJoins_) {
            if (!bytes.empty()) cell.morePlaced.emplace_back(file_.position(), bytes.size());
        } else {
            cell.cellOffset = file_.position();
            cell.placedLength = bytes.size() - cell.cellLength;
        }
        file_.write(bytes.data(), bytes.size());
        bytes.clear();
    }
    pendingCell_ = -1;
    pendingJoins_ = false;
}

size_t WorldStaging::stageCell(int32_t gridX, int32_t gridY, const std::array<QuadRecord, 4>& records) {
    file();  // the previous cell goes to the file
    size_t first = cells_.size();
    for (Quad quad : allQuads) {
        const QuadRecord& record = records[quadIndex(quad)];
        QuadCell cell;
        cell.gridX = static_cast<int32_t>(quadGridX(gridX, quad));
        cell.gridY = static_cast<int32_t>(quadGridY(gridY, quad));
        cell.formId = record.formId;
        cell.cellLength = static_cast<uint32_t>(record.bytes.size());
        pendingQuads_[quadIndex(quad)].write(record.bytes.data(), record.bytes.size());
        cells_.push_back(cell);
    }
    pendingCell_ = static_cast<long>(first);
    cellsByGrid_[gridKey(gridX, gridY)] = first;
    return first;
}

bool WorldStaging::joinCell(int32_t gridX, int32_t gridY) {
    long found = find(gridX, gridY);
    if (found < 0) return false;
    file();  // the previous cell goes to the file
    pendingCell_ = found;
    pendingJoins_ = true;
    return true;
}

void WorldStaging::addPlacedReference(Quad quad, const std::vector<uint8_t>& record) {
    pendingQuads_[quadIndex(quad)].write(record.data(), record.size());
    cells_[static_cast<size_t>(pendingCell_) + quadIndex(quad)].placedCount++;
}

long WorldStaging::find(int32_t gridX, int32_t gridY) const {
    auto found = cellsByGrid_.find(gridKey(gridX, gridY));
    return found == cellsByGrid_.end() ? -1 : static_cast<long>(found->second);
}

bool WorldStaging::hasLand(size_t cell) const { return cells_[cell].landOffset >= 0; }

void WorldStaging::attachLand(size_t first, const std::array<RecordBody, 4>& quads, FormIds& formIds) {
    FileWriter& world = file();
    for (Quad quad : allQuads) {
        QuadCell& cell = cells_[first + quadIndex(quad)];
        cell.landOffset = world.position();
        writeRecordBody(world, formIds.take(), "LAND", quads[quadIndex(quad)]);
        cell.landLength = static_cast<uint32_t>(world.position() - cell.landOffset);
    }
}

}  // namespace landfer
