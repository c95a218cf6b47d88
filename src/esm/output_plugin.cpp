#include "esm/output_plugin.h"

#include "esm/fatal_error.h"
#include "esm/staged_file.h"

namespace landfer {

namespace {
// Offset of the record count in the file header's HEDR subrecord.
constexpr int64_t recordCountOffset = 30;
// Group sizes and the record count are 32-bit fields.
constexpr uint64_t largestField = 0xFFFFFFFFu;
}  // namespace

void OutputPlugin::writeHeader() { writeFileHeader(out_); }

void OutputPlugin::pushGroup(int32_t groupType) {
    openGroups_.push_back(OpenGroup{out_.position(), groupType});
    ++recordCount_;
    // The size is a placeholder until the group closes.
    writeTypeAndSize(out_, "GRUP", 0);
}

void OutputPlugin::openTopGroup(std::string_view label, uint32_t stamp) {
    closeAllGroups();
    pushGroup(GroupType::top);
    writeTopGroupTail(out_, label, stamp);
}

void OutputPlugin::openGroup(int32_t groupType, const uint8_t label4[4]) {
    pushGroup(groupType);
    writeGroupTail(out_, label4, groupType);
}

void OutputPlugin::writeRecord(std::string_view type, uint32_t formId, const std::vector<uint8_t>& data,
                               uint32_t stamp) {
    writePlainRecord(out_, formId, type, data, stamp);
    ++recordCount_;
}

void OutputPlugin::copyStaged(FILE* from, const char* fromName, uint64_t length, uint64_t records) {
    copyStagedBytes(from, fromName, out_, length);
    recordCount_ += records;
}

void OutputPlugin::closeGroup(int32_t expectedType) {
    if (openGroups_.empty() || openGroups_.back().type != expectedType)
        fatal("Unable to write %s: a group of type %d was to be closed, but %s.\n", out_.name().c_str(),
              static_cast<int>(expectedType),
              openGroups_.empty() ? "none is open" : formatText("one of type %d is open", openGroups_.back().type).c_str());
    closeInnermostGroup();
}

void OutputPlugin::closeInnermostGroup() {
    int64_t offset = openGroups_.back().offset;
    openGroups_.pop_back();
    uint64_t size = static_cast<uint64_t>(out_.position() - offset);
    if (size > largestField)
        fatal("Unable to write %s: a group would hold %llu bytes, more than a plugin's 4 GiB limit.\n",
              out_.name().c_str(), static_cast<unsigned long long>(size));
    out_.patchUint32(offset + 4, static_cast<uint32_t>(size));
}

void OutputPlugin::closeAllGroups() {
    while (!openGroups_.empty()) closeInnermostGroup();
}

void OutputPlugin::finish() {
    closeAllGroups();
    uint64_t count = recordCount_ < largestField ? recordCount_ : largestField;
    out_.patchUint32(recordCountOffset, static_cast<uint32_t>(count));
    out_.close();
}

}  // namespace landfer
