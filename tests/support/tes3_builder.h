// Builds TES3 (Morrowind) plugins from code: records of subrecords, each
// subrecord a 4-character type, a 32-bit size and its data. Used by the
// tests and by the sample plugin generator. Nothing is validated, so
// malformed inputs can be built just as easily.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tes3 {

using Bytes = std::vector<uint8_t>;

Bytes int32s(std::initializer_list<int32_t> values);
Bytes floats(std::initializer_list<float> values);
Bytes text(std::string_view value);   // without a 0 byte
Bytes ztext(std::string_view value);  // with its 0 byte

class Record {
public:
    explicit Record(std::string_view type, uint32_t flags = 0);

    // A subrecord with the given data.
    Record& sub(std::string_view type, const Bytes& data);
    // A subrecord holding a text and its 0 byte.
    Record& ztext(std::string_view type, std::string_view value);
    // Bytes appended to the record data as they are (for broken subrecords).
    Record& raw(const Bytes& bytes);

    const std::string& type() const { return type_; }
    const Bytes& data() const { return data_; }
    // Header (with the real data size unless overridden) and data.
    Bytes bytes() const;
    // Writes a data size into the header other than the real one.
    Record& declareSize(uint32_t size);

private:
    std::string type_;
    uint32_t flags_;
    Bytes data_;
    bool sizeOverridden_ = false;
    uint32_t declaredSize_ = 0;
};

class Plugin {
public:
    // Starts with a TES3 header record unless asked not to.
    explicit Plugin(bool withHeader = true);
    Plugin& add(const Record& record);
    Plugin& raw(const Bytes& bytes);
    const Bytes& bytes() const { return bytes_; }
    // Offsets at which each record starts.
    const std::vector<size_t>& recordOffsets() const { return offsets_; }
    void save(const std::string& path) const;

private:
    Bytes bytes_;
    std::vector<size_t> offsets_;
};

// The TES3 header record of a plugin, naming its masters (MAST, DATA) in load order.
Record headerRecord(std::string_view author = "Landfer tests", std::string_view description = "",
                    const std::vector<std::string>& masters = {"Morrowind.esm"});
// Common records.
Record global(std::string_view name, char type, float value);
Record book(std::string_view id, std::string_view name, std::string_view bookText);
// A dialogue topic (type 4 is a journal) and one of its responses, whose
// journal index is 32-bit at offset 4 of DATA.
Record topic(std::string_view name, uint8_t topicType);
Record response(std::string_view id, std::string_view responseText, int32_t journalIndex);
Record plainRecord(std::string_view type, std::string_view id);
// A reference of a cell (its FRMR up to its DATA, for Record::raw): base
// id, position, rotation (0.1, 0.2, 0.3) and the subrecords given before DATA.
Bytes placedReference(std::string_view baseId, float x, float y, float z, const Bytes& extra = {});

}  // namespace tes3
