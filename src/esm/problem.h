// A problem met in a run: a fatal error, a record skipped, something lost
// or a warning. Whoever meets one describes it once and tells it to a
// ProblemSink; the sink makes of it the message, the entry in the list of
// losses and the line of the CSV, so that none is missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace landfer {

// What could not be carried over, by kind; the kinds are the services'.
enum class LossKind : int;

enum class ProblemKind {
    fatal,          // ends the run
    recordSkipped,  // an input record that gives nothing in the output
    loss,           // part of a record not carried over
    warning,        // carried over, but not as it was
};

struct Problem {
    ProblemKind kind = ProblemKind::warning;
    // The system's message, ending in a line break, exactly as the user
    // sees it but for where in the input it is, which the sink adds; empty
    // for a loss that only the list of losses tells.
    std::string message;
    std::string recordType;  // four characters, or empty when no record is concerned
    std::string id;          // the editor ID or grid, or what else is lost
    // The bytes in the record being read (a subrecord's header) where the
    // problem is, when known; the sink turns them into a byte offset.
    const uint8_t* at = nullptr;
    // How the list of losses counts it; a skipped record and a warning
    // have kinds of their own when none is given.
    std::optional<LossKind> loss;
    long count = 1;
    std::string became;  // what it became, where that differs within a kind
    // The few messages that stand among the progress characters.
    bool amongProgress = false;

    // A record that gives nothing in the output, and why.
    static Problem skipped(std::string_view type, std::string_view id, std::string message);
    // Part of a record not carried over, told in the list of losses.
    static Problem lost(LossKind kind, std::string_view id, long count = 1, std::string_view became = {});
    static Problem warned(std::string_view type, std::string_view id, std::string message);
    static Problem fatalError(std::string_view type, std::string_view id, std::string message);
    // The same problem with a message about a record of this type, with
    // the bytes where it is, or shown among the progress characters.
    Problem saying(std::string_view type, std::string text) &&;
    Problem placedAt(const uint8_t* where) &&;
    Problem amongTheProgress() &&;
};

// Where problems are told. A fatal problem is raised as a FatalError.
class ProblemSink {
public:
    virtual void tell(Problem problem) = 0;

protected:
    ~ProblemSink() = default;
};

}  // namespace landfer
