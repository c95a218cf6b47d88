// The landscape: exterior cells, their placed NPCs, land and land
// textures. It owns its state: the world's cells staged in "world.tmp"
// with a small index in memory, the cell names met so far, the land
// texture table and the temporary cell files.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "esm/compression.h"
#include "esm/file_writer.h"
#include "esm/record_reader.h"
#include "landscape/texture_layers.h"
#include "lookup/conversion_services.h"
#include "lookup/converted_npcs.h"

namespace landfer {

// Where one Oblivion cell of the world lies in "world.tmp": its CELL record
// followed by the ACHR records placed in it, and its LAND, if any.
struct StagedWorldCell {
    int32_t gridX = 0;  // Oblivion grid
    int32_t gridY = 0;
    uint32_t formId = 0;  // its CELL record's
    uint32_t cellLength = 0;
    uint32_t placedCount = 0;
    uint64_t placedLength = 0;
    int64_t cellOffset = -1;  // -1 until the cell has been staged in the file
    int64_t landOffset = -1;  // -1 without land
    uint32_t landLength = 0;
    // ACHR records of later CELL records of the same grid: (offset, length).
    std::vector<std::pair<int64_t, uint64_t>> morePlaced;
};

struct LandscapeState {
    // Every cell of the world, four (quads SW, SE, NW, NE) per Morrowind
    // exterior cell, in the order they were staged.
    std::vector<StagedWorldCell> worldCells;
    FileWriter worldFile;

    // The Morrowind cell being converted: its four quads' CELL and ACHR
    // records (only ACHR records when it joins a cell staged before),
    // until the next cell, land or the end of the input puts them into
    // "world.tmp". Its first quad's index in worldCells, or -1.
    std::array<MemorySink, 4> pendingQuads;
    long pendingCell = -1;
    bool pendingJoins = false;

    // The one cell of each Morrowind grid: the first quad's index in worldCells.
    std::unordered_map<uint64_t, size_t> cellsByGrid;
    // The cell that cell1.tmp to cell4.tmp hold until its land comes, or -1.
    long cellFilesHold = -1;

    // Exterior cell names met so far, with how often each was met.
    std::map<std::string, int> cellNameCounts;

    // Texture number (LTEX index + 1) to Oblivion land texture FormID; 0 for
    // a texture the lookup file does not know.
    LandTextureTable landTextureTable;
    uint32_t highestTextureNumber = 0;

    // "cell_names.tmp", and cell1.tmp to cell4.tmp, open for the run.
    FileWriter cellNames;
    FileWriter cellFiles[4];

    // The four quads of a land and their compressed bodies, built again for
    // every land in the same storage.
    std::array<std::vector<uint8_t>, 4> quadData;
    std::array<RecordBody, 4> quadBodies;
};

// The landscape subsystem. Its converters (cell_conversion.cpp,
// placed_references.cpp, land_conversion.cpp, land_texture_lookup.cpp) and
// the world staging (cell_staging.cpp) work on it.
struct Landscape {
    // The temporary files of the landscape.
    static constexpr const char* cellFileNames[4] = {"cell1.tmp", "cell2.tmp", "cell3.tmp", "cell4.tmp"};
    static constexpr const char* cellNamesFileName = "cell_names.tmp";
    static constexpr const char* worldFileName = "world.tmp";

    Landscape(ConversionServices& services, const ConvertedNpcs& npcs) : services(services), npcs(npcs) {}

    // Cells: each Morrowind exterior cell becomes four Oblivion cells
    // (quads), staged until its land comes; interior cells are dropped.
    void convertCell(RecordData record);
    // Land: each Morrowind LAND becomes four compressed Oblivion LAND
    // records, one behind each quad cell of its grid.
    void convertLand(RecordData record);
    // A land texture: its number and the Oblivion land texture of its file.
    void handleLandTexture(RecordData record);
    // At the end of the input: the world top group with every staged cell.
    void writeWorld();
    void closeFiles();

    ConversionServices& services;
    // The NPCs converted so far, for the placed references.
    const ConvertedNpcs& npcs;
    LandscapeState state;

    int exteriorCellCount = 0;
    int landCount = 0;
    int placedNpcCount = 0;
};

}  // namespace landfer
