#include "landscape/placed_references.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "landscape/cell_staging.h"
#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

// The quad (1 to 4) whose area holds a position, or 0. Positions are
// rounded down, so -0.5 lies in the cell west of 0.
int quadHolding(int32_t gridX, int32_t gridY, float x, float y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return 0;
    double fx = std::floor(static_cast<double>(x)), fy = std::floor(static_cast<double>(y));
    for (int quad = 1; quad <= 4; ++quad) {
        double west = 4096.0 * static_cast<double>(quadGridX(gridX, quad));
        double south = 4096.0 * static_cast<double>(quadGridY(gridY, quad));
        if (west <= fx && fx < west + 4096.0 && south <= fy && fy < south + 4096.0) return quad;
    }
    return 0;
}

void writePlacedNpc(Landscape& land, int quad, const uint8_t baseFormId[4], const uint8_t* placement) {
    land.services.reporter.showProgress("a");
    SubrecordBuffer data;
    data.add("NAME", baseFormId, 4);
    data.add("DATA", placement, 24);
    MemorySink record;
    writePlainRecord(record, land.services.formIds.take(), "ACHR", data.bytes());
    appendToQuad(land, quad, record.bytes);
    ++land.placedNpcCount;
}

}  // namespace

size_t convertPlacedReference(Landscape& land, RecordData reference, int32_t gridX, int32_t gridY) {
    SubrecordCursor cursor(reference);
    cursor.next();  // FRMR: the reference number
    if (!cursor.nextIs("NAME")) return reference.size;  // the rest of the cell's references is dropped
    std::string baseId(cursor.next().text());

    while (!cursor.atEnd() && !cursor.nextIs("DATA")) {
        if (cursor.nextIs("FRMR")) {
            land.services.reporter.progressText("Recursive FRMR - returning %d\n", static_cast<int>(cursor.offset()));
            return cursor.offset();
        }
        if (cursor.nextIs("DELE")) {
            cursor.next();
            return cursor.offset();
        }
        cursor.next();
    }
    if (cursor.atEnd()) {
        land.services.reporter.report("Unable to find DATA statement for placed FRMR object!!!\n");
        return cursor.offset();
    }
    Subrecord placement = cursor.next();
    if (placement.size < 24) {
        land.services.reporter.report("A CELL record is malformed (a reference's DATA subrecord holds %zu of 24 bytes). Ignoring!\n",
                   placement.size);
        return cursor.offset();
    }
    // Only converted NPCs are placed; everything else is a loss.
    uint8_t baseFormId[4];
    if (!land.npcs.find(baseId, baseFormId)) {
        land.services.losses.note(LossKind::placedReference, baseId);
        return cursor.offset();
    }

    float x, y;
    uint32_t bits = readUint32(placement.data);
    std::memcpy(&x, &bits, 4);
    bits = readUint32(placement.data + 4);
    std::memcpy(&y, &bits, 4);
    int quad = quadHolding(gridX, gridY, x, y);
    if (quad == 0) {
        land.services.reporter.progressText("WARNING: I COULDN'T DECIDE UPON: (%f, %f) ", x, y);
        land.services.reporter.progressText("for original cell (%d, %d) - quad %d\n", gridX,
                     gridY, 0);
        return cursor.offset();
    }
    writePlacedNpc(land, quad, baseFormId, placement.data);
    return cursor.offset();
}

}  // namespace landfer
