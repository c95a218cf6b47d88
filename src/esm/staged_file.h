// Reading back a temporary file that the run itself wrote.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "esm/file_writer.h"

namespace landfer {

struct StagedFileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
// Closed however the scope is left, fatal errors included.
using StagedFile = std::unique_ptr<FILE, StagedFileCloser>;

// Copies exactly `length` bytes from `from` to the end of `to`. Fewer bytes
// than were written to it mean the file was damaged behind the run's back:
// fatal, so that no record is left with a size its contents do not fill.
void copyStagedBytes(FILE* from, const char* fromName, FileWriter& to, uint64_t length);

}  // namespace landfer
