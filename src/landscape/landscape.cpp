#include "landscape/landscape.h"

#include "landscape/morrowind_cell.h"
#include "landscape/placement_cell.h"

namespace landfer {

void Landscape::convertCell(RecordData record) {
    MorrowindCell cell = readCell(record);
    if (cell.interior) return;
    std::optional<size_t> staged = cells_.exteriorCell(cell);
    if (!staged) return;

    size_t offset = cell.afterHead;
    while (offset < record.size) {
        RecordData rest{record.data + offset, record.size - offset};
        SubrecordCursor here(rest);
        if (here.nextIs("FRMR"))
            offset += stageReference(rest, *staged, cell.gridX, cell.gridY);
        else
            offset += 8 + here.peek().size;
    }
}

size_t Landscape::stageReference(RecordData reference, size_t cell, int32_t gridX, int32_t gridY) {
    ReadReference read = readReference(reference);
    const std::string& baseId = read.reference.baseId;
    switch (read.reading) {
    case ReferenceReading::complete:
        references_.add({cell, gridX, gridY, read.reference});
        break;
    case ReferenceReading::deleted:
        break;
    case ReferenceReading::withoutName:
        services_.reporter.report("A reference in the CELL record at grid (%d, %d) has no NAME. Ignoring it!\n", gridX,
                                  gridY);
        services_.losses.note(LossKind::brokenReference, "");
        break;
    case ReferenceReading::withoutData:
        if (read.followedByReference)
            services_.reporter.progressText("Recursive FRMR - returning %d\n", static_cast<int>(read.length));
        else
            services_.reporter.report("Unable to find DATA statement for placed FRMR object!!!\n");
        services_.losses.note(LossKind::brokenReference, baseId);
        break;
    case ReferenceReading::dataTooShort:
        services_.reporter.report(
            "The CELL record at grid (%d, %d) is malformed (a reference's DATA subrecord holds %zu of 24 bytes). "
            "Ignoring the reference!\n",
            gridX, gridY, read.dataSize);
        services_.losses.note(LossKind::brokenReference, baseId);
        break;
    }
    return read.length;
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
