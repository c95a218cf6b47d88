// Reading back a temporary file that the run itself wrote.
#pragma once

#include <cstdint>
#include <cstdio>

#include "esm/file_writer.h"
#include "esm/read_file.h"

namespace landfer {

// Copies exactly `length` bytes from `from` to the end of `to`. Fewer bytes
// than were written to it mean the file was damaged behind the run's back:
// fatal, so that no record is left with a size its contents do not fill.
void copyStagedBytes(FILE* from, const char* fromName, ByteSink& to, uint64_t length);

}  // namespace landfer
