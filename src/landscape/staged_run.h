// Runs of whole records in a staging file (the world's, the interiors'):
// staged as they are made, copied into the output in the order it needs.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "esm/output_plugin.h"
#include "esm/staging_file.h"

namespace landfer {

// A run of whole records in a staging file: where it starts, its length
// and how many records it holds.
struct StagedRun {
    int64_t offset = 0;
    uint64_t length = 0;
    uint32_t records = 0;
};

// Appends the records to the staging file (made at the first run).
StagedRun stageRun(StagingFile& file, const std::vector<uint8_t>& records, uint32_t count);
// Copies a run from the staging file, read back, to the output.
void copyRun(BlockReader& staged, const std::string& name, const StagedRun& run, OutputPlugin& output);

// A group label holding a record's FormID.
std::array<uint8_t, 4> formIdLabel(uint32_t formId);

}  // namespace landfer
