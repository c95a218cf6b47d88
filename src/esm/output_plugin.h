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
#include <string_view>
#include <vector>

#include "esm/file_writer.h"

namespace landfer {

class OutputPlugin {
public:
    OutputPlugin() = default;
    explicit OutputPlugin(FileWriter file) : file_(std::move(file)) {}

    FileWriter& file() { return file_; }

    // Closes every open group and opens a top group for label.
    void openTopGroup(std::string_view label);
    // Opens a group of groupType inside the innermost open group; label4
    // holds the label's four bytes as they are written.
    void openGroup(int32_t groupType, const uint8_t label4[4]);
    // For a header written from a fixed template: the group starting at
    // offset is open from now on.
    void beginGroupAt(int64_t offset);
    // Closes the innermost open group, patching its size.
    void closeGroup();
    void closeAllGroups();
    size_t openGroupCount() const { return openGroupOffsets_.size(); }

    // Records written to the file by hand or copied from a staging file.
    void countRecords(uint64_t count) { recordCount_ += count; }
    uint64_t recordCount() const { return recordCount_; }

    // Closes the open groups, writes the record count into the file header and closes the file.
    void finish();

private:
    FileWriter file_;
    std::vector<int64_t> openGroupOffsets_;
    uint64_t recordCount_ = 0;
};

}  // namespace landfer
