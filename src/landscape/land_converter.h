// The land converter: each Morrowind LAND becomes four compressed Oblivion
// LAND records, staged behind the quad cells of its grid in the cell
// index; it keeps the land texture table that the LTEX records fill.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "esm/record_reader.h"
#include "esm/record_writer.h"
#include "landscape/cell_index.h"
#include "landscape/land_conversion.h"
#include "landscape/texture_layers.h"
#include "services/lookups.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class LandConverter {
public:
    LandConverter(RecordOutput output, Problems& problems, Lookups lookups, CellIndex& cells)
        : output_(output), problems_(problems), lookups_(lookups), cells_(cells) {}

    // A LAND record: its four quads, compressed, behind their cells.
    void convertLand(RecordData record);
    // A land texture: its number and the Oblivion land texture of its file.
    void handleLandTexture(RecordData record);

    // After the last record: every cell of the plugin without land of its
    // own gets the land of its grid from the last master that has one. In
    // master_ground.cpp.
    void groundFromMasters();

    int landCount() const { return landCount_; }

private:
    // Converts a land's quads and stages them behind the cell's quads.
    void attachLand(size_t cell, const LandInput& input, const LandTextureTable& textures);
    // A master's texture numbers mapped through ltex.dat, made at its first use.
    const LandTextureTable& masterTextures(size_t master);

    RecordOutput output_;
    Problems& problems_;
    Lookups lookups_;
    CellIndex& cells_;

    // Texture number (LTEX index + 1) to Oblivion land texture FormID; 0 for
    // a texture the lookup file does not know.
    LandTextureTable landTextureTable_;
    uint32_t highestTextureNumber_ = 0;
    std::map<size_t, LandTextureTable> masterTextures_;

    int landCount_ = 0;
};

}  // namespace landfer
