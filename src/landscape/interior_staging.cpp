#include "landscape/interior_staging.h"

#include <algorithm>
#include <tuple>

#include "esm/read_file.h"

namespace landfer {

namespace {

std::array<uint8_t, 4> numberLabel(int32_t number) { return formIdLabel(static_cast<uint32_t>(number)); }

}  // namespace

StagedRun InteriorStaging::stage(const std::vector<uint8_t>& records, uint32_t count) {
    return stageRun(staging_, records, count);
}

size_t InteriorStaging::stageCell(uint32_t formId, const std::vector<uint8_t>& record) {
    InteriorCell cell;
    cell.formId = formId;
    cell.cell = stage(record, 1);
    cells_.push_back(std::move(cell));
    return cells_.size() - 1;
}

void InteriorStaging::addPersistent(size_t cell, const std::vector<uint8_t>& records, uint32_t count) {
    if (count > 0) cells_[cell].persistent.push_back(stage(records, count));
}

void InteriorStaging::addTemporary(size_t cell, const std::vector<uint8_t>& records, uint32_t count) {
    if (count > 0) cells_[cell].temporary.push_back(stage(records, count));
}

// A cell's CELL record, then its Cell Children: the Persistent group, then
// the Temporary group, each only with records, none at all without.
void InteriorStaging::writeCell(const InteriorCell& cell, BlockReader& staged, OutputPlugin& output) const {
    copyRun(staged, staging_.path(), cell.cell, output);
    if (cell.persistent.empty() && cell.temporary.empty()) return;
    std::array<uint8_t, 4> label = formIdLabel(cell.formId);
    output.openGroup(GroupType::cellChildren, label.data());
    if (!cell.persistent.empty()) {
        output.openGroup(GroupType::cellPersistentChildren, label.data());
        for (const StagedRun& run : cell.persistent) copyRun(staged, staging_.path(), run, output);
        output.closeGroup(GroupType::cellPersistentChildren);
    }
    if (!cell.temporary.empty()) {
        output.openGroup(GroupType::cellTemporaryChildren, label.data());
        for (const StagedRun& run : cell.temporary) copyRun(staged, staging_.path(), run, output);
        output.closeGroup(GroupType::cellTemporaryChildren);
    }
    output.closeGroup(GroupType::cellChildren);
}

void InteriorStaging::write(OutputPlugin& output) {
    if (cells_.empty()) return;
    auto place = [this](size_t index) {
        uint32_t formId = cells_[index].formId;
        return std::make_tuple(interiorBlock(formId), interiorSubBlock(formId), formId);
    };
    std::vector<size_t> order(cells_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&place](size_t a, size_t b) { return place(a) < place(b); });

    BlockReader staged = staging_.readBack();
    output.openTopGroup("CELL");
    bool started = false;
    int32_t block = 0, subBlock = 0;
    for (size_t index : order) {
        uint32_t formId = cells_[index].formId;
        bool newBlock = !started || interiorBlock(formId) != block;
        bool newSubBlock = newBlock || interiorSubBlock(formId) != subBlock;
        if (started && newSubBlock) output.closeGroup(GroupType::interiorSubBlock);
        if (started && newBlock) output.closeGroup(GroupType::interiorBlock);
        if (newBlock) output.openGroup(GroupType::interiorBlock, numberLabel(interiorBlock(formId)).data());
        if (newSubBlock) output.openGroup(GroupType::interiorSubBlock, numberLabel(interiorSubBlock(formId)).data());
        started = true;
        block = interiorBlock(formId);
        subBlock = interiorSubBlock(formId);
        writeCell(cells_[index], staged, output);
    }
    output.closeAllGroups();
}

}  // namespace landfer
