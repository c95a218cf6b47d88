// The landscape: exterior cells, the NPCs placed in them, land and land
// textures. It owns its state: the world staged until the end of the
// input, the cell names met so far and the land texture table.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "esm/compression.h"
#include "esm/record_reader.h"
#include "landscape/model_statics.h"
#include "landscape/placed_records.h"
#include "landscape/quad.h"
#include "landscape/staged_references.h"
#include "landscape/texture_layers.h"
#include "landscape/world_staging.h"
#include "services/conversion_services.h"
#include "services/converted_npcs.h"

namespace landfer {

class Landscape {
public:
    // With a models prefix, objects with a Morrowind model are placed as statics of that model.
    Landscape(ConversionServices& services, const ConvertedNpcs& npcs, const std::string* modelsPrefix = nullptr)
        : services_(services), npcs_(npcs) {
        if (modelsPrefix != nullptr) statics_.emplace(*modelsPrefix);
    }

    // Cells: each Morrowind exterior cell becomes four Oblivion cells
    // (quads); interior cells are dropped. In cell_conversion.cpp.
    void convertCell(RecordData record);
    // Land: each Morrowind LAND becomes four compressed Oblivion LAND
    // records, one behind each quad cell of its grid. In land_conversion.cpp.
    void convertLand(RecordData record);
    // A land texture: its number and the Oblivion land texture of its
    // file. In land_texture_lookup.cpp.
    void handleLandTexture(RecordData record);
    // After the last record, when every NPC of the plugin is known: the
    // staged references are placed in the world. In placed_references.cpp.
    void placeReferences();
    // The top group of the statics made for Morrowind models, if any.
    void writeStatics() {
        if (statics_) statics_->writeGroup(services_.output);
    }
    // At the end of the input: the world top group with every staged cell.
    void writeWorld() { world_.write(services_.output); }

    int exteriorCellCount() const { return exteriorCellCount_; }
    int landCount() const { return landCount_; }
    int placedNpcCount() const { return placedNpcCount_; }
    int placedObjectCount() const { return placedObjectCount_; }

private:
    // Stages the four quad cells of a Morrowind cell, with the editor IDs
    // "<stem> SW" ... (none for an empty stem) and the flags byte.
    std::array<QuadRecord, 4> cellRecords(int32_t gridX, int32_t gridY, const std::string& stem, uint8_t flags,
                                         const std::array<uint32_t, 4>& formIds) const;
    size_t stageCell(int32_t gridX, int32_t gridY, const std::string& stem, uint8_t flags);
    // The cell a CELL record's references go to: a new one, the one made
    // earlier for the grid's land, or the grid's first cell.
    size_t cellForRecord(const std::string& name, int32_t gridX, int32_t gridY, uint8_t flags);
    // The editor ID stem of a named cell, unique without regard to case.
    std::string uniqueCellStem(const std::string& name);
    // Reads one reference (from its FRMR to the end of the cell's data) and
    // stages it; returns its length. In placed_references.cpp.
    size_t stageReference(RecordData reference, size_t cell, int32_t gridX, int32_t gridY);
    void placeReference(const StagedReference& staged);
    // A base of a Morrowind model, or a stand-in; false when neither is known.
    bool placeWithModel(const StagedReference& staged);
    bool placeStandIn(const StagedReference& staged);
    bool placeObject(const StagedReference& staged, uint32_t baseFormId, float scale, float zOffset);
    // The quad cell that takes an object at this position.
    size_t quadCellHolding(const StagedReference& staged, float x, float y) const;
    void flushPlaced();

    ConversionServices& services_;
    // The NPCs converted so far, for the placed references.
    const ConvertedNpcs& npcs_;
    WorldStaging world_;
    std::optional<ModelStatics> statics_;

    StagedReferences references_;
    // The records placed while the references of one Morrowind cell are
    // placed, by quad cell, and those placed in the persistent cell.
    std::map<size_t, std::pair<std::vector<uint8_t>, uint32_t>> placedByCell_;
    std::pair<std::vector<uint8_t>, uint32_t> placedPersistent_;

    // Cell editor ID stems used so far (lower case), and for each name the
    // number to try next.
    std::unordered_set<std::string> usedStems_;
    std::unordered_map<std::string, int> nextStemNumber_;
    // Cells made for a land whose CELL record had not come yet.
    std::unordered_set<size_t> cellsMadeForLand_;

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
    int placedObjectCount_ = 0;
};

// Whether the quads of a Morrowind cell can stand in Oblivion's world: its
// sub-block labels hold grids divided by 8 as signed 16-bit numbers.
bool gridFitsWorld(int32_t gridX, int32_t gridY);

// The cell flags byte: has water.
constexpr uint8_t cellHasWater = 0x02;

}  // namespace landfer
