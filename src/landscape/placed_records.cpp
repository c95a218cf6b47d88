#include "landscape/placed_records.h"

#include <cstring>

#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

void addPlacement(SubrecordBuffer& data, const Placement& placement) {
    std::vector<uint8_t> bytes;
    for (float value : placement) appendFloat(bytes, value);
    data.add("DATA", bytes.data(), bytes.size());
}

std::vector<uint8_t> record(const char* type, uint32_t formId, uint32_t flags, const SubrecordBuffer& data) {
    MemorySink out;
    writeRecordHeader(out, type, static_cast<uint32_t>(data.bytes().size()), flags, formId);
    out.write(data.bytes().data(), data.bytes().size());
    return std::move(out.bytes);
}

}  // namespace

std::vector<uint8_t> placedNpcRecord(uint32_t formId, uint32_t baseFormId, const Placement& placement) {
    SubrecordBuffer data;
    data.addFormId("NAME", baseFormId);
    addPlacement(data, placement);
    return record("ACHR", formId, persistentRecordFlag, data);
}

std::vector<uint8_t> placedObjectRecord(uint32_t formId, uint32_t baseFormId, const ReferenceExtras& extras,
                                        const Placement& placement) {
    SubrecordBuffer data;
    data.addFormId("NAME", baseFormId);
    if (extras.locked) {
        // Level, 3 unused bytes, key, flags (none), 3 unused bytes.
        uint8_t xloc[12] = {extras.lockLevel};
        storeUint32(xloc + 4, extras.key);
        data.add("XLOC", xloc, sizeof xloc);
    }
    if (extras.owner != 0) data.addFormId("XOWN", extras.owner);
    if (extras.count > 1) data.addUint32("XCNT", extras.count);
    if (extras.scale != 1.0f) data.addFloat("XSCL", extras.scale);
    addPlacement(data, placement);
    return record("REFR", formId, 0, data);
}

std::vector<uint8_t> persistentCellRecord(uint32_t formId) {
    SubrecordBuffer data;
    const uint8_t hasWater = 0x02;
    data.add("DATA", &hasWater, 1);
    data.addZeros("XCLC", 8);
    return record("CELL", formId, persistentRecordFlag, data);
}

}  // namespace landfer
