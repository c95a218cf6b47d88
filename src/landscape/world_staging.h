// The world's cells wait in the run's "world.tmp" until the end of the
// input, when the world is written in the order Oblivion's tools keep:
// blocks, their sub-blocks, their cells by FormID, each cell with its
// children. Only a small index stays in memory; a land finds its cell by
// grid.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "esm/record_writer.h"
#include "esm/staging_file.h"
#include "esm/form_ids.h"
#include "esm/output_plugin.h"
#include "landscape/quad.h"
#include "landscape/staged_run.h"

namespace landfer {

// A record made for one quad cell: its FormID and its whole bytes, header included.
struct QuadRecord {
    uint32_t formId = 0;
    std::vector<uint8_t> bytes;
};

class WorldStaging {
public:
    static constexpr const char* fileName = "world.tmp";

    // The cells staged in the file at `path` (made at the first cell).
    explicit WorldStaging(std::string path) : staging_(std::move(path)) {}

    // The four quad cells of a Morrowind cell at (gridX, gridY), one CELL
    // record per quad, in the order SW, SE, NW, NE. Returns the index of
    // its first quad, which names the Morrowind cell from now on.
    size_t stageCell(int32_t gridX, int32_t gridY, const std::array<QuadRecord, 4>& cells);
    // Replaces the CELL records of a staged cell (their FormIDs stay).
    void restageCell(size_t cell, const std::array<QuadRecord, 4>& cells);

    bool empty() const { return cells_.empty(); }
    // The world record's editor ID, taken when its first cell is staged.
    void setEditorId(std::string editorId) { editorId_ = std::move(editorId); }

    // The cell of a Morrowind grid, or -1 when none has been staged.
    long find(int32_t gridX, int32_t gridY) const;
    bool hasLand(size_t cell) const;
    // The first quad of every staged Morrowind cell, in staging order, and its Morrowind grid.
    size_t cellCount() const { return cells_.size() / 4; }
    static size_t nthCell(size_t n) { return 4 * n; }
    int32_t morrowindGridX(size_t cell) const { return cells_[cell].gridX / 2; }
    int32_t morrowindGridY(size_t cell) const { return cells_[cell].gridY / 2; }
    // A land is on its way to the cell (compressed in the background): the
    // cell has land from now on.
    void expectLand(size_t cell) { cells_[cell].land.records = 1; }
    // The land of a cell: one LAND record per quad, SW, SE, NW, NE, ended here.
    void attachLand(size_t cell, RecordWriter* const* quads);

    uint32_t quadFormId(size_t quadCell) const { return cells_[quadCell].formId; }
    // The quad cell of an Oblivion grid, or -1 when the world has none there.
    long quadCellAt(int64_t gridX, int64_t gridY) const;
    // The quad cell of a quad of a Morrowind cell.
    static size_t quadCellOf(size_t cell, Quad quad) { return cell + quadIndex(quad); }
    // Records placed in a quad cell: its temporary children, after its land.
    void addTemporary(size_t quadCell, const std::vector<uint8_t>& records, uint32_t count);
    // Records placed in the world's persistent cell, which is made (with a
    // FormID of its own) for the first of them.
    void addPersistent(const std::vector<uint8_t>& records, uint32_t count, FormIds& formIds);

    // At the end of the input: the world top group with every staged cell
    // (nothing without cells). Written in world_writer.cpp.
    void write(OutputPlugin& output);

private:
    // Where one Oblivion cell lies in "world.tmp".
    struct QuadCell {
        int32_t gridX = 0;  // Oblivion grid
        int32_t gridY = 0;
        uint32_t formId = 0;
        StagedRun cell;               // its CELL record
        StagedRun land;               // its LAND, if any (no records without)
        std::vector<StagedRun> placed;  // the records placed in it
    };

    // The world's staging file read back three times over: the cells, the
    // lands and the placed records were staged apart, and each is then read
    // in the order of the output, mostly a few neighbours at a time.
    struct WorldReaders {
        BlockReader cells, lands, placed;
    };

    StagedRun stage(const std::vector<uint8_t>& records, uint32_t count);
    void writeQuadCell(const QuadCell& cell, WorldReaders& world, OutputPlugin& output) const;
    void writePersistentCell(BlockReader& world, OutputPlugin& output) const;
    void writeWorldRecord(OutputPlugin& output) const;

    // Every quad cell of the world, four (SW, SE, NW, NE) per Morrowind
    // cell, in the order they were staged.
    std::vector<QuadCell> cells_;
    // The first quad of the cell of each Morrowind grid.
    std::unordered_map<uint64_t, size_t> cellsByGrid_;
    StagingFile staging_;
    std::string editorId_;

    // The world's persistent cell, once a record is placed in it.
    uint32_t persistentFormId_ = 0;
    StagedRun persistentCell_;
    std::vector<StagedRun> persistent_;
};

}  // namespace landfer
