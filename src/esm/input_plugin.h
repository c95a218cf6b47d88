// The input plugin, read record by record. Each record's header is checked
// against what is left of the file before anything is allocated for it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "esm/block_reader.h"

namespace landfer {

// A TES3 record header: type, data size, two 32-bit flag words.
constexpr size_t inputHeaderSize = 16;

// Whether the flags of the record header at `header` (inputHeaderSize
// bytes) mark the record deleted (0x20 in the second flag word).
bool hasDeletedFlag(const uint8_t* header);

class InputPlugin {
public:
    // Opens the file and checks that it is a TES3 plugin; raises FatalError otherwise.
    void open(const std::string& path);
    // Reads the next whole record (header and data) into record. Returns
    // false at the end of the input; raises FatalError for a record that
    // cannot be read whole.
    bool readRecord(std::vector<uint8_t>& record);
    // The same, but a record whose header `wanted` turns down is stepped
    // over: record then holds its header alone.
    bool readRecord(std::vector<uint8_t>& record, bool (*wanted)(const uint8_t* header));
    // The same, but only as many data bytes as `headSize` gives for the
    // header are read (all of a smaller record); the rest is stepped over.
    bool readRecordHead(std::vector<uint8_t>& record, size_t (*headSize)(const uint8_t* header));
    // Where the next record starts: its byte offset in the file.
    int64_t position() const { return file_.position(); }
    // The whole record that starts at `offset`, as readRecord reads it.
    void readRecordAt(int64_t offset, std::vector<uint8_t>& record);
    void close() { file_.close(); }
    const std::string& name() const { return name_; }
    // The file's length in bytes.
    int64_t size() const { return size_; }
    // The byte offset of the last record read, from the start of the file.
    int64_t recordOffset() const { return recordOffset_; }

private:
    // Reads the next header; false at the end of the input.
    bool readHeader(uint8_t header[]);
    void readData(std::vector<uint8_t>& record, const uint8_t header[], uint64_t dataSize);
    void skip(uint64_t bytes);

    BlockReader file_;
    std::string name_;
    int64_t size_ = 0;
    int64_t recordOffset_ = 0;
};

}  // namespace landfer
