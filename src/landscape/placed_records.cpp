#include "landscape/placed_records.h"

#include "esm/byte_order.h"
#include "esm/record_writer.h"

namespace landfer {

namespace {

// Laid out whole and added at once: every placed record has one.
void writePlacement(RecordWriter& record, const Placement& placement) {
    uint8_t data[4 * std::tuple_size<Placement>::value];
    for (size_t i = 0; i < placement.size(); ++i) storeUint32(data + 4 * i, floatBits(placement[i]));
    record.bytes("DATA", data, sizeof data);
}

}  // namespace

std::vector<uint8_t> placedNpcRecord(uint32_t formId, uint32_t baseFormId, float scale, const Placement& placement) {
    MemorySink out;
    RecordWriter record(out);
    record.begin("ACHR", formId, persistentRecordFlag);
    record.formId("NAME", baseFormId);
    if (scale != 1.0f) record.float32("XSCL", scale);
    writePlacement(record, placement);
    record.end();
    return std::move(out.bytes);
}

std::vector<uint8_t> placedObjectRecord(uint32_t formId, uint32_t baseFormId, const ReferenceExtras& extras,
                                        const Placement& placement) {
    MemorySink out;
    RecordWriter record(out);
    writePlacedObject(record, formId, baseFormId, extras, placement);
    return std::move(out.bytes);
}

void writePlacedObject(RecordWriter& record, uint32_t formId, uint32_t baseFormId, const ReferenceExtras& extras,
                       const Placement& placement) {
    record.begin("REFR", formId, extras.persistent ? persistentRecordFlag : 0);
    record.formId("NAME", baseFormId);
    if (extras.teleport) {
        std::vector<uint8_t>& xtel = record.subrecord("XTEL");
        appendUint32(xtel, extras.teleport->target);
        for (float value : extras.teleport->arrival) appendFloat(xtel, value);
    }
    if (extras.locked) {
        // Level, 3 unused bytes, key, flags (none), 3 unused bytes.
        std::vector<uint8_t>& xloc = record.subrecord("XLOC");
        appendUint32(xloc, extras.lockLevel);
        appendUint32(xloc, extras.key);
        appendUint32(xloc, 0);
    }
    if (extras.owner != 0) record.formId("XOWN", extras.owner);
    if (extras.count > 1) record.uint32("XCNT", extras.count);
    if (extras.scale != 1.0f) record.float32("XSCL", extras.scale);
    writePlacement(record, placement);
    record.end();
}

std::vector<uint8_t> arrivalMarkerRecord(uint32_t formId, const Placement& placement) {
    ReferenceExtras extras;
    extras.persistent = true;
    return placedObjectRecord(formId, xMarkerHeading, extras, placement);
}

std::vector<uint8_t> persistentCellRecord(uint32_t formId) {
    MemorySink out;
    RecordWriter record(out);
    record.begin("CELL", formId, persistentRecordFlag);
    const uint8_t hasWater = 0x02;
    record.uint8("DATA", hasWater);
    record.zeros("XCLC", 8);
    record.end();
    return std::move(out.bytes);
}

}  // namespace landfer
