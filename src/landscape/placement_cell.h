// The cell a reference is placed in, exterior or interior: where its
// persistent and its temporary records go. The records of one cell's
// references are gathered and handed to the staging together.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include <string>

#include "esm/form_ids.h"
#include "landscape/placed_records.h"
#include "landscape/interior_staging.h"
#include "landscape/world_staging.h"

namespace landfer {

class CellIndex;

// Whole records and how many.
struct RecordBatch {
    std::vector<uint8_t> bytes;
    uint32_t count = 0;
    void add(const std::vector<uint8_t>& record) {
        bytes.insert(bytes.end(), record.begin(), record.end());
        ++count;
    }
    // Empty again, its storage kept for the next cell's records.
    void clear() {
        bytes.clear();
        count = 0;
    }
};

class PlacementCell {
public:
    virtual ~PlacementCell() = default;
    virtual void addPersistent(const std::vector<uint8_t>& record) = 0;
    // A record of the cell's temporary children, at the placement given.
    virtual void addTemporary(const Placement& placement, const std::vector<uint8_t>& record) = 0;
    // The message for an NPC whose position is no number.
    virtual std::string undecided(const Placement& placement) const = 0;
    // Hands the records gathered to the staging.
    virtual void flush(FormIds& formIds) = 0;
};

// A Morrowind exterior cell: its objects go to the quad cell whose area
// holds their position (or the nearest quad of the cell itself), its
// persistent references to the world's persistent cell.
class ExteriorPlacement : public PlacementCell {
public:
    explicit ExteriorPlacement(WorldStaging& world) : world_(world) {}
    // The Morrowind cell (its first quad in the staging) and its grid.
    void enter(size_t cell, int32_t gridX, int32_t gridY) {
        cell_ = cell;
        gridX_ = gridX;
        gridY_ = gridY;
    }

    void addPersistent(const std::vector<uint8_t>& record) override { persistent_.add(record); }
    void addTemporary(const Placement& placement, const std::vector<uint8_t>& record) override;
    std::string undecided(const Placement& placement) const override;
    void flush(FormIds& formIds) override;

private:
    size_t quadCellHolding(float x, float y) const;
    RecordBatch& batchOf(size_t quadCell);

    WorldStaging& world_;
    size_t cell_ = 0;
    int32_t gridX_ = 0, gridY_ = 0;
    std::map<size_t, RecordBatch> byQuadCell_;
    // The storage of the batches of cells placed before, for the next.
    std::vector<std::vector<uint8_t>> spare_;
    RecordBatch persistent_;
};

// An interior cell: persistent references in its Persistent group, objects
// in its Temporary group, wherever they stand.
class InteriorPlacement : public PlacementCell {
public:
    InteriorPlacement(InteriorStaging& interiors, const CellIndex& cells) : interiors_(interiors), cells_(cells) {}
    void enter(size_t cell) { cell_ = cell; }

    void addPersistent(const std::vector<uint8_t>& record) override { persistent_.add(record); }
    void addTemporary(const Placement&, const std::vector<uint8_t>& record) override { temporary_.add(record); }
    std::string undecided(const Placement& placement) const override;
    void flush(FormIds& formIds) override;

private:
    InteriorStaging& interiors_;
    const CellIndex& cells_;
    size_t cell_ = 0;
    RecordBatch persistent_, temporary_;
};

// The Oblivion grid of a finite coordinate; far beyond any world, it
// stays far beyond it.
int64_t oblivionGridOf(float coordinate);

}  // namespace landfer
