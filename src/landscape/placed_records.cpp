#include "landscape/placed_records.h"

#include <cstring>

#include "esm/byte_order.h"
#include "esm/plugin_writer.h"

namespace landfer {

namespace {

void addFloats(SubrecordBuffer& data, const char* type, const float* values, size_t count) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], 4);
        appendUint32(bytes, bits);
    }
    data.add(type, bytes.data(), bytes.size());
}

void addFormId(SubrecordBuffer& data, const char* type, uint32_t formId) {
    std::vector<uint8_t> bytes;
    appendUint32(bytes, formId);
    data.add(type, bytes.data(), bytes.size());
}

std::vector<uint8_t> record(const char* type, uint32_t formId, uint32_t flags, const SubrecordBuffer& data) {
    MemorySink out;
    writeTypeAndSize(out, type, static_cast<uint32_t>(data.bytes().size()));
    out.writeUint32(flags);
    out.writeUint32(formId);
    out.writeUint32(defaultStamp);
    out.write(data.bytes().data(), data.bytes().size());
    return std::move(out.bytes);
}

}  // namespace

std::vector<uint8_t> placedNpcRecord(uint32_t formId, uint32_t baseFormId, const Placement& placement) {
    SubrecordBuffer data;
    addFormId(data, "NAME", baseFormId);
    addFloats(data, "DATA", placement.data(), placement.size());
    return record("ACHR", formId, persistentRecordFlag, data);
}

std::vector<uint8_t> placedObjectRecord(uint32_t formId, uint32_t baseFormId, float scale, const Placement& placement) {
    SubrecordBuffer data;
    addFormId(data, "NAME", baseFormId);
    if (scale != 1.0f) addFloats(data, "XSCL", &scale, 1);
    addFloats(data, "DATA", placement.data(), placement.size());
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
