// The masters of the plugin, in the load order of its MAST list. Each
// master named with --master is read once before the conversion: its base
// objects go to the base objects, and its cells (interiors by name,
// exteriors by grid), lands (by grid) and land textures are indexed by
// their byte offsets. Only this index stays in memory; a cell or a land is
// read back from its master when the conversion needs it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "esm/input_plugin.h"
#include "services/problems.h"
#include "services/base_objects.h"

namespace landfer {

// A Morrowind grid as one key.
inline uint64_t cellGridKey(int32_t gridX, int32_t gridY) {
    return static_cast<uint64_t>(static_cast<uint32_t>(gridX)) << 32 | static_cast<uint32_t>(gridY);
}

struct MasterIndex {
    std::string path;                   // as given on the command line
    std::string name;                   // its file name
    std::vector<std::string> masters;   // its own MAST list
    std::unordered_map<uint64_t, int64_t> exteriorCells;   // by grid
    std::unordered_map<std::string, int64_t> interiorCells;  // by folded name
    std::unordered_map<uint64_t, int64_t> lands;           // by grid
    // Its LTEX records: texture number (INTV + 1) and texture file; a later one of a number wins.
    std::unordered_map<uint32_t, std::string> landTextures;
};

class MasterFiles {
public:
    // Reads the --master files: those the plugin's MAST list names (by file
    // name, without regard to case) in that list's order, then the others,
    // for their base objects only. A master that cannot be read whole is a
    // fatal error naming it. Reports each MAST entry that no --master gives,
    // and each --master that the list does not name.
    void read(const std::vector<std::string>& paths, const std::vector<std::string>& pluginMasters,
              BaseObjects& baseObjects, Problems& problems);

    // The masters of the load order (those the MAST list names), in order.
    size_t count() const { return masters_.size(); }
    const MasterIndex& master(size_t index) const { return masters_[index]->index; }
    // The load-order index of the N-th (from 1) master of the plugin's MAST
    // list, or of a master's own list; -1 when it was not given.
    long pluginMaster(uint32_t n) const;
    long masterOfMaster(size_t master, uint32_t n) const;
    // The MAST entries of the plugin that no --master gives (none without any --master).
    const std::vector<std::string>& missing() const { return missing_; }

    // The whole record at an indexed offset of a master.
    void readRecord(size_t master, int64_t offset, std::vector<uint8_t>& record) const;

private:
    struct Master {
        MasterIndex index;
        // Load-order index of each entry of its own MAST list, -1 when not given.
        std::vector<long> mastersInLoadOrder;
        std::unique_ptr<InputPlugin> file;  // kept open for reading back
    };
    void index(Master& master, BaseObjects& baseObjects, Problems& problems);
    long loadIndexOf(const std::string& fileName) const;

    std::vector<std::unique_ptr<Master>> masters_;
    std::vector<long> pluginMasters_;  // load-order index of each MAST entry of the plugin
    std::vector<std::string> missing_;
};

}  // namespace landfer
