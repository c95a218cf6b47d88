// The landscape: the cells of the output, the land and land textures, and
// the references placed in the cells. It owns its parts: the cell index,
// the land converter, the reference placer, the references staged until
// the end of the input and the doors that lead somewhere.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "esm/record_reader.h"
#include "landscape/cell_edits.h"
#include "landscape/cell_index.h"
#include "landscape/door_links.h"
#include "landscape/land_converter.h"
#include "landscape/morrowind_cell.h"
#include "landscape/reference_placer.h"
#include "landscape/staged_references.h"
#include "services/converted_ids.h"
#include "services/converted_npcs.h"
#include "services/lookups.h"
#include "services/problems.h"
#include "services/record_output.h"

namespace landfer {

class Landscape {
public:
    // With a models prefix, objects with a Morrowind model are placed as
    // records of that model (see ReferencePlacer). Items are looked up with
    // the books converted.
    Landscape(RecordOutput output, Problems& problems, Lookups lookups, const ConvertedIds& books,
              const ConvertedNpcs& npcs, const std::string* modelsPrefix = nullptr)
        : output_(output),
          problems_(problems),
          lookups_(lookups),
          cells_(output, problems),
          lands_(output, problems, lookups, cells_),
          placer_(output, problems, lookups, books, npcs, modelsPrefix),
          references_(output.staging.path(StagedReferences::fileName)) {}

    // Cells: each Morrowind exterior cell becomes four Oblivion cells
    // (quads), each interior cell one interior. Its references are staged.
    void convertCell(RecordData record);
    // Land: each Morrowind LAND becomes four compressed Oblivion LAND
    // records, one behind each quad cell of its grid.
    void convertLand(RecordData record) { lands_.convertLand(record); }
    // A land texture: its number and the Oblivion land texture of its file.
    void handleLandTexture(RecordData record) { lands_.handleLandTexture(record); }
    // After the last record: the plugin's cells without land of their own
    // get their masters' land.
    void groundFromMasters() { lands_.groundFromMasters(); }
    // After the last record, when every NPC of the plugin is known: the
    // staged references are placed in their cells.
    void placeReferences();
    // The top groups of the base records made for placed objects, of the
    // given types in that order (none without records).
    void writeBases(std::initializer_list<std::string_view> types) { placer_.writeBases(types); }
    // At the end of the input: the CELL top group with every interior.
    void writeInteriors() { cells_.interiors().write(output_.plugin); }
    // At the end of the input: the world top group with every staged cell.
    // Once every land given to be compressed is staged.
    void writeWorld() {
        output_.deflater.queue().finishAll();
        cells_.world().write(output_.plugin);
    }

    // The cells converted so far, by the names of their Morrowind cells.
    const ConvertedCells& convertedCells() const { return cells_.convertedCells(); }

    int exteriorCellCount() const { return cells_.exteriorCellCount(); }
    int interiorCellCount() const { return cells_.interiorCellCount(); }
    int linkedDoorCount() const { return doors_.linkedCount(); }
    int landCount() const { return lands_.landCount(); }
    int placedNpcCount() const { return placer_.placedNpcCount(); }
    int placedObjectCount() const { return placer_.placedObjectCount(); }
    int placedItemCount() const { return placer_.placedItemCount(); }

private:
    // Reports a reference of the plugin that cannot be placed; true for a complete one.
    bool checkReference(const ReadReference& read, int32_t gridX, int32_t gridY);
    // The masters' references of a cell, in load order, into `edit`, from
    // the record each master has at `offsetIn` (-1 for none); returns the
    // head of the last master's record (its name the last one given). In
    // edited_cells.cpp.
    std::optional<MorrowindCell> addMasterReferences(CellEdit& edit,
                                                     const std::function<int64_t(const MasterIndex&)>& offsetIn,
                                                     const std::string& label);
    std::optional<MorrowindCell> addMasterReferences(CellEdit& edit, int32_t gridX, int32_t gridY);
    // Stages the references of an edited cell in it, or in the cell they moved to.
    void stageEdited(const CellEdit& edit, size_t cell, int32_t gridX, int32_t gridY);
    void noteEditCounts(const CellEditCounts& counts, const std::string& name, int32_t gridX, int32_t gridY);
    // The same for an interior, by its name.
    void noteEditCounts(const CellEditCounts& counts, const std::string& label);
    // An interior and its references, staged.
    void convertInterior(RecordData record, MorrowindCell cell);
    void addPluginReferences(RecordData record, const MorrowindCell& cell, CellEdit& edit);
    // Stages a reference; a door with a destination joins the doors too,
    // named in the reports by its cell's name (which only a door needs).
    void stage(const StagedCell& place, const MorrowindReference& reference, const std::string& cellName);
    // The same in an exterior cell, whose doors are named by its grid.
    void stageExterior(size_t cell, int32_t gridX, int32_t gridY, const MorrowindReference& reference);

    RecordOutput output_;
    Problems& problems_;
    Lookups lookups_;
    CellIndex cells_;
    LandConverter lands_;
    ReferencePlacer placer_;
    StagedReferences references_;
    CellEdit edit_;  // of the cell being converted
    DoorLinks doors_;
};

}  // namespace landfer
