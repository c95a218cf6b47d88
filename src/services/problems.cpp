#include "services/problems.h"

#include <functional>
#include <utility>

#include "esm/fatal_error.h"

namespace landfer {

void Problems::enterRecord(std::string_view file, int64_t offset, const uint8_t* bytes, size_t size) {
    file_.assign(file.data(), file.size());
    offset_ = offset;
    bytes_ = bytes;
    size_ = size;
}

void Problems::leaveRecord() {
    offset_ = -1;
    bytes_ = nullptr;
    size_ = 0;
}

void Problems::tellOversized(const OversizedSubrecord& problem, std::optional<LossKind> partLost) {
    Problem told = Problem::skipped(problem.recordType().view(), problem.editorId(), problem.what());
    if (partLost.has_value()) {
        told.kind = ProblemKind::loss;
        told.loss = partLost;
    }
    tell(std::move(told));
}

std::string Problems::placeOf(const uint8_t* at) const {
    if (offset_ < 0) return std::string();
    std::string place = formatText(" (record at byte %lld of %s", static_cast<long long>(offset_), file_.c_str());
    std::less_equal<const uint8_t*> notAfter;
    if (at != nullptr && bytes_ != nullptr && notAfter(bytes_, at) && notAfter(at, bytes_ + size_))
        place += formatText(", subrecord at byte %lld", static_cast<long long>(offset_ + (at - bytes_)));
    return place + ")";
}

std::string withPlace(std::string_view message, const std::string& place) {
    bool lineEnd = !message.empty() && message.back() == '\n';
    std::string text(message.substr(0, message.size() - (lineEnd ? 1 : 0)));
    return text + place + (lineEnd ? "\n" : "");
}

void Problems::tell(Problem problem) {
    // Only a problem of an input record has a place in the input: a lookup
    // file read at a record's first use is no part of it.
    std::string place = problem.recordType.empty() ? std::string() : placeOf(problem.at);
    std::string message = problem.message.empty() ? std::string() : withPlace(problem.message, place);
    if (problem.kind == ProblemKind::fatal) throw FatalError(message);
    if (!message.empty()) {
        if (problem.amongProgress)
            reporter_.progressText("%s", message.c_str());
        else
            reporter_.report("%s", message.c_str());
    }
    note(problem, message);
}

// A skipped record or a warning is listed by its type and id, with its
// message; a loss by its own kind.
void Problems::note(const Problem& problem, const std::string& message) {
    if (problem.loss.has_value()) {
        losses_.note(*problem.loss, problem.id, problem.count, problem.became);
        return;
    }
    std::string identifier = problem.recordType.empty() ? problem.id
                             : problem.id.empty()        ? problem.recordType + " without an editor ID"
                                                         : problem.recordType + " " + problem.id;
    std::string_view said = message;
    if (!said.empty() && said.back() == '\n') said.remove_suffix(1);
    losses_.note(problem.kind == ProblemKind::recordSkipped ? LossKind::skippedRecord : LossKind::warning,
                 withControlCharactersEscaped(identifier), problem.count, withControlCharactersEscaped(said));
}

}  // namespace landfer
