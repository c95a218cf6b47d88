#include "landscape/landscape.h"

#include "esm/byte_order.h"

#include "landscape/morrowind_cell.h"
#include "landscape/morrowind_reference.h"
#include "landscape/placement_cell.h"

namespace landfer {

// A cell of the plugin that a master has too is converted as the game
// shows it: the masters' references, the plugin's changes on top.
void Landscape::convertCell(RecordData record) {
    MorrowindCell cell = readCell(record);
    if (cell.interior) {
        convertInterior(record, cell);
        return;
    }
    CellEdit& edit = edit_;
    edit.restart();
    std::optional<MorrowindCell> master = addMasterReferences(edit, cell.gridX, cell.gridY);
    // The plugin's record names the cell, unless it leaves the name to its master.
    if (cell.name.empty() && master) cell.name = master->name;
    std::optional<size_t> staged = cells_.exteriorCell(cell);
    if (!staged) return;

    addPluginReferences(record, cell, edit);
    stageEdited(edit, *staged, cell.gridX, cell.gridY);
    noteEditCounts(edit.counts(), cell.name, cell.gridX, cell.gridY);
}

// The plugin's own references on top of the masters': each replaces,
// deletes or joins them by its FRMR.
void Landscape::addPluginReferences(RecordData record, const MorrowindCell& cell, CellEdit& edit) {
    const MasterFiles& masters = lookups_.masters;
    long plugin = static_cast<long>(masters.count());
    auto pluginMaster = [&](uint32_t n) { return masters.pluginMaster(n); };
    walkReferences(record, cell.afterHead, [&](ReadReference& read, const ReferenceMove& move) {
        if (checkReference(read, cell.gridX, cell.gridY) || read.deleted)
            edit.add(std::move(read), move, plugin, true, pluginMaster);
    });
    edit.finish();
}

bool Landscape::checkReference(const ReadReference& read, int32_t gridX, int32_t gridY) {
    const std::string& baseId = read.reference.baseId;
    switch (read.reading) {
    case ReferenceReading::complete:
        return true;
    case ReferenceReading::deleted:
        break;
    case ReferenceReading::withoutName:
        problems_.tell(Problem::lost(LossKind::brokenReference, "")
                                    .saying("CELL", formatText("A reference in the CELL record at grid (%d, %d) has "
                                                               "no NAME. Ignoring it!\n",
                                                               gridX, gridY)));
        break;
    case ReferenceReading::withoutData:
        problems_.tell(
            read.followedByReference
                ? Problem::lost(LossKind::brokenReference, baseId)
                      .saying("CELL", formatText("Recursive FRMR - returning %d\n", static_cast<int>(read.length)))
                      .amongTheProgress()
                : Problem::lost(LossKind::brokenReference, baseId)
                      .saying("CELL", "Unable to find DATA statement for placed FRMR object!!!\n"));
        break;
    case ReferenceReading::dataTooShort:
        problems_.tell(
            Problem::lost(LossKind::brokenReference, baseId)
                .saying("CELL", formatText("The CELL record at grid (%d, %d) is malformed (a reference's DATA "
                                           "subrecord holds %zu of 24 bytes). Ignoring the reference!\n",
                                           gridX, gridY, read.dataSize)));
        break;
    }
    return false;
}

// Morrowind knows an interior by its name: a master's interior of that
// name, in any letter case, is the cell the plugin edits.
void Landscape::convertInterior(RecordData record, MorrowindCell cell) {
    CellEdit& edit = edit_;
    edit.restart();
    const std::string folded = foldedCase(cell.name);
    std::optional<MorrowindCell> master = addMasterReferences(
        edit,
        [&folded](const MasterIndex& index) {
            auto found = index.interiorCells.find(folded);
            return found == index.interiorCells.end() ? int64_t{-1} : found->second;
        },
        cell.name);
    // What the plugin's record leaves out, its masters' record gives.
    if (master && !cell.lighting) cell.lighting = master->lighting;
    if (master && !cell.waterHeight) cell.waterHeight = master->waterHeight;
    std::optional<size_t> staged = cells_.interiorCell(cell);
    if (!staged) return;

    addPluginReferences(record, cell, edit);
    // An interior's references stay in it: a move names an exterior grid.
    for (const EditedReference& edited : edit.references())
        if (!edited.removed) stage({*staged, 0, 0, true}, edited.reference, cell.name);
    noteEditCounts(edit.counts(), cell.name);
}

void Landscape::stage(const StagedCell& place, const MorrowindReference& reference, const std::string& cellName) {
    int64_t door = -1;
    if (reference.arrival)
        door = doors_.add(place.interior ? static_cast<long>(place.cell) : DoorLinks::exterior, cellName, reference);
    references_.add(place, reference, door);
}

void Landscape::stageExterior(size_t cell, int32_t gridX, int32_t gridY, const MorrowindReference& reference) {
    // The grid is written out for a door alone: most references are none.
    stage({cell, gridX, gridY, false}, reference,
          reference.arrival ? formatText("(%d, %d)", gridX, gridY) : std::string());
}

void Landscape::placeReferences() {
    // The doors first, so that each knows the one it leads to.
    doors_.placeDoors(placer_, cells_, output_.formIds, problems_);
    ExteriorPlacement exterior(cells_.world());
    InteriorPlacement interior(cells_.interiors(), cells_);
    PlacementCell* current = nullptr;
    long lastCell = -1;
    bool lastInterior = false;
    references_.readBack([&](const StagedReference& staged) {
        // The records of one Morrowind cell's references go to the staging together.
        if (current == nullptr || static_cast<long>(staged.cell) != lastCell || staged.interior != lastInterior) {
            if (current != nullptr) current->flush(output_.formIds);
            // The lands compressed meanwhile are staged, so that their bodies do not pile up in memory.
            output_.deflater.handBackFinished();
            if (staged.interior)
                interior.enter(staged.cell);
            else
                exterior.enter(staged.cell, staged.gridX, staged.gridY);
            current = staged.interior ? static_cast<PlacementCell*>(&interior) : &exterior;
        }
        lastCell = static_cast<long>(staged.cell);
        lastInterior = staged.interior;
        if (staged.door >= 0 && doors_.placed(staged.door)) return;
        placer_.place(staged.reference, *current);
    });
    if (current != nullptr) current->flush(output_.formIds);
}

}  // namespace landfer
