#include "esm/plugin_writer.h"

#include "esm/byte_order.h"

#include <cstring>

namespace landfer {

namespace {
// A type or label: its first four characters, padded with 0 bytes.
void fourChars(std::string_view text, uint8_t chars[4]) {
    std::memset(chars, 0, 4);
    std::memcpy(chars, text.data(), text.size() < 4 ? text.size() : 4);
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
    uint8_t chars[4];
    fourChars(type, chars);
    out.write(chars, 4);
    out.writeUint32(size);
}

void writeRecordFlagsTail(ByteSink& out, uint32_t flags, uint32_t formId, uint32_t stamp) {
    out.writeUint32(flags);
    out.writeUint32(formId);
    out.writeUint32(stamp);
}

void writeRecordHeader(ByteSink& out, std::string_view type, uint32_t dataSize, uint32_t flags, uint32_t formId,
                       uint32_t stamp) {
    writeTypeAndSize(out, type, dataSize);
    writeRecordFlagsTail(out, flags, formId, stamp);
}

void writeRecordTail(ByteSink& out, uint32_t formId, uint8_t flagByte, uint32_t stamp) {
    writeRecordFlagsTail(out, uint32_t{flagByte} << 16, formId, stamp);
}

void writePlainRecordTail(ByteSink& out, uint32_t formId) { writeRecordFlagsTail(out, 0, formId); }

void writeCompressedRecordTail(ByteSink& out, uint32_t formId) { writeRecordFlagsTail(out, compressedFlag, formId); }

void writeGroupTail(ByteSink& out, const uint8_t label4[4], int32_t groupType, uint32_t stamp) {
    out.write(label4, 4);
    out.writeUint32(static_cast<uint32_t>(groupType));
    out.writeUint32(stamp);
}

void writeTopGroupTail(ByteSink& out, std::string_view label, uint32_t stamp) {
    uint8_t label4[4];
    fourChars(label, label4);
    writeGroupTail(out, label4, GroupType::top, stamp);
}

void writeLabelledGroupTail(ByteSink& out, int32_t groupType, const uint8_t label4[4]) {
    writeGroupTail(out, label4, groupType);
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

void SubrecordBuffer::addUint16(std::string_view type, uint16_t value) {
    addHeader(type, 2);
    appendUint16(bytes_, value);
}

void SubrecordBuffer::addUint32(std::string_view type, uint32_t value) {
    addHeader(type, 4);
    appendUint32(bytes_, value);
}

void SubrecordBuffer::addInt32(std::string_view type, int32_t value) { addUint32(type, static_cast<uint32_t>(value)); }

void SubrecordBuffer::addFloat(std::string_view type, float value) { addUint32(type, floatBits(value)); }

void writePlainRecord(ByteSink& out, uint32_t formId, std::string_view type, const std::vector<uint8_t>& data,
                      uint32_t stamp) {
    writeRecordHeader(out, type, static_cast<uint32_t>(data.size()), 0, formId, stamp);
    out.write(data.data(), data.size());
}

}  // namespace landfer
