// The byte layout of the output plugin: the file header record, the
// 20-byte record and group headers and the 6-byte subrecord header. Records
// are written by RecordWriter, groups by OutputPlugin; a record's FormID is
// given to it, taken from the plugin's FormIds when the record is made.
#pragma once

#include <cstdint>
#include "esm/file_writer.h"
#include "esm/record_type.h"

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
// RecordWriter writes it; nothing else does.
void writeRecordHeader(ByteSink& out, RecordType type, uint32_t dataSize, uint32_t flags, uint32_t formId,
                       uint32_t stamp = defaultStamp);

// The group types the output uses (a group header's bytes 12 to 15).
struct GroupType {
    static constexpr int32_t top = 0;
    static constexpr int32_t worldChildren = 1;
    static constexpr int32_t interiorBlock = 2;
    static constexpr int32_t interiorSubBlock = 3;
    static constexpr int32_t exteriorBlock = 4;
    static constexpr int32_t exteriorSubBlock = 5;
    static constexpr int32_t cellChildren = 6;
    static constexpr int32_t cellPersistentChildren = 8;
    static constexpr int32_t cellTemporaryChildren = 9;
    static constexpr int32_t topicChildren = 7;
};
// A group's whole 20-byte header: GRUP, its size (header included), the
// label's four bytes as written, the group type, the stamp. OutputPlugin
// writes it; nothing else does.
void writeGroupHeader(ByteSink& out, uint32_t size, const uint8_t label4[4], int32_t groupType,
                      uint32_t stamp = defaultStamp);

}  // namespace landfer
