// Records of one type that wait in a temporary file of the working
// directory until the output gets their one top group. The records are
// written (and take their FormIDs) when they are converted; only where
// they stand in the output waits.
#pragma once

#include <cstdint>
#include <string>

#include "esm/file_writer.h"
#include "esm/output_plugin.h"
#include "esm/record_writer.h"

namespace landfer {

class StagedRecords {
public:
    StagedRecords(const char* fileName, RecordType label) : fileName_(fileName), label_(label) {}

    // Starts a record to stage, its FormID taken when it ends whole.
    RecordWriter& begin(RecordType type, FormIds& formIds) {
        writer_.begin(type, formIds);
        return writer_;
    }
    // Ends it, plain or compressed, into the staging file (created at the
    // first record); returns its FormID. Raises OversizedSubrecord before
    // anything is written or taken.
    uint32_t end();
    uint32_t endCompressed(Deflater& deflater);
    uint64_t records() const { return records_; }

    // Closes the file and appends the top group of every staged record to
    // the output (nothing without a record).
    void copyInto(OutputPlugin& output);

private:
    FileWriter& file();

    std::string fileName_;
    RecordType label_;
    FileWriter file_;
    RecordWriter writer_{file_};
    uint64_t records_ = 0;
};

}  // namespace landfer
