// Records of one type that wait in a staging file of the run until the
// output gets their one top group. The records are written (and take their
// FormIDs) when they are converted; only where they stand in the output
// waits.
#pragma once

#include <cstdint>
#include <string>

#include "esm/staging_file.h"
#include "esm/output_plugin.h"
#include "esm/record_writer.h"

namespace landfer {

class StagedRecords {
public:
    StagedRecords(std::string path, RecordType label) : staging_(std::move(path)), label_(label) {}

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
    StagingFile staging_;
    RecordType label_;
    RecordWriter writer_;
    uint64_t records_ = 0;
};

}  // namespace landfer
