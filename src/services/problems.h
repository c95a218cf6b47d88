// The one place where the problems of a run are told: each becomes its
// message (with where it is in the input), its entry in the list of losses
// (the report after the summary and the CSV of --report), or, when fatal,
// the FatalError that ends the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <optional>
#include <string_view>

#include "esm/problem.h"
#include "esm/record_writer.h"
#include "esm/reporter.h"
#include "services/losses.h"

namespace landfer {

class Problems final : public ProblemSink {
public:
    Problems(const Reporter& reporter, Losses& losses) : reporter_(reporter), losses_(losses) {}
    Problems(const Problems&) = delete;
    Problems& operator=(const Problems&) = delete;

    // The input record being read, whole (header and data), and where it
    // starts in its file: the problems told about a record until
    // leaveRecord() are placed in it.
    void enterRecord(std::string_view file, int64_t offset, const uint8_t* bytes, size_t size);
    void leaveRecord();

    void tell(Problem problem) override;
    // A record holding a subrecord of 65536 bytes or more cannot be written
    // (subrecord sizes are 16-bit). Tells it, naming the record type and
    // editor ID, as a skipped record or, where only a part of the record
    // is lost, as a loss of that kind.
    void tellOversized(const OversizedSubrecord& problem, std::optional<LossKind> partLost = std::nullopt);

    // The tallies beside the problems told (the land texture squares), and
    // the reporter, for the progress shown among the messages.
    Losses& losses() { return losses_; }
    const Reporter& reporter() const { return reporter_; }

    // Where in the input a problem at these bytes of the current record is,
    // as it follows a message: " (record at byte N of FILE[, subrecord at
    // byte M])"; empty outside a record.
    std::string placeOf(const uint8_t* at) const;

private:
    const Reporter& reporter_;
    Losses& losses_;
    std::string file_;
    int64_t offset_ = -1;
    const uint8_t* bytes_ = nullptr;
    size_t size_ = 0;

    void note(const Problem& problem, const std::string& message);
};

// A message with where it is put before its closing line break.
std::string withPlace(std::string_view message, const std::string& place);

}  // namespace landfer
