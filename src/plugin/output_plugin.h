// The output plugin "LANDFER.ESP": its file, and the groups that are open.
//
// Converters write their records at the end of the file. A top group holds
// every record written after it until the next top group opens; the world
// children group is nested in the world top group and ends with it. Their
// sizes are unknown when the header is written, so the writer remembers
// where each open header stands and patches the exact size in when the
// group ends: when the next top group opens or the run finishes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/file_writer.h"

namespace landfer {

class OutputPlugin {
public:
    OutputPlugin() = default;
    explicit OutputPlugin(FileWriter file) : file_(std::move(file)) {}

    FileWriter& file() { return file_; }

    // Label of the most recently opened top group; empty before the first.
    const std::string& currentTopGroup() const { return currentTopGroup_; }

    // Ends the open groups and writes a new top group header for label.
    void openTopGroup(std::string_view label);
    // Opens a top group for label unless the most recent one is of that type.
    void ensureTopGroup(std::string_view label);

    // For headers written from a fixed template (the world block): records
    // that a top group, or a group nested in it, starts at offset. Ending
    // the open groups comes first when a new top group starts.
    void endOpenGroups();
    void beginTopGroupAt(std::string_view label, int64_t offset);
    void beginNestedGroupAt(int64_t offset);

    // Ends the open groups, writes the record count into the file header and closes the file.
    void finish(uint32_t recordCount);

private:
    FileWriter file_;
    std::string currentTopGroup_;
    std::vector<int64_t> openGroupOffsets_;
};

}  // namespace landfer
