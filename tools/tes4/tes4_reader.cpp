#include "tes4_reader.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

namespace tes4 {

namespace {

std::string at(size_t offset, const std::string& what) {
    return "at byte " + std::to_string(offset) + ": " + what;
}

// Deflate's largest expansion: one 258-byte match from every 2 bits.
constexpr size_t maxInflation = 1032;
// Deeper nesting than any plugin has; it bounds the recursion of the readers.
constexpr int maxGroupDepth = 16;

struct Reader {
    const Bytes& bytes;

    uint32_t word(size_t offset) const { return u32(bytes, offset); }

    std::vector<Subrecord> splitSubrecords(const Bytes& data, size_t offset) const {
        std::vector<Subrecord> subs;
        size_t p = 0;
        while (p < data.size()) {
            if (data.size() - p < 6) throw Tes4Error(at(offset, "subrecord header cut off"));
            Subrecord sub;
            sub.type.assign(reinterpret_cast<const char*>(&data[p]), 4);
            size_t size = u16(data, p + 4);
            if (size > data.size() - p - 6)
                throw Tes4Error(at(offset, "subrecord " + sub.type + " runs past its record"));
            sub.data.assign(data.begin() + p + 6, data.begin() + p + 6 + size);
            subs.push_back(std::move(sub));
            p += 6 + size;
        }
        return subs;
    }

    Entry readRecord(size_t offset, size_t end) const {
        if (end - offset < 20) throw Tes4Error(at(offset, "record header cut off"));
        Entry record;
        record.offset = offset;
        record.type.assign(reinterpret_cast<const char*>(&bytes[offset]), 4);
        record.size = word(offset + 4);
        record.flags = word(offset + 8);
        record.formId = word(offset + 12);
        record.stamp = word(offset + 16);
        if (record.size > end - offset - 20)
            throw Tes4Error(at(offset, record.type + " record of " + std::to_string(record.size) +
                                           " bytes runs past its group"));
        Bytes raw(bytes.begin() + offset + 20, bytes.begin() + offset + 20 + record.size);
        if (record.compressed()) {
            if (raw.size() < 4) throw Tes4Error(at(offset, "compressed record without its length"));
            uLongf length = u32(raw, 0);
            // Deflate expands at most 1032:1, so a declared length beyond that
            // is a lie; nothing is allocated for it.
            size_t stream = raw.size() - 4;
            if (length > stream * maxInflation)
                throw Tes4Error(at(offset, "compressed " + record.type + " declares " + std::to_string(length) +
                                               " bytes, more than its " + std::to_string(stream) +
                                               " compressed bytes can hold"));
            record.data.resize(length);
            uLongf produced = length;
            int result = uncompress(record.data.data(), &produced, raw.data() + 4, raw.size() - 4);
            if (result != Z_OK || produced != length)
                throw Tes4Error(at(offset, "compressed " + record.type + " does not inflate to its " +
                                               std::to_string(length) + " bytes"));
        } else {
            record.data = std::move(raw);
        }
        record.subrecords = splitSubrecords(record.data, offset);
        return record;
    }

    Entry readGroup(size_t offset, size_t end, int depth) const {
        if (end - offset < 20) throw Tes4Error(at(offset, "group header cut off"));
        Entry group;
        group.isGroup = true;
        group.offset = offset;
        group.type = "GRUP";
        group.size = word(offset + 4);
        std::memcpy(group.label, &bytes[offset + 8], 4);
        group.groupType = word(offset + 12);
        group.stamp = word(offset + 16);
        if (group.size < 20) throw Tes4Error(at(offset, "group size below its header"));
        if (group.size > end - offset)
            throw Tes4Error(at(offset, "group of " + std::to_string(group.size) + " bytes runs past its parent"));
        if (depth > maxGroupDepth)
            throw Tes4Error(at(offset, "groups nested more than " + std::to_string(maxGroupDepth) + " deep"));
        group.children = readEntries(offset + 20, offset + group.size, depth);
        return group;
    }

    // Entries inside `depth` groups.
    std::vector<Entry> readEntries(size_t offset, size_t end, int depth) const {
        std::vector<Entry> entries;
        while (offset < end) {
            if (end - offset < 4) throw Tes4Error(at(offset, "header cut off"));
            bool isGroup = std::memcmp(&bytes[offset], "GRUP", 4) == 0;
            Entry entry = isGroup ? readGroup(offset, end, depth + 1) : readRecord(offset, end);
            offset += isGroup ? entry.size : 20 + entry.size;
            entries.push_back(std::move(entry));
        }
        return entries;
    }
};

void collect(const std::vector<Entry>& entries, const std::string& type, std::vector<const Entry*>& out) {
    for (const Entry& entry : entries) {
        if (entry.isGroup)
            collect(entry.children, type, out);
        else if (entry.type == type)
            out.push_back(&entry);
    }
}

}  // namespace

uint32_t u32(const Bytes& data, size_t offset) {
    if (offset + 4 > data.size()) throw Tes4Error("read of 4 bytes past the end at " + std::to_string(offset));
    return data[offset] | (data[offset + 1] << 8) | (data[offset + 2] << 16) |
           (static_cast<uint32_t>(data[offset + 3]) << 24);
}

uint16_t u16(const Bytes& data, size_t offset) {
    if (offset + 2 > data.size()) throw Tes4Error("read of 2 bytes past the end at " + std::to_string(offset));
    return static_cast<uint16_t>(data[offset] | (data[offset + 1] << 8));
}

float f32(const Bytes& data, size_t offset) {
    uint32_t bits = u32(data, offset);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

uint32_t Entry::labelValue() const {
    return label[0] | (label[1] << 8) | (label[2] << 16) | (static_cast<uint32_t>(label[3]) << 24);
}

const Subrecord* Entry::find(const std::string& subType) const {
    for (const Subrecord& sub : subrecords)
        if (sub.type == subType) return &sub;
    return nullptr;
}

std::vector<const Entry*> File::records(const std::string& type) const {
    std::vector<const Entry*> out;
    collect(groups, type, out);
    return out;
}

std::vector<const Entry*> File::topGroups(const std::string& label) const {
    std::vector<const Entry*> out;
    for (const Entry& group : groups)
        if (group.labelText() == label) out.push_back(&group);
    return out;
}

File readPlugin(const Bytes& bytes) {
    Reader reader{bytes};
    File file;
    file.size = bytes.size();
    if (bytes.size() < 20 || std::memcmp(bytes.data(), "TES4", 4) != 0)
        throw Tes4Error("the file does not start with a TES4 record");
    file.header = reader.readRecord(0, bytes.size());
    size_t offset = 20 + file.header.size;
    for (Entry& entry : reader.readEntries(offset, bytes.size(), 0)) {
        if (!entry.isGroup) throw Tes4Error(at(entry.offset, entry.type + " record outside any group"));
        if (entry.groupType != 0) throw Tes4Error(at(entry.offset, "top-level group of type " +
                                                                       std::to_string(entry.groupType)));
        file.groups.push_back(std::move(entry));
    }
    return file;
}

void checkTopGroupTypes(const File& file) {
    for (const Entry& group : file.groups) {
        for (const Entry& child : group.children) {
            if (!child.isGroup && child.type != group.labelText())
                throw Tes4Error(at(child.offset, child.type + " record in the " + group.labelText() + " group"));
        }
    }
}

Bytes readFileBytes(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw std::runtime_error("cannot open " + path);
    Bytes bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

}  // namespace tes4
