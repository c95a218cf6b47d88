// A file where one part of the run keeps what waits for its place in the
// output: created at the first write, appended to, then read back once
// from its start. Every failure is fatal and names the file.
#pragma once

#include <string>

#include "esm/file_writer.h"
#include "esm/block_reader.h"

namespace landfer {

class StagingFile {
public:
    explicit StagingFile(std::string path) : path_(std::move(path)) {}

    // The file to append to, created at the first call.
    FileWriter& append();
    bool isOpen() const { return writer_.isOpen(); }
    // What has been written so far, in bytes.
    int64_t length() { return writer_.isOpen() ? writer_.position() : 0; }
    // Closes what was written and opens it for reading from its start.
    BlockReader readBack();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    FileWriter writer_;
};

}  // namespace landfer
