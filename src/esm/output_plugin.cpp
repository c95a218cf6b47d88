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

void OutputPlugin::pushGroup(const uint8_t label4[4], int32_t groupType, uint32_t stamp) {
    openGroups_.push_back(OpenGroup{out_.position(), groupType});
    ++recordCount_;
    // The size is a placeholder until the group closes.
    writeGroupHeader(out_, 0, label4, groupType, stamp);
}

void OutputPlugin::openTopGroup(RecordType label, uint32_t stamp) {
    closeAllGroups();
    pushGroup(reinterpret_cast<const uint8_t*>(label.data()), GroupType::top, stamp);
}

void OutputPlugin::openGroup(int32_t groupType, const uint8_t label4[4]) { pushGroup(label4, groupType, defaultStamp); }

RecordWriter& OutputPlugin::beginRecord(RecordType type, uint32_t formId, uint32_t flags, uint32_t stamp) {
    // Given its sink at every record: the plugin may have moved since the last.
    record_.writeTo(out_);
    record_.begin(type, formId, flags, stamp);
    return record_;
}

void OutputPlugin::endRecord() {
    record_.end();
    ++recordCount_;
}

void OutputPlugin::copyStaged(BlockReader& from, const char* fromName, uint64_t length, uint64_t records) {
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
