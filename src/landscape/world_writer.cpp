// Writing the staged world: the WRLD top group with the world record, its
// World Children group, Exterior Cell Block groups (32 x 32 cells) and their
// Sub-Block groups (8 x 8 cells), each labelled (Y, X) as two signed 16-bit
// numbers; blocks and sub-blocks in (Y, X) order, the cells of a sub-block by
// FormID, each cell followed by its Cell Children group.
#include <algorithm>
#include <cstring>
#include <limits>
#include <cstdio>
#include <tuple>
#include <utility>

#include "esm/byte_order.h"
#include "esm/record_writer.h"
#include "esm/staged_file.h"
#include "landscape/world_staging.h"

namespace landfer {

namespace {

constexpr int32_t cellsPerBlock = 32;
constexpr int32_t cellsPerSubBlock = 8;

// The one world of the plugin and its stamp: FormID 0x010008FF, "Landfer", water 0x18.
constexpr uint32_t worldFormId = 0x010008FF;
constexpr uint32_t worldStamp = 0x2F09;
constexpr float cellSize = 4096.0f;  // game units along an Oblivion cell's side

void writePoint(RecordWriter& record, RecordType type, float x, float y) {
    std::vector<uint8_t>& point = record.subrecord(type);
    appendFloat(point, x);
    appendFloat(point, y);
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

// A group label of four bytes: Y, then X, each a signed 16-bit number.
std::array<uint8_t, 4> gridLabel(const BlockGrid& grid) {
    std::array<uint8_t, 4> label;
    storeUint16(label.data(), static_cast<uint16_t>(grid.first));
    storeUint16(label.data() + 2, static_cast<uint16_t>(grid.second));
    return label;
}

// Opens the block and sub-block groups of each cell as the cells go by in
// their order, closing those of the cell before.
class BlockGroups {
public:
    explicit BlockGroups(OutputPlugin& output) : output_(output) {}

    void enter(int32_t gridX, int32_t gridY) {
        BlockGrid block = blockOf(gridX, gridY, cellsPerBlock), subBlock = blockOf(gridX, gridY, cellsPerSubBlock);
        bool newBlock = !started_ || block != block_;
        bool newSubBlock = newBlock || subBlock != subBlock_;
        if (newBlock) {
            if (started_) {
                output_.closeGroup(GroupType::exteriorSubBlock);
                output_.closeGroup(GroupType::exteriorBlock);
            }
            output_.openGroup(GroupType::exteriorBlock, gridLabel(block).data());
        } else if (newSubBlock) {
            output_.closeGroup(GroupType::exteriorSubBlock);
        }
        if (newSubBlock) output_.openGroup(GroupType::exteriorSubBlock, gridLabel(subBlock).data());
        started_ = true;
        block_ = block;
        subBlock_ = subBlock;
    }

private:
    OutputPlugin& output_;
    bool started_ = false;
    BlockGrid block_, subBlock_;
};

}  // namespace

// The world record; its bounds are the world's extent in game units, from the south-west corner of its
// most south-western cell to the north-east corner of its most
// north-eastern one (the Object Bounds of the editors).
void WorldStaging::writeWorldRecord(OutputPlugin& output) const {
    int32_t lowX = std::numeric_limits<int32_t>::max(), lowY = lowX;
    int32_t highX = std::numeric_limits<int32_t>::min(), highY = highX;
    for (const QuadCell& cell : cells_) {
        lowX = std::min(lowX, cell.gridX);
        lowY = std::min(lowY, cell.gridY);
        highX = std::max(highX, cell.gridX);
        highY = std::max(highY, cell.gridY);
    }
    RecordWriter& world = output.beginRecord("WRLD", worldFormId, 0, worldStamp);
    world.text("EDID", editorId_);
    world.text("FULL", "Landfer");
    world.uint32("NAM2", 0x18);  // the water
    world.zeros("MNAM", 16);
    world.uint8("DATA", 1);  // the flags
    writePoint(world, "NAM0", static_cast<float>(lowX) * cellSize, static_cast<float>(lowY) * cellSize);
    writePoint(world, "NAM9", (static_cast<float>(highX) + 1.0f) * cellSize,
               (static_cast<float>(highY) + 1.0f) * cellSize);
    output.endRecord();
}

// The world's persistent cell stands first in the World Children group,
// its Persistent Children group holding every placed NPC.
void WorldStaging::writePersistentCell(BlockReader& world, OutputPlugin& output) const {
    if (persistent_.empty()) return;
    copyRun(world, staging_.path(), persistentCell_, output);
    std::array<uint8_t, 4> label = formIdLabel(persistentFormId_);
    output.openGroup(GroupType::cellChildren, label.data());
    output.openGroup(GroupType::cellPersistentChildren, label.data());
    for (const StagedRun& run : persistent_) copyRun(world, staging_.path(), run, output);
    output.closeGroup(GroupType::cellPersistentChildren);
    output.closeGroup(GroupType::cellChildren);
}

// A cell's CELL record, then its Cell Children group with its Temporary
// Children: its land, then what is placed in it; no group without records.
void WorldStaging::writeQuadCell(const QuadCell& cell, WorldReaders& world, OutputPlugin& output) const {
    copyRun(world.cells, staging_.path(), cell.cell, output);
    if (cell.placed.empty() && cell.land.records == 0) return;
    std::array<uint8_t, 4> label = formIdLabel(cell.formId);
    output.openGroup(GroupType::cellChildren, label.data());
    output.openGroup(GroupType::cellTemporaryChildren, label.data());
    if (cell.land.records > 0) copyRun(world.lands, staging_.path(), cell.land, output);
    for (const StagedRun& run : cell.placed) copyRun(world.placed, staging_.path(), run, output);
    output.closeGroup(GroupType::cellTemporaryChildren);
    output.closeGroup(GroupType::cellChildren);
}

void WorldStaging::write(OutputPlugin& output) {
    if (cells_.empty()) return;

    // Blocks by (Y, X), their sub-blocks by (Y, X), their cells by FormID.
    auto place = [this](size_t index) {
        const QuadCell& cell = cells_[index];
        return std::make_tuple(blockOf(cell.gridX, cell.gridY, cellsPerBlock),
                               blockOf(cell.gridX, cell.gridY, cellsPerSubBlock), cell.formId);
    };
    std::vector<size_t> order(cells_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&place](size_t a, size_t b) { return place(a) < place(b); });

    WorldReaders world{staging_.readBack(), staging_.readBack(), staging_.readBack()};
    output.openTopGroup("WRLD", worldStamp);
    writeWorldRecord(output);
    output.openGroup(GroupType::worldChildren, formIdLabel(worldFormId).data());
    writePersistentCell(world.placed, output);
    BlockGroups blocks(output);
    for (size_t index : order) {
        blocks.enter(cells_[index].gridX, cells_[index].gridY);
        writeQuadCell(cells_[index], world, output);
    }
    output.closeAllGroups();
}

}  // namespace landfer
