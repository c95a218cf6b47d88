// The byte layout of the output plugin: the file header record, record and
// group headers, subrecords and FormIDs.
//
// A record or group header is 20 bytes. It is written in two steps: first
// the type and the whole 32-bit size (writeTypeAndSize), then one of the
// tail writers for bytes 8 to 19. A record's FormID is given to it, taken
// from the plugin's FormIds when the record is made.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "esm/file_writer.h"

namespace landfer {

constexpr size_t fileHeaderSize = 85;
constexpr size_t headerSize = 20;
// A subrecord's type and 16-bit size.
constexpr size_t subrecordHeaderSize = 6;
constexpr uint32_t compressedFlag = 0x00040000;
constexpr size_t maxSubrecordSize = 65535;
// The last four bytes of a header, as the construction set writes them.
constexpr uint32_t defaultStamp = 0x2F04;

// The 85-byte TES4 file header record with master "Oblivion.esm".
void writeFileHeader(ByteSink& out);

// A record's whole 20-byte header: its type, the size of its data, the
// 32-bit flags (compressedFlag and so on), its FormID and the stamp.
void writeRecordHeader(ByteSink& out, std::string_view type, uint32_t dataSize, uint32_t flags, uint32_t formId,
                       uint32_t stamp = defaultStamp);

// The header in two steps, for writers that know the size first.
// Bytes 0 to 7 of a record or group header.
void writeTypeAndSize(ByteSink& out, std::string_view type, uint32_t size);
// Bytes 8 to 19 of a record: its flags, its FormID, the stamp.
void writeRecordFlagsTail(ByteSink& out, uint32_t flags, uint32_t formId, uint32_t stamp = defaultStamp);
// The same with the flags given as their third byte (flags = flagByte << 16).
void writeRecordTail(ByteSink& out, uint32_t formId, uint8_t flagByte, uint32_t stamp = defaultStamp);
// Bytes 8 to 19 of a plain record.
void writePlainRecordTail(ByteSink& out, uint32_t formId);
// Bytes 8 to 19 of a compressed record.
void writeCompressedRecordTail(ByteSink& out, uint32_t formId);

// The group types the output uses (a group header's bytes 12 to 15).
struct GroupType {
    static constexpr int32_t top = 0;
    static constexpr int32_t worldChildren = 1;
    static constexpr int32_t exteriorBlock = 4;
    static constexpr int32_t exteriorSubBlock = 5;
    static constexpr int32_t cellChildren = 6;
    static constexpr int32_t cellPersistentChildren = 8;
    static constexpr int32_t cellTemporaryChildren = 9;
    static constexpr int32_t topicChildren = 7;
};
// Bytes 8 to 19 of a group: the label's four bytes as written, the group type, the stamp.
void writeGroupTail(ByteSink& out, const uint8_t label4[4], int32_t groupType, uint32_t stamp = defaultStamp);
// Bytes 8 to 19 of a top group: the label, group type 0, the stamp.
void writeTopGroupTail(ByteSink& out, std::string_view label, uint32_t stamp = defaultStamp);
// Bytes 8 to 19 of a group whose label is given as the four bytes written.
void writeLabelledGroupTail(ByteSink& out, int32_t groupType, const uint8_t label4[4]);

// The data of a record under construction: subrecords with 16-bit sizes.
// A subrecord of 65536 bytes or more cannot be written; the first such one
// is remembered so that the converter can skip the record with a message.
class SubrecordBuffer {
public:
    void add(std::string_view type, const void* data, size_t length);
    // The text and its terminating 0 byte.
    void addText(std::string_view type, std::string_view text);
    void addZeros(std::string_view type, size_t length);
    // A subrecord holding one little-endian number.
    void addUint16(std::string_view type, uint16_t value);
    void addUint32(std::string_view type, uint32_t value);
    void addInt32(std::string_view type, int32_t value);
    void addFormId(std::string_view type, uint32_t formId) { addUint32(type, formId); }
    void addFloat(std::string_view type, float value);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    bool tooLarge() const { return tooLargeSize_ != 0; }
    std::string_view tooLargeType() const { return std::string_view(tooLargeType_, 4); }
    size_t tooLargeSize() const { return tooLargeSize_; }

private:
    void addHeader(std::string_view type, size_t length);

    std::vector<uint8_t> bytes_;
    char tooLargeType_[4] = {};
    size_t tooLargeSize_ = 0;
};

// A plain record: header with flags 0, its FormID and stamp, then its data.
void writePlainRecord(ByteSink& out, uint32_t formId, std::string_view type, const std::vector<uint8_t>& data,
                      uint32_t stamp = defaultStamp);

}  // namespace landfer
