#include "landscape/cell_name_index.h"

#include "esm/byte_order.h"

namespace landfer {

void CellNameIndex::add(const std::string& name, const std::vector<uint32_t>& formIds) {
    if (name.empty()) return;
    std::vector<uint32_t>& cells = byName_[foldedCase(name)];
    cells.insert(cells.end(), formIds.begin(), formIds.end());
}

std::vector<uint32_t> CellNameIndex::withNamePrefix(std::string_view prefix) const {
    std::vector<uint32_t> cells;
    if (prefix.empty()) return cells;
    const std::string key = foldedCase(prefix);
    for (auto at = byName_.lower_bound(key); at != byName_.end() && at->first.compare(0, key.size(), key) == 0; ++at)
        cells.insert(cells.end(), at->second.begin(), at->second.end());
    return cells;
}

}  // namespace landfer
