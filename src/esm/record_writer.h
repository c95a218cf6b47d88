// The one way a record of the output, or of a staging file, is written:
//
//   RecordWriter record(sink);
//   record.begin("BOOK", formIds);        // type, FormID (or where to take it), flags
//   record.text("EDID", editorId);
//   record.zeros("DATA", 10);
//   record.end();                          // or endCompressed(deflater)
//
// The record's data is held until it ends, then the 20-byte header with
// the data's size and the data go to the sink in one piece. A subrecord
// size is 16-bit: a subrecord of 65536 bytes or more raises
// OversizedSubrecord when the record ends (or the next subrecord starts)
// and nothing of the record is written. A writer is kept from record to
// record, so its storage is reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "esm/compression.h"
#include "esm/file_writer.h"
#include "esm/form_ids.h"
#include "esm/plugin_writer.h"
#include "esm/record_type.h"

namespace landfer {

class Deflater;

// A subrecord too large for its 16-bit size: the record cannot be written.
// what() is the message that tells it, naming the record, its editor ID
// and the subrecord.
class OversizedSubrecord : public std::runtime_error {
public:
    OversizedSubrecord(RecordType record, std::string editorId, RecordType subrecord, size_t size);
    RecordType recordType() const { return record_; }
    const std::string& editorId() const { return editorId_; }
    RecordType subrecordType() const { return subrecord_; }
    size_t size() const { return size_; }

private:
    RecordType record_;
    std::string editorId_;
    RecordType subrecord_;
    size_t size_;
};

// True when a subrecord of `length` bytes of data can be written.
constexpr bool subrecordFits(size_t length) { return length <= maxSubrecordSize; }

class RecordWriter {
public:
    explicit RecordWriter(ByteSink& out) : out_(&out) {}
    // A writer given its sink later, before its first record ends.
    RecordWriter() = default;
    // The sink of the records that end from now on.
    void writeTo(ByteSink& out) { out_ = &out; }

    // Starts a record, dropping what an unfinished one held.
    void begin(RecordType type, uint32_t formId, uint32_t flags = 0, uint32_t stamp = defaultStamp);
    // The same, its FormID taken from formIds only when it ends whole: a
    // record refused for an oversized subrecord takes none.
    void begin(RecordType type, FormIds& formIds, uint32_t flags = 0);
    // Subrecords that a record of `recordType` takes later (a quest's
    // stages, staged apart from it): they end without a header.
    void beginSubrecords(RecordType recordType, std::string_view editorId);
    // The editor ID an oversize error names; an EDID text names it unless this was given.
    void name(std::string_view editorId);

    // Subrecords, each with its 6-byte header.
    void text(RecordType type, std::string_view text);  // the text and a 0 byte
    void bytes(RecordType type, const void* data, size_t length);
    void zeros(RecordType type, size_t length);
    void uint8(RecordType type, uint8_t value);
    void uint16(RecordType type, uint16_t value);
    void uint32(RecordType type, uint32_t value);
    void int32(RecordType type, int32_t value) { uint32(type, static_cast<uint32_t>(value)); }
    void float32(RecordType type, float value);
    void formId(RecordType type, uint32_t formId) { uint32(type, formId); }
    // A subrecord whose data the caller appends (the append* helpers of
    // byte_order.h); its size is set when the next starts or the record ends.
    std::vector<uint8_t>& subrecord(RecordType type);
    // Whole subrecords laid out already, as staged.
    void subrecords(const void* data, size_t length);

    // The record's data so far, subrecord headers included.
    size_t dataSize() const { return data_.size(); }
    // The FormID of the record begun (taken at its end when it came from FormIds).
    uint32_t formId() const { return formId_; }

    // Raises OversizedSubrecord now when a subrecord is too large.
    void checkSizes() { closeSubrecord(); }
    // Writes the record; returns its FormID. Raises OversizedSubrecord,
    // writing nothing, when a subrecord is too large.
    uint32_t end();
    // Takes the FormID now, where it was to come from FormIds at the end:
    // a record ended later (compressed in the background) keeps its place
    // in the FormID order.
    void takeFormId();
    // Compresses the data where that makes it a body (the compressed flag
    // is then set), else it stays plain; end() writes it.
    void compress(Deflater& deflater);
    // The same with a given compressor (on the thread that owns it).
    void compressWith(RecordCompressor& compressor);
    // The same, then only what end() writes is kept, in storage of its
    // size: a record that waits long to be ended holds no more than that.
    void compressToKeep(RecordCompressor& compressor);

    // For a record whose data waits elsewhere until it is compressed: its
    // data so far (after checkSizes), storage of `length` bytes to read it
    // back into, and the freeing of all its storage (the record keeps its
    // type, FormID and flags).
    const std::vector<uint8_t>& data() const { return data_; }
    uint8_t* restoreData(size_t length);
    void releaseStorage();
    uint32_t endCompressed(Deflater& deflater) {
        compress(deflater);
        return end();
    }

private:
    void startSubrecord(RecordType type, size_t length);
    // Sets the size of the subrecord open for appending, if any.
    void closeSubrecord();

    ByteSink* out_ = nullptr;
    RecordType type_{"\0\0\0\0"};
    uint32_t formId_ = 0, flags_ = 0, stamp_ = defaultStamp;
    FormIds* formIds_ = nullptr;  // where the FormID comes from at the end
    bool headerless_ = false;
    std::string editorId_;
    bool named_ = false;
    std::vector<uint8_t> data_;
    size_t openSubrecord_ = 0;  // offset of the subrecord being appended to, +1 (0: none)
    bool compressed_ = false;
    RecordBody body_;
};

}  // namespace landfer
