// The one place where the problems of a run are told: each becomes its
// message (with where it is in the input), its entry in the list of losses
// (the report after the summary and the CSV of --report), or, when fatal,
// the FatalError that ends the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "esm/problem.h"
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
