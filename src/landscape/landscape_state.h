// The run's landscape state: cells waiting for their land, and the land
// texture table.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "plugin/file_writer.h"

namespace landfer {

// The four Oblivion cells (quads SW, SE, NW, NE) made from one Morrowind
// exterior cell: each quad's CELL record followed by the blocks of the
// references placed in it.
struct StagedCell {
    int32_t gridX = 0;
    int32_t gridY = 0;
    int32_t formIdBase = 0;  // the counter value of quad 1's CELL; quad q has formIdBase + q - 1
    std::array<MemorySink, 4> quads;
};

struct LandscapeState {
    // Exterior cells not yet written, in the order they were staged. The
    // last one is also held in cell1.tmp to cell4.tmp.
    std::vector<StagedCell> waitingCells;
    bool temporaryFilesHoldLastCell = false;

    // Exterior cell names met so far, with how often each was met.
    std::map<std::string, int> cellNameCounts;

    // Texture number (LTEX index + 1) to Oblivion land texture FormID; 0 for
    // a texture the lookup file does not know.
    std::unordered_map<uint32_t, uint32_t> landTextureTable;
    uint32_t highestTextureNumber = 0;
};

}  // namespace landfer
