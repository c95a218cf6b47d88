#include "esm/problem.h"

#include <utility>

namespace landfer {

namespace {

Problem described(ProblemKind kind, std::string_view type, std::string_view id, std::string message) {
    Problem problem;
    problem.kind = kind;
    problem.recordType = std::string(type);
    problem.id = std::string(id);
    problem.message = std::move(message);
    return problem;
}

}  // namespace

Problem Problem::skipped(std::string_view type, std::string_view id, std::string message) {
    return described(ProblemKind::recordSkipped, type, id, std::move(message));
}

Problem Problem::warned(std::string_view type, std::string_view id, std::string message) {
    return described(ProblemKind::warning, type, id, std::move(message));
}

Problem Problem::fatalError(std::string_view type, std::string_view id, std::string message) {
    return described(ProblemKind::fatal, type, id, std::move(message));
}

Problem Problem::lost(LossKind kind, std::string_view id, long count, std::string_view became) {
    Problem problem = described(ProblemKind::loss, {}, id, {});
    problem.loss = kind;
    problem.count = count;
    problem.became = std::string(became);
    return problem;
}

Problem Problem::saying(std::string_view type, std::string text) && {
    recordType = std::string(type);
    message = std::move(text);
    return std::move(*this);
}

Problem Problem::placedAt(const uint8_t* where) && {
    at = where;
    return std::move(*this);
}

Problem Problem::amongTheProgress() && {
    amongProgress = true;
    return std::move(*this);
}

}  // namespace landfer
