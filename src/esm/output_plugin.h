// The output plugin "LANDFER.ESP": its file, the groups that are open and
// the number of records and groups written.
//
// Groups nest: a top group holds records and groups, those hold others.
// A group's size is unknown when its header is written, so the writer
// keeps a stack of the open groups and patches each one's exact size in
// when it closes. Every group and every record counts towards the file
// header's record count (the header record itself aside).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "esm/block_reader.h"
#include "esm/file_writer.h"
#include "esm/held_output.h"
#include "esm/plugin_writer.h"
#include "esm/record_writer.h"

namespace landfer {

class OutputPlugin {
public:
    // A plugin without a file, for tests of parts that write nothing.
    OutputPlugin() = default;
    explicit OutputPlugin(FileWriter file) : out_(std::move(file)) {}

    // The file header record; its record count is written by finish.
    void writeHeader();

    // Closes every open group and opens a top group for label.
    void openTopGroup(RecordType label, uint32_t stamp = defaultStamp);
    // Opens a group of groupType (GroupType::...) inside the innermost open
    // group; label4 holds the label's four bytes as they are written.
    void openGroup(int32_t groupType, const uint8_t label4[4]);
    // Closes the innermost open group, patching its size. It must be of
    // the type given (GroupType::top for a top group): closing another is
    // a fault of the writer, fatal before the file is damaged.
    void closeGroup(int32_t expectedType);
    void closeAllGroups();
    size_t openGroupCount() const { return openGroups_.size(); }

    // A record written straight into the innermost open group: begun
    // here, its subrecords added to the writer returned, ended here.
    RecordWriter& beginRecord(RecordType type, uint32_t formId, uint32_t flags = 0, uint32_t stamp = defaultStamp);
    void endRecord();
    // Copies length bytes of whole records, as staged in a temporary file,
    // from the current position of `from`; they hold `records` records and groups.
    void copyStaged(BlockReader& from, const char* fromName, uint64_t length, uint64_t records);
    uint64_t recordCount() const { return recordCount_; }

    // Closes the open groups, writes the record count into the file header and closes the file.
    void finish();

private:
    HeldOutput out_;
    RecordWriter record_;
    struct OpenGroup {
        int64_t offset;
        int32_t type;
    };
    void pushGroup(const uint8_t label4[4], int32_t groupType, uint32_t stamp);

    std::vector<OpenGroup> openGroups_;

    void closeInnermostGroup();
    uint64_t recordCount_ = 0;
};

}  // namespace landfer
