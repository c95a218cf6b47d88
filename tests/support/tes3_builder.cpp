#include "tes3_builder.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tes3 {

namespace {
void appendUint32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void appendType(Bytes& out, std::string_view type) {
    for (size_t i = 0; i < 4; ++i) out.push_back(i < type.size() ? static_cast<uint8_t>(type[i]) : 0);
}
}  // namespace

Bytes int32s(std::initializer_list<int32_t> values) {
    Bytes out;
    for (int32_t value : values) appendUint32(out, static_cast<uint32_t>(value));
    return out;
}

Bytes floats(std::initializer_list<float> values) {
    Bytes out;
    for (float value : values) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        appendUint32(out, bits);
    }
    return out;
}

Bytes text(std::string_view value) { return Bytes(value.begin(), value.end()); }

Bytes ztext(std::string_view value) {
    Bytes out = text(value);
    out.push_back(0);
    return out;
}

Record::Record(std::string_view type, uint32_t flags) : type_(type), flags_(flags) {}

Record& Record::sub(std::string_view type, const Bytes& data) {
    appendType(data_, type);
    appendUint32(data_, static_cast<uint32_t>(data.size()));
    data_.insert(data_.end(), data.begin(), data.end());
    return *this;
}

Record& Record::ztext(std::string_view type, std::string_view value) { return sub(type, tes3::ztext(value)); }

Record& Record::raw(const Bytes& bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}

Record& Record::declareSize(uint32_t size) {
    sizeOverridden_ = true;
    declaredSize_ = size;
    return *this;
}

Bytes Record::bytes() const {
    Bytes out;
    appendType(out, type_);
    appendUint32(out, sizeOverridden_ ? declaredSize_ : static_cast<uint32_t>(data_.size()));
    appendUint32(out, 0);
    appendUint32(out, flags_);
    out.insert(out.end(), data_.begin(), data_.end());
    return out;
}

Plugin::Plugin(bool withHeader) {
    if (withHeader) add(headerRecord());
}

Plugin& Plugin::add(const Record& record) {
    offsets_.push_back(bytes_.size());
    Bytes bytes = record.bytes();
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

Plugin& Plugin::raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

void Plugin::save(const std::string& path) const {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot create " + path);
    bool ok = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) throw std::runtime_error("cannot write " + path);
}

Record headerRecord(std::string_view author, std::string_view description, const std::vector<std::string>& masters) {
    // HEDR: version 1.3, file type 0 (plugin), author (32 bytes),
    // description (256 bytes), number of records.
    Bytes hedr = floats({1.3f});
    Bytes fileType = int32s({0});
    hedr.insert(hedr.end(), fileType.begin(), fileType.end());
    Bytes authorField(32, 0), descriptionField(256, 0);
    std::memcpy(authorField.data(), author.data(), author.size() < 31 ? author.size() : 31);
    std::memcpy(descriptionField.data(), description.data(), description.size() < 255 ? description.size() : 255);
    hedr.insert(hedr.end(), authorField.begin(), authorField.end());
    hedr.insert(hedr.end(), descriptionField.begin(), descriptionField.end());
    Bytes count = int32s({0});
    hedr.insert(hedr.end(), count.begin(), count.end());
    Record header("TES3");
    header.sub("HEDR", hedr);
    for (const std::string& master : masters) header.ztext("MAST", master).sub("DATA", Bytes(8, 0));
    return header;
}

Record global(std::string_view name, char type, float value) {
    Record record("GLOB");
    record.ztext("NAME", name).sub("FNAM", Bytes{static_cast<uint8_t>(type)}).sub("FLTV", floats({value}));
    return record;
}

Record book(std::string_view id, std::string_view name, std::string_view bookText) {
    // BKDT: weight, value, scroll flag, skill id, enchantment points.
    Bytes bkdt = floats({1.0f});
    Bytes rest = int32s({25, 0, -1, 100});
    bkdt.insert(bkdt.end(), rest.begin(), rest.end());
    Record record("BOOK");
    record.ztext("NAME", id)
        .ztext("MODL", "m\\Text_Octavo_08.nif")
        .ztext("FNAM", name)
        .sub("BKDT", bkdt)
        .ztext("ITEX", "m\\Tx_book_04.tga")
        .sub("TEXT", text(bookText));
    return record;
}

Record topic(std::string_view name, uint8_t topicType) {
    Record record("DIAL");
    record.ztext("NAME", name).sub("DATA", Bytes{topicType});
    return record;
}

Record response(std::string_view id, std::string_view responseText, int32_t journalIndex) {
    // DATA: dialogue type (4 = journal) and padding, the journal index (or
    // disposition), rank, sex, PC rank and padding.
    Bytes data = int32s({4, journalIndex});
    Bytes rest = {0xFF, 0xFF, 0xFF, 0};
    data.insert(data.end(), rest.begin(), rest.end());
    Record record("INFO");
    record.ztext("INAM", id).ztext("PNAM", "").ztext("NNAM", "").sub("DATA", data).sub("NAME", text(responseText));
    return record;
}

Record plainRecord(std::string_view type, std::string_view id) {
    Record record(type);
    record.ztext("NAME", id);
    return record;
}

Bytes placedReference(std::string_view baseId, float x, float y, float z, const Bytes& extra) {
    Record reference("FRMR");
    reference.sub("FRMR", int32s({1})).ztext("NAME", baseId).raw(extra);
    reference.sub("DATA", floats({x, y, z, 0.1f, 0.2f, 0.3f}));
    return reference.data();
}

}  // namespace tes3
