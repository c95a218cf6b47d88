// Compressed record data: the record carries the flag 0x00040000 and its
// data is the uncompressed length (32-bit) followed by a zlib stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "esm/file_writer.h"

namespace landfer {

// Deflates input into output (replacing its contents) at the given level.
// Returns 0 on success; -1 when zlib fails, after a message on `messages`
// for a failed initialisation. Memory zlib cannot have is std::bad_alloc,
// as anywhere else. output is sized to zlib's bound for the
// input, so the stream always fits.
int compressRecordData(const uint8_t* input, size_t inputLength, std::vector<uint8_t>& output,
                       int level, FILE* messages);

// What goes behind a record header: either the compressed form (length and
// stream) or, when compression failed, the plain data itself.
struct RecordBody {
    bool compressed = false;
    std::vector<uint8_t> bytes;
};

// Compresses at level 9; falls back to the plain data so nothing is lost.
RecordBody makeCompressedBody(const std::vector<uint8_t>& data, FILE* messages);

// One deflate stream used for record after record: deflateReset gives
// each record exactly the stream a fresh deflateInit would, without
// allocating and clearing the compression state every time.
class RecordCompressor {
public:
    RecordCompressor() = default;
    ~RecordCompressor();
    RecordCompressor(const RecordCompressor&) = delete;
    RecordCompressor& operator=(const RecordCompressor&) = delete;

    // As makeCompressedBody, into body (its storage is reused).
    void makeBody(const uint8_t* data, size_t length, FILE* messages, RecordBody& body);

private:
    struct Stream;
    Stream* stream_ = nullptr;
};

// Writes a record header (flag 0x00040000 when the body is compressed, a new
// FormID with high byte modIndex) and the body.
void writeRecordBody(ByteSink& out, int32_t& nextFormId, std::string_view type, const RecordBody& body,
                     uint8_t modIndex = 1);

}  // namespace landfer
