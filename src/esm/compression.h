// Compressed record data: the record carries the flag 0x00040000 and its
// data is the uncompressed length (32-bit) followed by a zlib stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "esm/file_writer.h"

struct libdeflate_compressor;

namespace landfer {

// The uncompressed length before the stream.
constexpr size_t plainLengthSize = 4;

// What goes behind a record header: either the compressed form (length and
// stream) or, when compression failed, the plain data itself.
struct RecordBody {
    bool compressed = false;
    std::vector<uint8_t> bytes;
};

// One record of a batch to compress: its data and the body made of it.
struct CompressionJob {
    const std::vector<uint8_t>* data;
    RecordBody* body;
};

// One libdeflate compressor used for record after record, made at the
// first record and kept for the run (each thread has its own). It keeps no
// state from one record to the next: each body is exactly what a fresh
// compressor makes. libdeflate writes standard zlib streams (RFC 1950),
// which zlib and so the game inflate.
class RecordCompressor {
public:
    // The level: the fastest whose output is no larger than zlib's level 9
    // (measured on generated provinces and real plugins, see the README).
    static constexpr int level = 5;

    RecordCompressor() = default;
    ~RecordCompressor();
    RecordCompressor(const RecordCompressor&) = delete;
    RecordCompressor& operator=(const RecordCompressor&) = delete;

    // Compresses into body (its storage is reused); falls back to the
    // plain data when the stream would not fit, so nothing is lost. Memory
    // that cannot be had is std::bad_alloc, as anywhere else.
    void makeBody(const uint8_t* data, size_t length, RecordBody& body);

private:
    libdeflate_compressor* compressor_ = nullptr;
};

}  // namespace landfer
