#include "esm/compression.h"

#include <zlib.h>

#include <cstring>
#include <new>

#include "esm/fatal_error.h"
#include "esm/plugin_writer.h"

namespace landfer {

int compressRecordData(const uint8_t* input, size_t inputLength, std::vector<uint8_t>& output,
                       int level, FILE* messages) {
    output.clear();
    if (inputLength > 0xFFFFFFFFu) return -1;
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (int result = deflateInit(&stream, level); result != Z_OK) {
        if (result == Z_MEM_ERROR) throw std::bad_alloc();
        std::fprintf(messages, "deflateInit failed: %s\n", systemErrorText().c_str());
        return -1;
    }
    output.resize(deflateBound(&stream, static_cast<uLong>(inputLength)));
    stream.next_in = const_cast<Bytef*>(input);
    stream.avail_in = static_cast<uInt>(inputLength);
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    int result = deflate(&stream, Z_FINISH);
    size_t produced = stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        output.clear();
        return -1;
    }
    output.resize(produced);
    return 0;
}

RecordBody makeCompressedBody(const std::vector<uint8_t>& data, FILE* messages) {
    RecordBody body;
    std::vector<uint8_t> stream;
    if (compressRecordData(data.data(), data.size(), stream, 9, messages) != 0) {
        body.bytes = data;
        return body;
    }
    body.compressed = true;
    body.bytes.reserve(stream.size() + 4);
    uint32_t length = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) body.bytes.push_back(static_cast<uint8_t>(length >> (8 * i)));
    body.bytes.insert(body.bytes.end(), stream.begin(), stream.end());
    return body;
}

struct RecordCompressor::Stream {
    z_stream z;
};

RecordCompressor::~RecordCompressor() {
    if (stream_ != nullptr) deflateEnd(&stream_->z);
    delete stream_;
}

void RecordCompressor::makeBody(const uint8_t* data, size_t length, FILE* messages, RecordBody& body) {
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
            std::fprintf(messages, "deflateInit failed: %s\n", systemErrorText().c_str());
            body.bytes.assign(data, data + length);
            return;
        }
        stream_ = stream;
    } else {
        deflateReset(&stream_->z);
    }
    z_stream& z = stream_->z;
    body.bytes.resize(4 + deflateBound(&z, static_cast<uLong>(length)));
    uint32_t plainLength = static_cast<uint32_t>(length);
    for (int i = 0; i < 4; ++i) body.bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(plainLength >> (8 * i));
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(length);
    z.next_out = body.bytes.data() + 4;
    z.avail_out = static_cast<uInt>(body.bytes.size() - 4);
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) {
        body.bytes.assign(data, data + length);
        return;
    }
    body.bytes.resize(4 + z.total_out);
    body.compressed = true;
}

void writeRecordBody(ByteSink& out, int32_t& nextFormId, std::string_view type, const RecordBody& body,
                     uint8_t modIndex) {
    writeTypeAndSize(out, type, static_cast<uint32_t>(body.bytes.size()));
    if (body.compressed)
        writeCompressedRecordTail(out, nextFormId, modIndex);
    else
        writeRecordTail(out, nextFormId, 0);
    out.write(body.bytes.data(), body.bytes.size());
}

}  // namespace landfer
