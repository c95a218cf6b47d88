// The cells of the output: the exterior cells staged in the world (four
// quads per Morrowind cell), their editor ID stems (from the plugin's
// editor IDs), and the cells made for a land whose CELL record had not come yet.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "landscape/cell_name_index.h"
#include "landscape/interior_staging.h"
#include "landscape/morrowind_cell.h"
#include "landscape/world_staging.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class CellIndex {
public:
    CellIndex(RecordOutput output, Problems& problems)
        : output_(output),
          problems_(problems),
          world_(output.staging.path(WorldStaging::fileName)),
          interiors_(output.staging.path(InteriorStaging::fileName)) {}

    // The staged cell of an exterior CELL record: a new one, the one made
    // earlier for its grid's land, or the grid's first cell; none (after a
    // message) for a cell that cannot stand in Oblivion's world.
    std::optional<size_t> exteriorCell(const MorrowindCell& cell);
    // The staged cell of a land's grid, made (unnamed, with water) when the
    // plugin has not had its CELL record yet.
    size_t cellForLand(int32_t gridX, int32_t gridY);

    // The staged interior of an interior CELL record: a new one, or the
    // one of the same name met before; none (after a message) for one
    // that cannot be converted. In interior_cells.cpp.
    std::optional<size_t> interiorCell(const MorrowindCell& cell);
    // The interior of a name, without regard to case, or -1.
    long findInterior(const std::string& name) const;
    const std::string& interiorName(size_t interior) const { return interiorNames_[interior]; }

    WorldStaging& world() { return world_; }
    const WorldStaging& world() const { return world_; }
    InteriorStaging& interiors() { return interiors_; }
    int exteriorCellCount() const { return exteriorCellCount_; }
    // The cells converted so far, by the names of their Morrowind cells.
    const ConvertedCells& convertedCells() const { return names_; }
    int interiorCellCount() const { return static_cast<int>(interiors_.size()); }

private:
    // Lists the quad cells of a named Morrowind cell.
    void listCellName(const std::string& name, size_t cell);
    // Stages the four quad cells of a Morrowind cell, with the editor IDs
    // "<stem> SW" ... (none for an empty stem) and the flags byte.
    std::array<QuadRecord, 4> cellRecords(int32_t gridX, int32_t gridY, const std::string& stem, uint8_t flags,
                                         const std::array<uint32_t, 4>& formIds) const;
    size_t stageCell(int32_t gridX, int32_t gridY, const std::string& stem, uint8_t flags);
    size_t cellForRecord(const std::string& name, int32_t gridX, int32_t gridY, uint8_t flags);
    // The editor ID stem of a named cell, unique without regard to case.
    std::string uniqueCellStem(const std::string& name);

    RecordOutput output_;
    Problems& problems_;
    WorldStaging world_;
    std::unordered_set<size_t> cellsMadeForLand_;
    CellNameIndex names_;
    int exteriorCellCount_ = 0;

    InteriorStaging interiors_;
    std::vector<std::string> interiorNames_;               // as the plugin names them
    std::unordered_map<std::string, size_t> interiorsByName_;  // folded

};

// Whether the quads of a Morrowind cell can stand in Oblivion's world: its
// sub-block labels hold grids divided by 8 as signed 16-bit numbers.
bool gridFitsWorld(int32_t gridX, int32_t gridY);

// Morrowind gives an interior's fog as a density from 0 (none) to 1
// (thick); Oblivion as the distances where it begins and where it hides
// everything. The fog ends at one Oblivion cell's length, and begins the
// density's share of that length closer: no fog begins only where it
// ends, the thickest at the viewer.
constexpr float interiorFogEnd = 4096.0f;
float interiorFogBegins(float density);

// The cell flags byte: has water.
constexpr uint8_t cellHasWater = 0x02;

}  // namespace landfer
