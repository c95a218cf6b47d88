// The cells a plugin edits, whole: most plugins change cells of their
// masters rather than make new ones, and list only what they add or
// change. A cell of the plugin that a master has too gets the masters'
// references, with the plugin's changes applied, as the game shows it.
#include <functional>
#include <optional>
#include <vector>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "landscape/landscape.h"
#include "landscape/morrowind_cell.h"

namespace landfer {

namespace {

std::string cellLabel(const std::string& name, int32_t gridX, int32_t gridY) {
    return name.empty() ? formatText("(%d, %d)", gridX, gridY) : formatText("%s (%d, %d)", name.c_str(), gridX, gridY);
}

}  // namespace

std::optional<MorrowindCell> Landscape::addMasterReferences(CellEdit& edit,
                                                           const std::function<int64_t(const MasterIndex&)>& offsetIn,
                                                           const std::string& label) {
    const MasterFiles& masters = lookups_.masters;
    std::optional<MorrowindCell> last;
    std::vector<uint8_t> record;
    for (size_t m = 0; m < masters.count(); ++m) {
        int64_t offset = offsetIn(masters.master(m));
        if (offset < 0) continue;
        masters.readRecord(m, offset, record);
        RecordData data{record.data() + inputHeaderSize, record.size() - inputHeaderSize};
        try {
            MorrowindCell cell = readCell(data);
            auto masterOf = [&](uint32_t n) { return masters.masterOfMaster(m, n); };
            walkReferences(data, cell.afterHead, [&](ReadReference& read, const ReferenceMove& move) {
                edit.add(std::move(read), move, static_cast<long>(m), false, masterOf);
            });
            if (last && cell.name.empty()) cell.name = last->name;
            last = std::move(cell);
        } catch (const MalformedRecord& problem) {
            problems_.tell(Problem::skipped(
                {}, "CELL " + label + " of the master " + masters.master(m).path,
                formatText("The CELL record %s of the master %s is malformed (%s): its references are left out.\n",
                           label.c_str(), masters.master(m).path.c_str(), problem.what())));
        }
    }
    return last;
}

std::optional<MorrowindCell> Landscape::addMasterReferences(CellEdit& edit, int32_t gridX, int32_t gridY) {
    uint64_t grid = cellGridKey(gridX, gridY);
    return addMasterReferences(
        edit,
        [grid](const MasterIndex& master) {
            auto found = master.exteriorCells.find(grid);
            return found == master.exteriorCells.end() ? int64_t{-1} : found->second;
        },
        formatText("at grid (%d, %d)", gridX, gridY));
}

void Landscape::stageEdited(const CellEdit& edit, size_t cell, int32_t gridX, int32_t gridY) {
    for (const EditedReference& edited : edit.references()) {
        if (edited.removed) continue;
        const ReferenceMove& move = edited.move;
        if (move.moved && gridFitsWorld(move.gridX, move.gridY)) {
            // The cell it moved to is a cell of the plugin from now on: its CELL record may still come, and its
            // land comes from the masters.
            stageExterior(cells_.cellForLand(move.gridX, move.gridY), move.gridX, move.gridY, edited.reference);
            continue;
        }
        stageExterior(cell, gridX, gridY, edited.reference);
    }
}

void Landscape::noteEditCounts(const CellEditCounts& counts, const std::string& name, int32_t gridX, int32_t gridY) {
    noteEditCounts(counts, cellLabel(name, gridX, gridY));
}

void Landscape::noteEditCounts(const CellEditCounts& counts, const std::string& label) {
    Problems& problems = problems_;
    if (counts.fromMasters > 0) problems.tell(Problem::lost(LossKind::masterReference, label, counts.fromMasters));
    if (counts.replaced > 0) problems.tell(Problem::lost(LossKind::replacedReference, label, counts.replaced));
    if (counts.deleted > 0) problems.tell(Problem::lost(LossKind::deletedReference, label, counts.deleted));
    if (counts.moved > 0) problems.tell(Problem::lost(LossKind::movedReference, label, counts.moved));
    if (counts.unknown > 0)
        problems.tell(Problem::lost(LossKind::unknownMasterReference, label, counts.unknown)
                          .saying("CELL", formatText("The CELL record %s changes %ld reference%s that no master has: "
                                                     "kept as new references.\n",
                                                     label.c_str(), counts.unknown, counts.unknown == 1 ? "" : "s")));
}

}  // namespace landfer
