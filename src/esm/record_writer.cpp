#include "esm/record_writer.h"

#include "esm/byte_order.h"
#include "esm/deflater.h"
#include "esm/fatal_error.h"

namespace landfer {

OversizedSubrecord::OversizedSubrecord(RecordType record, std::string editorId, RecordType subrecord, size_t size)
    : std::runtime_error(formatText("The %.4s record %s cannot be converted: its %.4s subrecord would hold %zu bytes, "
                                    "more than 65535. Ignoring!\n",
                                    record.data(), editorId.c_str(), subrecord.data(), size)),
      record_(record),
      editorId_(std::move(editorId)),
      subrecord_(subrecord),
      size_(size) {}

void RecordWriter::begin(RecordType type, uint32_t formId, uint32_t flags, uint32_t stamp) {
    type_ = type;
    formId_ = formId;
    flags_ = flags;
    stamp_ = stamp;
    formIds_ = nullptr;
    headerless_ = false;
    editorId_.clear();
    named_ = false;
    data_.clear();
    openSubrecord_ = 0;
    compressed_ = false;
}

void RecordWriter::begin(RecordType type, FormIds& formIds, uint32_t flags) {
    begin(type, 0, flags);
    formIds_ = &formIds;
}

void RecordWriter::beginSubrecords(RecordType recordType, std::string_view editorId) {
    begin(recordType, 0);
    headerless_ = true;
    name(editorId);
}

void RecordWriter::name(std::string_view editorId) {
    editorId_ = std::string(editorId);
    named_ = true;
}

void RecordWriter::closeSubrecord() {
    if (openSubrecord_ == 0) return;
    size_t start = openSubrecord_ - 1;
    openSubrecord_ = 0;
    size_t length = data_.size() - start - subrecordHeaderSize;
    if (!subrecordFits(length)) {
        RecordType type = RecordType::at(data_.data() + start);
        data_.resize(start);
        throw OversizedSubrecord(type_, editorId_, type, length);
    }
    storeUint16(data_.data() + start + 4, static_cast<uint16_t>(length));
}

std::vector<uint8_t>& RecordWriter::subrecord(RecordType type) {
    closeSubrecord();
    openSubrecord_ = data_.size() + 1;
    data_.insert(data_.end(), type.data(), type.data() + 4);
    appendUint16(data_, 0);
    return data_;
}

void RecordWriter::startSubrecord(RecordType type, size_t length) {
    closeSubrecord();
    if (!subrecordFits(length)) throw OversizedSubrecord(type_, editorId_, type, length);
    data_.insert(data_.end(), type.data(), type.data() + 4);
    appendUint16(data_, static_cast<uint32_t>(length));
}

void RecordWriter::text(RecordType type, std::string_view text) {
    if (type == RecordType("EDID") && !named_) editorId_ = std::string(text);
    startSubrecord(type, text.size() + 1);
    data_.insert(data_.end(), text.begin(), text.end());
    data_.push_back(0);
}

void RecordWriter::bytes(RecordType type, const void* data, size_t length) {
    startSubrecord(type, length);
    const uint8_t* first = static_cast<const uint8_t*>(data);
    data_.insert(data_.end(), first, first + length);
}

void RecordWriter::zeros(RecordType type, size_t length) {
    startSubrecord(type, length);
    data_.insert(data_.end(), length, 0);
}

void RecordWriter::uint8(RecordType type, uint8_t value) {
    startSubrecord(type, 1);
    data_.push_back(value);
}

void RecordWriter::uint16(RecordType type, uint16_t value) {
    startSubrecord(type, 2);
    appendUint16(data_, value);
}

void RecordWriter::uint32(RecordType type, uint32_t value) {
    startSubrecord(type, 4);
    appendUint32(data_, value);
}

void RecordWriter::float32(RecordType type, float value) { uint32(type, floatBits(value)); }

void RecordWriter::subrecords(const void* data, size_t length) {
    closeSubrecord();
    const uint8_t* first = static_cast<const uint8_t*>(data);
    data_.insert(data_.end(), first, first + length);
}

void RecordWriter::takeFormId() {
    if (formIds_ == nullptr) return;
    formId_ = formIds_->take();
    formIds_ = nullptr;
}

void RecordWriter::compress(Deflater& deflater) { compressWith(deflater.compressor()); }

void RecordWriter::compressWith(RecordCompressor& compressor) {
    closeSubrecord();
    compressor.makeBody(data_.data(), data_.size(), body_);
    compressed_ = body_.compressed;
}

void RecordWriter::compressToKeep(RecordCompressor& compressor) {
    compressWith(compressor);
    if (!compressed_) return;
    std::vector<uint8_t>().swap(data_);
    body_.bytes.shrink_to_fit();
}

uint8_t* RecordWriter::restoreData(size_t length) {
    openSubrecord_ = 0;
    data_.resize(length);
    return data_.data();
}

void RecordWriter::releaseStorage() {
    std::vector<uint8_t>().swap(data_);
    std::vector<uint8_t>().swap(body_.bytes);
}

uint32_t RecordWriter::end() {
    closeSubrecord();
    if (out_ == nullptr) fatal("Unable to write a %.4s record: its writer was given nowhere to write it.\n", type_.data());
    const std::vector<uint8_t>& data = compressed_ ? body_.bytes : data_;
    if (headerless_) {
        out_->write(data.data(), data.size());
        return 0;
    }
    takeFormId();
    uint32_t flags = compressed_ ? flags_ | compressedFlag : flags_;
    writeRecordHeader(*out_, type_, static_cast<uint32_t>(data.size()), flags, formId_, stamp_);
    out_->write(data.data(), data.size());
    return formId_;
}

}  // namespace landfer
