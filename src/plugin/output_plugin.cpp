#include "plugin/output_plugin.h"

#include "plugin/plugin_writer.h"

namespace landfer {

namespace {
// Offset of the record count in the file header's HEDR subrecord.
constexpr int64_t recordCountOffset = 30;
}  // namespace

void OutputPlugin::endOpenGroups() {
    if (openGroupOffsets_.empty()) return;
    int64_t end = file_.position();
    for (int64_t offset : openGroupOffsets_)
        file_.patchUint32(offset + 4, static_cast<uint32_t>(end - offset));
    openGroupOffsets_.clear();
}

void OutputPlugin::beginTopGroupAt(std::string_view label, int64_t offset) {
    currentTopGroup_.assign(label.data(), label.size());
    openGroupOffsets_.push_back(offset);
}

void OutputPlugin::beginNestedGroupAt(int64_t offset) { openGroupOffsets_.push_back(offset); }

void OutputPlugin::openTopGroup(std::string_view label) {
    endOpenGroups();
    int64_t offset = file_.position();
    // The size is a placeholder until the group ends.
    writeTypeAndSize(file_, "GRUP", 0xFFFF);
    writeTopGroupTail(file_, label);
    beginTopGroupAt(label, offset);
}

void OutputPlugin::ensureTopGroup(std::string_view label) {
    if (currentTopGroup_ != label) openTopGroup(label);
}

void OutputPlugin::finish(uint32_t recordCount) {
    endOpenGroups();
    file_.patchUint32(recordCountOffset, recordCount);
    file_.close();
}

}  // namespace landfer
