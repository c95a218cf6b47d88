// Compressed record data: the record carries the flag 0x00040000 and its
// data is the uncompressed length (32-bit) followed by a zlib stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "esm/file_writer.h"
#include "esm/reporter.h"

namespace landfer {

// The uncompressed length before the stream.
constexpr size_t plainLengthSize = 4;

// What goes behind a record header: either the compressed form (length and
// stream) or, when compression failed, the plain data itself.
struct RecordBody {
    bool compressed = false;
    std::vector<uint8_t> bytes;
};

// One deflate stream used for record after record: deflateReset gives
// each record exactly the stream a fresh deflateInit would, without
// allocating and clearing the compression state every time.
class RecordCompressor {
public:
    RecordCompressor() = default;
    ~RecordCompressor();
    RecordCompressor(const RecordCompressor&) = delete;
    RecordCompressor& operator=(const RecordCompressor&) = delete;

    // Compresses at level 9 into body (its storage is reused); falls back
    // to the plain data when zlib fails, so nothing is lost. Memory zlib
    // cannot have is std::bad_alloc, as anywhere else.
    void makeBody(const uint8_t* data, size_t length, const Reporter& reporter, RecordBody& body);

private:
    struct Stream;
    Stream* stream_ = nullptr;
};

// Writes a record header (flag 0x00040000 when the body is compressed) and the body.
void writeRecordBody(ByteSink& out, uint32_t formId, std::string_view type, const RecordBody& body);

}  // namespace landfer
