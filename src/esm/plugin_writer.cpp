#include "esm/plugin_writer.h"

#include <cstring>

#include "esm/byte_order.h"
#include "esm/record_writer.h"


namespace landfer {

void writeFileHeader(ByteSink& out) {
    RecordWriter header(out);
    header.begin("TES4", 0, 0, 0);
    std::vector<uint8_t>& hedr = header.subrecord("HEDR");
    appendFloat(hedr, 0.8f);  // the version
    appendUint32(hedr, 0x0D0B);  // the record count, written again at the end
    appendUint32(hedr, 2048);  // the next object id
    header.text("CNAM", "LANDFER");  // the author
    header.text("MAST", "Oblivion.esm");
    header.zeros("DATA", 8);  // the master's file size
    header.end();
}

void writeRecordHeader(ByteSink& out, RecordType type, uint32_t dataSize, uint32_t flags, uint32_t formId,
                       uint32_t stamp) {
    // Laid out whole and written at once: a write is a call through the sink, and records are many.
    uint8_t header[headerSize];
    std::memcpy(header, type.data(), 4);
    storeUint32(header + 4, dataSize);
    storeUint32(header + 8, flags);
    storeUint32(header + 12, formId);
    storeUint32(header + 16, stamp);
    out.write(header, sizeof header);
}

void writeGroupHeader(ByteSink& out, uint32_t size, const uint8_t label4[4], int32_t groupType, uint32_t stamp) {
    out.write("GRUP", 4);
    out.writeUint32(size);
    out.write(label4, 4);
    out.writeUint32(static_cast<uint32_t>(groupType));
    out.writeUint32(stamp);
}

}  // namespace landfer
