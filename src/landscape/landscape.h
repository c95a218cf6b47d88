// The landscape: exterior cells, the NPCs placed in them, land and land
// textures. It owns its state: the world staged until the end of the
// input, the cell names met so far and the land texture table.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "esm/compression.h"
#include "esm/record_reader.h"
#include "landscape/quad.h"
#include "landscape/texture_layers.h"
#include "landscape/world_staging.h"
#include "lookup/conversion_services.h"
#include "lookup/converted_npcs.h"

namespace landfer {

class Landscape {
public:
    Landscape(ConversionServices& services, const ConvertedNpcs& npcs) : services_(services), npcs_(npcs) {}

    // Cells: each Morrowind exterior cell becomes four Oblivion cells
    // (quads); interior cells are dropped. In cell_conversion.cpp.
    void convertCell(RecordData record);
    // Land: each Morrowind LAND becomes four compressed Oblivion LAND
    // records, one behind each quad cell of its grid. In land_conversion.cpp.
    void convertLand(RecordData record);
    // A land texture: its number and the Oblivion land texture of its
    // file. In land_texture_lookup.cpp.
    void handleLandTexture(RecordData record);
    // At the end of the input: the world top group with every staged cell.
    void writeWorld() { world_.write(services_.output); }

    int exteriorCellCount() const { return exteriorCellCount_; }
    int landCount() const { return landCount_; }
    int placedNpcCount() const { return placedNpcCount_; }

private:
    // Stages the four quad cells of a Morrowind cell, with the editor IDs
    // "<name> SW" ... (none for an empty name) and the flags byte.
    size_t stageCell(int32_t gridX, int32_t gridY, const std::string& name, uint8_t flags);
    std::string uniqueCellName(const std::string& name);
    // reference: from an FRMR subrecord to the end of the cell's data.
    // Returns how many bytes the cell converter steps over before going
    // on. In placed_references.cpp.
    size_t convertPlacedReference(RecordData reference, int32_t gridX, int32_t gridY);

    ConversionServices& services_;
    // The NPCs converted so far, for the placed references.
    const ConvertedNpcs& npcs_;
    WorldStaging world_;

    // Exterior cell names met so far, with how often each was met.
    std::map<std::string, int> cellNameCounts_;

    // Texture number (LTEX index + 1) to Oblivion land texture FormID; 0 for
    // a texture the lookup file does not know.
    LandTextureTable landTextureTable_;
    uint32_t highestTextureNumber_ = 0;

    // The four quads of a land and their compressed bodies, built again for
    // every land in the same storage.
    std::array<std::vector<uint8_t>, 4> quadData_;
    std::array<RecordBody, 4> quadBodies_;

    int exteriorCellCount_ = 0;
    int landCount_ = 0;
    int placedNpcCount_ = 0;
};

// Whether the quads of a Morrowind cell can stand in Oblivion's world: its
// sub-block labels hold grids divided by 8 as signed 16-bit numbers.
bool gridFitsWorld(int32_t gridX, int32_t gridY);

// The cell flags byte: has water.
constexpr uint8_t cellHasWater = 0x02;

}  // namespace landfer
