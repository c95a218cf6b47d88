// The references of the exterior cells wait in the run's "references.tmp"
// until the whole input has been read: only then are all the plugin's NPCs
// converted, wherever their records stand, so a reference can find its
// base. They are read back in the order they were staged, one cell's
// references after another.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <string>

#include "esm/staging_file.h"
#include "landscape/morrowind_reference.h"

namespace landfer {

// Where a staged reference is placed.
struct StagedCell {
    // An exterior cell's first quad in the world staging, or an interior
    // cell in the interiors' staging.
    size_t cell = 0;
    int32_t gridX = 0, gridY = 0;  // an exterior cell's Morrowind grid
    bool interior = false;
};

struct StagedReference : StagedCell {
    MorrowindReference reference;
    // A door with a destination: its number among the doors, else -1.
    int64_t door = -1;
};

class StagedReferences {
public:
    static constexpr const char* fileName = "references.tmp";

    // The references staged in the file at `path` (made at the first one).
    explicit StagedReferences(std::string path) : staging_(std::move(path)) {}

    void add(const StagedCell& place, const MorrowindReference& reference, int64_t door);
    uint64_t count() const { return count_; }
    // Closes the file and hands every staged reference, in order, to `use`.
    void readBack(const std::function<void(const StagedReference&)>& use);

private:
    StagingFile staging_;
    std::vector<uint8_t> entry_;
    uint64_t count_ = 0;
};

}  // namespace landfer
