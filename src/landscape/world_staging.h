// The world's cells wait in "world.tmp" until the end of the input, when
// the world is written in the order Oblivion's tools keep: blocks, their
// sub-blocks, their cells by FormID, each cell with its children. Only a
// small index stays in memory; a land finds its cell by grid.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "esm/compression.h"
#include "esm/file_writer.h"
#include "esm/form_ids.h"
#include "esm/output_plugin.h"
#include "landscape/quad.h"

namespace landfer {

// A record made for one quad cell: its FormID and its whole bytes, header included.
struct QuadRecord {
    uint32_t formId = 0;
    std::vector<uint8_t> bytes;
};

class WorldStaging {
public:
    static constexpr const char* fileName = "world.tmp";

    // The four quad cells of a Morrowind cell at (gridX, gridY), one CELL
    // record per quad; the placed references that follow go to them.
    // Returns the cell's index.
    size_t stageCell(int32_t gridX, int32_t gridY, const std::array<QuadRecord, 4>& cells);
    // When a cell of this grid has been staged before, the placed
    // references that follow join it, and true is returned.
    bool joinCell(int32_t gridX, int32_t gridY);
    // A placed reference of the cell staged or joined last, in one of its quads.
    void addPlacedReference(Quad quad, const std::vector<uint8_t>& record);

    // The cell of a Morrowind grid, or -1 when none has been staged.
    long find(int32_t gridX, int32_t gridY) const;
    bool hasLand(size_t cell) const;
    // The land of a cell: one compressed LAND record per quad, each given a FormID.
    void attachLand(size_t cell, const std::array<RecordBody, 4>& quads, FormIds& formIds);

    // At the end of the input: the world top group with every staged cell
    // (nothing without cells). Written in world_writer.cpp.
    void write(OutputPlugin& output);

private:
    // Where one Oblivion cell lies in "world.tmp": its CELL record followed
    // by the references placed in it, and its LAND, if any.
    struct QuadCell {
        int32_t gridX = 0;  // Oblivion grid
        int32_t gridY = 0;
        uint32_t formId = 0;
        uint32_t cellLength = 0;
        uint32_t placedCount = 0;
        uint64_t placedLength = 0;
        int64_t cellOffset = -1;  // -1 until the cell is in the file
        int64_t landOffset = -1;  // -1 without land
        uint32_t landLength = 0;
        // References placed by later CELL records of the same grid: (offset, length).
        std::vector<std::pair<int64_t, uint64_t>> morePlaced;
    };

    FileWriter& file();
    void stagePendingCell();
    void writeQuadCell(const QuadCell& cell, FILE* world, OutputPlugin& output);

    // Every quad cell of the world, four (SW, SE, NW, NE) per Morrowind
    // cell, in the order they were staged.
    std::vector<QuadCell> cells_;
    // The first quad of the cell of each Morrowind grid.
    std::unordered_map<uint64_t, size_t> cellsByGrid_;
    FileWriter file_;

    // The cell being converted: its quads' CELL and placed records (only
    // placed records when it joins a cell staged before), until the next
    // cell, land or the end of the input puts them into the file. Its
    // first quad's index, or -1.
    std::array<MemorySink, 4> pendingQuads_;
    long pendingCell_ = -1;
    bool pendingJoins_ = false;
};

}  // namespace landfer
