// Writing the staged world: the WRLD top group with the world record, its
// World Children group, Exterior Cell Block groups (32 x 32 cells) and their
// Sub-Block groups (8 x 8 cells), each labelled (Y, X) as two signed 16-bit
// numbers; blocks and sub-blocks in (Y, X) order, the cells of a sub-block by
// FormID, each cell followed by its Cell Children group.
#include <algorithm>
#include <cstdio>
#include <tuple>
#include <utility>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/plugin_writer.h"
#include "esm/read_file.h"
#include "landscape/world_staging.h"

namespace landfer {

namespace {

constexpr int32_t worldChildrenGroup = 1;
constexpr int32_t blockGroup = 4;
constexpr int32_t subBlockGroup = 5;
constexpr int32_t cellChildrenGroup = 6;
constexpr int32_t persistentChildrenGroup = 8;
constexpr int32_t temporaryChildrenGroup = 9;
constexpr int32_t cellsPerBlock = 32;
constexpr int32_t cellsPerSubBlock = 8;

// The one world of the plugin and its stamp: FormID 0x010008FF, "Landfer",
// water 0x18, unbounded extent.
constexpr uint32_t worldFormId = 0x010008FF;
constexpr uint32_t worldStamp = 0x2F09;

std::vector<uint8_t> worldRecordData() {
    SubrecordBuffer data;
    data.addText("EDID", "Landfer");
    data.addText("FULL", "Landfer");
    const uint8_t water[4] = {0x18, 0, 0, 0};
    data.add("NAM2", water, 4);
    data.addZeros("MNAM", 16);
    const uint8_t flags = 1;
    data.add("DATA", &flags, 1);
    const uint8_t lowest[8] = {0xFF, 0xFF, 0x7F, 0x7F, 0xFF, 0xFF, 0x7F, 0x7F};
    const uint8_t highest[8] = {0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF};
    data.add("NAM0", lowest, 8);
    data.add("NAM9", highest, 8);
    return data.bytes();
}

int32_t floorDivide(int32_t value, int32_t divisor) {
    int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// A block or sub-block as (Y, X): the order its groups are written in.
using BlockGrid = std::pair<int32_t, int32_t>;

BlockGrid blockOf(int32_t gridX, int32_t gridY, int32_t cellsPerSide) {
    return {floorDivide(gridY, cellsPerSide), floorDivide(gridX, cellsPerSide)};
}

// A group label of four bytes: Y, then X, each a signed 16-bit number; or a cell's FormID.
std::array<uint8_t, 4> gridLabel(const BlockGrid& grid) {
    uint32_t y = static_cast<uint32_t>(grid.first), x = static_cast<uint32_t>(grid.second);
    return {static_cast<uint8_t>(y), static_cast<uint8_t>(y >> 8), static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8)};
}
std::array<uint8_t, 4> formIdLabel(uint32_t formId) {
    std::array<uint8_t, 4> label;
    int32ToBytes(static_cast<int32_t>(formId), label.data());
    return label;
}

// Opens the block and sub-block groups of each cell as the cells go by in
// their order, closing those of the cell before.
class BlockGroups {
public:
    explicit BlockGroups(OutputPlugin& output) : output_(output), worldDepth_(output.openGroupCount()) {}

    void enter(int32_t gridX, int32_t gridY) {
        BlockGrid block = blockOf(gridX, gridY, cellsPerBlock), subBlock = blockOf(gridX, gridY, cellsPerSubBlock);
        bool newBlock = !started_ || block != block_;
        bool newSubBlock = newBlock || subBlock != subBlock_;
        if (newBlock) {
            while (output_.openGroupCount() > worldDepth_) output_.closeGroup();
            output_.openGroup(blockGroup, gridLabel(block).data());
        } else if (newSubBlock) {
            output_.closeGroup();
        }
        if (newSubBlock) output_.openGroup(subBlockGroup, gridLabel(subBlock).data());
        started_ = true;
        block_ = block;
        subBlock_ = subBlock;
    }

private:
    OutputPlugin& output_;
    size_t worldDepth_;
    bool started_ = false;
    BlockGrid block_, subBlock_;
};

// Copies length bytes that start at offset in the staged world, holding records records, to the output.
void copyFromWorld(FILE* world, int64_t offset, uint64_t length, uint64_t records, OutputPlugin& output) {
    // The cells are mostly read in the order they were staged: no seek, no lost buffer.
    if (tellFile(world) != offset && !seekFile(world, offset, SEEK_SET))
        fatal("Unable to read from %s: %s\n", WorldStaging::fileName, systemErrorText().c_str());
    output.copyStaged(world, WorldStaging::fileName, length, records);
}

}  // namespace

// A cell's CELL record, then its children: the placed NPCs (persistent),
// then its land (temporary); no group without records.
void WorldStaging::writeQuadCell(const QuadCell& cell, FILE* world, OutputPlugin& output) {
    copyFromWorld(world, cell.cellOffset, cell.cellLength, 1, output);
    if (cell.placedCount == 0 && cell.landOffset < 0) return;
    std::array<uint8_t, 4> label = formIdLabel(cell.formId);
    output.openGroup(cellChildrenGroup, label.data());
    if (cell.placedCount > 0) {
        output.openGroup(persistentChildrenGroup, label.data());
        // The first run of placed records carries the count of them all.
        copyFromWorld(world, cell.cellOffset + cell.cellLength, cell.placedLength, cell.placedCount, output);
        for (const auto& more : cell.morePlaced) copyFromWorld(world, more.first, more.second, 0, output);
        output.closeGroup();
    }
    if (cell.landOffset >= 0) {
        output.openGroup(temporaryChildrenGroup, label.data());
        copyFromWorld(world, cell.landOffset, cell.landLength, 1, output);
        output.closeGroup();
    }
    output.closeGroup();
}

void WorldStaging::write(OutputPlugin& output) {
    if (cells_.empty()) return;
    file();
    file_.close();

    // Blocks by (Y, X), their sub-blocks by (Y, X), their cells by FormID.
    auto place = [this](size_t index) {
        const QuadCell& cell = cells_[index];
        return std::make_tuple(blockOf(cell.gridX, cell.gridY, cellsPerBlock),
                               blockOf(cell.gridX, cell.gridY, cellsPerSubBlock), cell.formId);
    };
    std::vector<size_t> order(cells_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&place](size_t a, size_t b) { return place(a) < place(b); });

    ReadFile world = openForReading(fileName);
    if (!world) fatal("Unable to open %s for reading: %s\n", fileName, systemErrorText().c_str());
    output.openTopGroup("WRLD", worldStamp);
    output.writeRecord("WRLD", worldFormId, worldRecordData(), worldStamp);
    output.openGroup(worldChildrenGroup, formIdLabel(worldFormId).data());
    BlockGroups blocks(output);
    for (size_t index : order) {
        blocks.enter(cells_[index].gridX, cells_[index].gridY);
        writeQuadCell(cells_[index], world.get(), output);
    }
    output.closeAllGroups();
}

}  // namespace landfer
