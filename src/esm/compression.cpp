#include "esm/compression.h"

#include <libdeflate.h>

#include <new>

#include "esm/byte_order.h"

namespace landfer {

RecordCompressor::~RecordCompressor() { libdeflate_free_compressor(compressor_); }

void RecordCompressor::makeBody(const uint8_t* data, size_t length, RecordBody& body) {
    body.compressed = false;
    if (length > 0xFFFFFFFFu) {
        body.bytes.assign(data, data + length);
        return;
    }
    if (compressor_ == nullptr) {
        // The level is valid, so no compressor means no memory for it.
        compressor_ = libdeflate_alloc_compressor(level);
        if (compressor_ == nullptr) throw std::bad_alloc();
    }
    body.bytes.resize(plainLengthSize + libdeflate_zlib_compress_bound(compressor_, length));
    storeUint32(body.bytes.data(), static_cast<uint32_t>(length));
    size_t streamLength = libdeflate_zlib_compress(compressor_, data, length, body.bytes.data() + plainLengthSize,
                                                   body.bytes.size() - plainLengthSize);
    if (streamLength == 0) {
        body.bytes.assign(data, data + length);
        return;
    }
    body.bytes.resize(plainLengthSize + streamLength);
    body.compressed = true;
}

}  // namespace landfer
