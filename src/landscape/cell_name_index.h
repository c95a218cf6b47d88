// The converted cells by name (see ConvertedCells): a named Morrowind cell
// is listed with the FormIDs of the output cells made from it. A cell of a
// name met before (in any letter case) adds its cells to that name.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "services/converted_cells.h"

namespace landfer {

class CellNameIndex : public ConvertedCells {
public:
    void add(const std::string& name, const std::vector<uint32_t>& formIds);
    std::vector<uint32_t> withNamePrefix(std::string_view prefix) const override;

private:
    std::map<std::string, std::vector<uint32_t>> byName_;  // by the name in lower case
};

}  // namespace landfer
