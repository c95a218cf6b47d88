#include "services/converted_ids.h"

#include "esm/byte_order.h"

namespace landfer {

void ConvertedIdIndex::add(std::string_view id, uint32_t formId) { formIds_.emplace(foldedCase(id), formId); }

bool ConvertedIdIndex::find(std::string_view id, uint32_t& formId) const {
    auto found = formIds_.find(foldedCase(id));
    if (found == formIds_.end()) return false;
    formId = found->second;
    return true;
}

}  // namespace landfer
