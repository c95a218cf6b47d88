// The input plugin, read record by record. Each record's header is checked
// against what is left of the file before anything is allocated for it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "esm/read_file.h"

namespace landfer {

// A TES3 record header: type, data size, two 32-bit flag words.
constexpr size_t inputHeaderSize = 16;

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
    void close() { file_.reset(); }

private:
    ReadFile file_;
    std::string name_;
    int64_t size_ = 0;
};

}  // namespace landfer
