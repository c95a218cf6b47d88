#include "esm/plugin_writer.h"

#include "esm/byte_order.h"

#include <cstring>

namespace landfer {

namespace {
void writeFourChars(ByteSink& out, std::string_view text) {
    char chars[4] = {0, 0, 0, 0};
    std::memcpy(chars, text.data(), text.size() < 4 ? text.size() : 4);
    out.write(chars, 4);
}
}  // namespace

void writeFileHeader(ByteSink& out) {
    static const uint8_t header[fileHeaderSize] = {
        'T', 'E', 'S', '4', 0x41, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        'H', 'E', 'D', 'R', 0x0C, 0, 0xCD, 0xCC, 0x4C, 0x3F, 0x0B, 0x0D, 0, 0, 0x00, 0x08, 0, 0,
        'C', 'N', 'A', 'M', 0x08, 0, 'L', 'A', 'N', 'D', 'F', 'E', 'R', 0,
        'M', 'A', 'S', 'T', 0x0D, 0, 'O', 'b', 'l', 'i', 'v', 'i', 'o', 'n', '.', 'e', 's', 'm', 0,
        'D', 'A', 'T', 'A', 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    out.write(header, sizeof header);
}

void writeTypeAndSize(ByteSink& out, std::string_view type, uint32_t size) {
    writeFourChars(out, type);
    out.writeUint32(size);
}

void writeRecordTail(ByteSink& out, uint32_t formId, uint8_t flagByte, uint32_t stamp) {
    const uint8_t flags[4] = {0, 0, flagByte, 0};
    out.write(flags, 4);
    out.writeUint32(formId);
    out.writeUint32(stamp);
}

void writePlainRecordTail(ByteSink& out, uint32_t formId) { writeRecordTail(out, formId, 0); }

void writeCompressedRecordTail(ByteSink& out, uint32_t formId) {
    out.writeUint32(compressedFlag);
    out.writeUint32(formId);
    out.writeUint32(defaultStamp);
}

void writeTopGroupTail(ByteSink& out, std::string_view label, uint32_t stamp) {
    writeFourChars(out, label);
    out.writeUint32(0);
    out.writeUint32(stamp);
}

void writeLabelledGroupTail(ByteSink& out, int32_t groupType, const uint8_t label4[4]) {
    out.write(label4, 4);
    out.writeUint32(static_cast<uint32_t>(groupType));
    out.writeUint32(defaultStamp);
}

void SubrecordBuffer::addHeader(std::string_view type, size_t length) {
    if (length > maxSubrecordSize && tooLargeSize_ == 0) {
        std::memcpy(tooLargeType_, type.data(), 4);
        tooLargeSize_ = length;
    }
    appendType(bytes_, type);
    appendUint16(bytes_, static_cast<uint32_t>(length & 0xFFFF));
}

void SubrecordBuffer::add(std::string_view type, const void* data, size_t length) {
    addHeader(type, length);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + length);
}

void SubrecordBuffer::addText(std::string_view type, std::string_view text) {
    addHeader(type, text.size() + 1);
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
}

void SubrecordBuffer::addZeros(std::string_view type, size_t length) {
    addHeader(type, length);
    bytes_.insert(bytes_.end(), length, 0);
}

void writePlainRecord(ByteSink& out, uint32_t formId, std::string_view type, const std::vector<uint8_t>& data,
                      uint32_t stamp) {
    writeTypeAndSize(out, type, static_cast<uint32_t>(data.size()));
    writeRecordTail(out, formId, 0, stamp);
    out.write(data.data(), data.size());
}

}  // namespace landfer
