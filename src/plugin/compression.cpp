#include "plugin/compression.h"

#include <zlib.h>

#include <cstring>

#include "plugin/fatal_error.h"
#include "plugin/plugin_writer.h"

namespace landfer {

int compressRecordData(const uint8_t* input, size_t inputLength, std::vector<uint8_t>& output,
                       int level, FILE* messages) {
    output.clear();
    if (inputLength > 0xFFFFFFFFu) return -1;
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (deflateInit(&stream, level) != Z_OK) {
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
