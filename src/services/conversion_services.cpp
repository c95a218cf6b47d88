#include "services/conversion_services.h"

namespace landfer {

void ConversionServices::tellOversized(const OversizedSubrecord& problem, std::optional<LossKind> partLost) {
    Problem told = Problem::skipped(problem.recordType().view(), problem.editorId(), problem.what());
    if (partLost.has_value()) {
        told.kind = ProblemKind::loss;
        told.loss = partLost;
    }
    problems.tell(std::move(told));
}

}  // namespace landfer
