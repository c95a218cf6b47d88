// Reads a TES4 (Oblivion) plugin back, for landfer-inspect and the tests: walks every group by
// its size, checks that each size matches what the group holds, inflates
// compressed records to their declared length and splits record data into
// subrecords. Any inconsistency raises Tes4Error with its byte offset.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tes4 {

using Bytes = std::vector<uint8_t>;

struct Tes4Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Subrecord {
    std::string type;
    Bytes data;
};

// A record or a group; `isGroup` tells which fields apply.
struct Entry {
    bool isGroup = false;
    size_t offset = 0;
    std::string type;  // record type, or "GRUP"
    uint32_t size = 0;  // record: data size field; group: group size field
    // Records.
    uint32_t flags = 0;
    uint32_t formId = 0;
    uint32_t stamp = 0;
    Bytes data;  // inflated when the record is compressed
    std::vector<Subrecord> subrecords;
    // Groups.
    uint8_t label[4] = {0, 0, 0, 0};
    uint32_t groupType = 0;
    std::vector<Entry> children;

    bool compressed() const { return (flags & 0x00040000) != 0; }
    std::string labelText() const { return std::string(reinterpret_cast<const char*>(label), 4); }
    uint32_t labelValue() const;
    // The first subrecord of a type, or null.
    const Subrecord* find(const std::string& subType) const;
};

struct File {
    Entry header;  // the TES4 header record
    std::vector<Entry> groups;  // top groups in file order
    size_t size = 0;

    // Every record of a type, depth first in file order.
    std::vector<const Entry*> records(const std::string& type) const;
    // Top groups with this label.
    std::vector<const Entry*> topGroups(const std::string& label) const;
};

File readPlugin(const Bytes& bytes);
// Raises Tes4Error unless every record directly in a top group is of the
// group's type (the world group's children groups aside).
void checkTopGroupTypes(const File& file);
Bytes readFileBytes(const std::string& path);

uint32_t u32(const Bytes& data, size_t offset);
uint16_t u16(const Bytes& data, size_t offset);
float f32(const Bytes& data, size_t offset);

}  // namespace tes4
