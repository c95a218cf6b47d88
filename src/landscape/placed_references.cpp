#include "landscape/landscape.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

// Whether the quad holds a position of the Morrowind cell at (gridX,
// gridY); positions are rounded down, so -0.5 lies in the cell west of 0.
bool quadHolds(int32_t gridX, int32_t gridY, Quad quad, double x, double y) {
    double west = 4096.0 * static_cast<double>(quadGridX(gridX, quad));
    double south = 4096.0 * static_cast<double>(quadGridY(gridY, quad));
    return west <= x && x < west + 4096.0 && south <= y && y < south + 4096.0;
}

// The quad whose area holds a position, if any.
bool quadHolding(int32_t gridX, int32_t gridY, float x, float y, Quad& holding) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    double fx = std::floor(static_cast<double>(x)), fy = std::floor(static_cast<double>(y));
    for (Quad quad : allQuads)
        if (quadHolds(gridX, gridY, quad, fx, fy)) {
            holding = quad;
            return true;
        }
    return false;
}

}  // namespace

size_t Landscape::convertPlacedReference(RecordData reference, int32_t gridX, int32_t gridY) {
    SubrecordCursor cursor(reference);
    cursor.next();  // FRMR: the reference number
    if (!cursor.nextIs("NAME")) return reference.size;  // the rest of the cell's references is dropped
    std::string baseId(cursor.next().text());

    while (!cursor.atEnd() && !cursor.nextIs("DATA")) {
        if (cursor.nextIs("FRMR")) {
            services_.reporter.progressText("Recursive FRMR - returning %d\n", static_cast<int>(cursor.offset()));
            return cursor.offset();
        }
        if (cursor.nextIs("DELE")) {
            cursor.next();
            return cursor.offset();
        }
        cursor.next();
    }
    if (cursor.atEnd()) {
        services_.reporter.report("Unable to find DATA statement for placed FRMR object!!!\n");
        return cursor.offset();
    }
    Subrecord placement = cursor.next();
    if (placement.size < 24) {
        services_.reporter.report("A CELL record is malformed (a reference's DATA subrecord holds %zu of 24 bytes). Ignoring!\n",
                   placement.size);
        return cursor.offset();
    }
    // Only converted NPCs are placed; everything else is a loss.
    uint8_t baseFormId[4];
    if (!npcs_.find(baseId, baseFormId)) {
        services_.losses.note(LossKind::placedReference, baseId);
        return cursor.offset();
    }

    float x, y;
    uint32_t bits = readUint32(placement.data);
    std::memcpy(&x, &bits, 4);
    bits = readUint32(placement.data + 4);
    std::memcpy(&y, &bits, 4);
    Quad quad;
    if (!quadHolding(gridX, gridY, x, y, quad)) {
        services_.reporter.progressText("WARNING: I COULDN'T DECIDE UPON: (%f, %f) ", x, y);
        services_.reporter.progressText("for original cell (%d, %d) - quad %d\n", gridX,
                     gridY, 0);
        return cursor.offset();
    }
    services_.reporter.showProgress("a");
    SubrecordBuffer data;
    data.add("NAME", baseFormId, 4);
    data.add("DATA", placement.data, 24);
    MemorySink record;
    writePlainRecord(record, services_.formIds.take(), "ACHR", data.bytes());
    world_.addPlacedReference(quad, record.bytes);
    ++placedNpcCount_;
    return cursor.offset();
}

}  // namespace landfer
