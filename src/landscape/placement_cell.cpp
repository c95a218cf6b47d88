#include "landscape/placement_cell.h"

#include "landscape/cell_index.h"

#include <algorithm>
#include <cmath>

#include "esm/fatal_error.h"

namespace landfer {

namespace {

constexpr double cellSize = 4096.0;  // game units along an Oblivion cell's side

}  // namespace

int64_t oblivionGridOf(float coordinate) {
    return static_cast<int64_t>(std::clamp(std::floor(static_cast<double>(coordinate) / cellSize), -1e9, 1e9));
}

void ExteriorPlacement::addTemporary(const Placement& placement, const std::vector<uint8_t>& record) {
    batchOf(quadCellHolding(placement[0], placement[1])).add(record);
}

RecordBatch& ExteriorPlacement::batchOf(size_t quadCell) {
    auto [batch, added] = byQuadCell_.try_emplace(quadCell);
    if (added && !spare_.empty()) {
        batch->second.bytes = std::move(spare_.back());
        spare_.pop_back();
    }
    return batch->second;
}

std::string ExteriorPlacement::undecided(const Placement& placement) const {
    return formatText("WARNING: I COULDN'T DECIDE UPON: (%f, %f) for original cell (%d, %d) - quad %d\n", placement[0],
                      placement[1], gridX_, gridY_, 0);
}

void ExteriorPlacement::flush(FormIds& formIds) {
    for (auto& [quadCell, batch] : byQuadCell_) {
        world_.addTemporary(quadCell, batch.bytes, batch.count);
        batch.clear();
        spare_.push_back(std::move(batch.bytes));
    }
    byQuadCell_.clear();
    world_.addPersistent(persistent_.bytes, persistent_.count, formIds);
    persistent_.clear();
}

// The cell whose area holds the position, when the world has one there;
// otherwise the quad of the object's own Morrowind cell nearest to it.
size_t ExteriorPlacement::quadCellHolding(float x, float y) const {
    int64_t gridX = oblivionGridOf(x), gridY = oblivionGridOf(y);
    long found = world_.quadCellAt(gridX, gridY);
    if (found >= 0) return static_cast<size_t>(found);
    bool east = gridX > quadGridX(gridX_, Quad::SW), north = gridY > quadGridY(gridY_, Quad::SW);
    Quad nearest = north ? (east ? Quad::NE : Quad::NW) : (east ? Quad::SE : Quad::SW);
    return WorldStaging::quadCellOf(cell_, nearest);
}

std::string InteriorPlacement::undecided(const Placement& placement) const {
    return formatText("WARNING: I COULDN'T DECIDE UPON: (%f, %f) for interior cell %s\n", placement[0], placement[1],
                      cells_.interiorName(cell_).c_str());
}

void InteriorPlacement::flush(FormIds&) {
    interiors_.addPersistent(cell_, persistent_.bytes, persistent_.count);
    interiors_.addTemporary(cell_, temporary_.bytes, temporary_.count);
    persistent_.clear();
    temporary_.clear();
}

}  // namespace landfer
