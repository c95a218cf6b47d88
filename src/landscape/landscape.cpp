#include "landscape/landscape.h"

#include "landscape/morrowind_cell.h"
#include "landscape/morrowind_reference.h"
#include "landscape/placement_cell.h"

namespace landfer {

// A cell of the plugin that a master has too is converted as the game
// shows it: the masters' references, the plugin's changes on top.
void Landscape::convertCell(RecordData record) {
    MorrowindCell cell = readCell(record);
    if (cell.interior) return;
    CellEdit edit;
    std::optional<MorrowindCell> master = addMasterReferences(edit, cell.gridX, cell.gridY);
    // The plugin's record names the cell, unless it leaves the name to its master.
    if (cell.name.empty() && master) cell.name = master->name;
    std::optional<size_t> staged = cells_.exteriorCell(cell);
    if (!staged) return;

    const MasterFiles& masters = services_.masters;
    long plugin = static_cast<long>(masters.count());
    auto pluginMaster = [&](uint32_t n) { return masters.pluginMaster(n); };
    walkReferences(record, cell.afterHead, [&](const ReadReference& read, const ReferenceMove& move) {
        if (checkReference(read, cell.gridX, cell.gridY) || read.deleted) edit.add(read, move, plugin, true, pluginMaster);
    });
    edit.finish();
    stageEdited(edit, *staged, cell.gridX, cell.gridY);
    noteEditCounts(edit.counts(), cell.name, cell.gridX, cell.gridY);
}

bool Landscape::checkReference(const ReadReference& read, int32_t gridX, int32_t gridY) {
    const std::string& baseId = read.reference.baseId;
    switch (read.reading) {
    case ReferenceReading::complete:
        return true;
    case ReferenceReading::deleted:
        break;
    case ReferenceReading::withoutName:
        services_.problems.tell(Problem::lost(LossKind::brokenReference, "")
                                    .saying("CELL", formatText("A reference in the CELL record at grid (%d, %d) has "
                                                               "no NAME. Ignoring it!\n",
                                                               gridX, gridY)));
        break;
    case ReferenceReading::withoutData:
        services_.problems.tell(
            read.followedByReference
                ? Problem::lost(LossKind::brokenReference, baseId)
                      .saying("CELL", formatText("Recursive FRMR - returning %d\n", static_cast<int>(read.length)))
                      .amongTheProgress()
                : Problem::lost(LossKind::brokenReference, baseId)
                      .saying("CELL", "Unable to find DATA statement for placed FRMR object!!!\n"));
        break;
    case ReferenceReading::dataTooShort:
        services_.problems.tell(
            Problem::lost(LossKind::brokenReference, baseId)
                .saying("CELL", formatText("The CELL record at grid (%d, %d) is malformed (a reference's DATA "
                                           "subrecord holds %zu of 24 bytes). Ignoring the reference!\n",
                                           gridX, gridY, read.dataSize)));
        break;
    }
    return false;
}

void Landscape::placeReferences() {
    ExteriorPlacement exterior(cells_.world());
    long lastCell = -1;
    references_.readBack([&](const StagedReference& staged) {
        // The records of one Morrowind cell's references go to the staging together.
        if (static_cast<long>(staged.cell) != lastCell) {
            exterior.flush(services_.formIds);
            exterior.enter(staged.cell, staged.gridX, staged.gridY);
        }
        lastCell = static_cast<long>(staged.cell);
        placer_.place(staged.reference, exterior);
    });
    exterior.flush(services_.formIds);
}

}  // namespace landfer
