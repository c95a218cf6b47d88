#include "esm/compression.h"

#include <zlib.h>

#include <cstring>
#include <new>

#include "esm/byte_order.h"
#include "esm/fatal_error.h"
#include "esm/plugin_writer.h"

namespace landfer {

struct RecordCompressor::Stream {
    z_stream z;
};

RecordCompressor::~RecordCompressor() {
    if (stream_ != nullptr) deflateEnd(&stream_->z);
    delete stream_;
}

void RecordCompressor::makeBody(const uint8_t* data, size_t length, const Reporter& reporter, RecordBody& body) {
    body.compressed = false;
    if (length > 0xFFFFFFFFu) {
        body.bytes.assign(data, data + length);
        return;
    }
    if (stream_ == nullptr) {
        Stream* stream = new Stream;
        std::memset(&stream->z, 0, sizeof stream->z);
        if (int result = deflateInit(&stream->z, 9); result != Z_OK) {
            delete stream;
            if (result == Z_MEM_ERROR) throw std::bad_alloc();
            reporter.report("deflateInit failed: %s\n", systemErrorText().c_str());
            body.bytes.assign(data, data + length);
            return;
        }
        stream_ = stream;
    } else {
        deflateReset(&stream_->z);
    }
    z_stream& z = stream_->z;
    body.bytes.resize(plainLengthSize + deflateBound(&z, static_cast<uLong>(length)));
    storeUint32(body.bytes.data(), static_cast<uint32_t>(length));
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(length);
    z.next_out = body.bytes.data() + plainLengthSize;
    z.avail_out = static_cast<uInt>(body.bytes.size() - plainLengthSize);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) {
        body.bytes.assign(data, data + length);
        return;
    }
    body.bytes.resize(plainLengthSize + z.total_out);
    body.compressed = true;
}

void writeRecordBody(ByteSink& out, uint32_t formId, std::string_view type, const RecordBody& body) {
    writeRecordHeader(out, type, static_cast<uint32_t>(body.bytes.size()), body.compressed ? compressedFlag : 0, formId);
    out.write(body.bytes.data(), body.bytes.size());
}

}  // namespace landfer
