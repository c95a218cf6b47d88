#include "landscape/cell_edits.h"

#include <utility>

namespace landfer {

namespace {

constexpr uint32_t indexMask = 0x00FFFFFF;

uint64_t loadOrderKey(long file, uint32_t index) {
    return static_cast<uint64_t>(file + 1) << 24 | (index & indexMask);
}

}  // namespace

void CellEdit::add(ReadReference read, const ReferenceMove& move, long file, bool isPlugin,
                   const std::function<long(uint32_t)>& masterOf) {
    uint32_t masterNumber = read.number >> 24;
    long owner = masterNumber == 0 ? file : masterOf(masterNumber);
    bool complete = read.reading == ReferenceReading::complete;
    if (owner < 0) {
        // Its master is not loaded: what the plugin says of it is all there is.
        if (complete && !read.deleted)
            references_.push_back({std::move(read.reference), !isPlugin, false, move});
        return;
    }
    uint64_t key = loadOrderKey(owner, read.number);
    if (masterNumber == 0) {
        // A new reference of the file: never one it listed before, even where it repeats an index.
        if (!complete || read.deleted) return;
        // Only a later file's record finds a reference by its key.
        if (!isPlugin) byKey_.emplace(key, references_.size());
        references_.push_back({std::move(read.reference), !isPlugin, false, move});
        return;
    }
    auto found = byKey_.find(key);
    if (found == byKey_.end() || references_[found->second].removed) {
        if (isPlugin) ++counts_.unknown;
        if (!complete || read.deleted) return;
        references_.push_back({std::move(read.reference), !isPlugin, false, move});
        return;
    }
    EditedReference& edited = references_[found->second];
    if (read.deleted) {
        edited.removed = true;
        if (isPlugin && edited.fromMaster) ++counts_.deleted;
        return;
    }
    if (!complete) return;
    edited.reference = std::move(read.reference);
    if (move.moved) edited.move = move;
    if (isPlugin && edited.fromMaster) ++(move.moved ? counts_.moved : counts_.replaced);
}

void CellEdit::restart() {
    references_.clear();
    // A fresh index: clearing one that held a large cell's keys would cost its size at every cell.
    byKey_ = {};
    counts_ = {};
}

void CellEdit::finish() {
    counts_.fromMasters = 0;
    for (const EditedReference& edited : references_)
        if (edited.fromMaster && !edited.removed) ++counts_.fromMasters;
}

}  // namespace landfer
