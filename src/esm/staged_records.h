// Records of one type that wait in a temporary file of the working
// directory until the output gets their one top group. The records are
// written (and take their FormIDs) when they are converted; only where
// they stand in the output waits.
#pragma once

#include <cstdint>
#include <string>

#include "esm/file_writer.h"
#include "esm/output_plugin.h"

namespace landfer {

class StagedRecords {
public:
    StagedRecords(const char* fileName, const char* label) : fileName_(fileName), label_(label) {}

    // The staging file, created at the first record. Each record written
    // to it is announced with recordWritten.
    FileWriter& file();
    void recordWritten() { ++records_; }
    uint64_t records() const { return records_; }

    // Closes the file and appends the top group of every staged record to
    // the output (nothing without a record).
    void copyInto(OutputPlugin& output);

private:
    std::string fileName_;
    const char* label_;
    FileWriter file_;
    uint64_t records_ = 0;
};

}  // namespace landfer
