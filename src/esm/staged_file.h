// Reading back a temporary file that the run itself wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "esm/file_writer.h"
#include "esm/block_reader.h"

namespace landfer {

// Reads exactly `length` bytes from `from` into `into`. Fewer bytes than
// were written to it mean the file was damaged behind the run's back:
// fatal ("Unable to read from <file>"), so that no record is left with a
// size its contents do not fill.
void readStagedBytes(BlockReader& from, const char* fromName, void* into, size_t length);
// Copies exactly `length` bytes from `from` to the end of `to` (a file or memory), as readStagedBytes.
void copyStagedBytes(BlockReader& from, const char* fromName, ByteSink& to, uint64_t length);
// Moves to `offset` from the start (no seek when it is there already); a failure is fatal.
void seekStaged(BlockReader& from, const char* fromName, int64_t offset);

}  // namespace landfer
