// The cells of the output by the name of the Morrowind cell they were made
// from, for what refers to cells by name (a response said only in some
// cells): the four quad cells of a named exterior cell, the one cell of an
// interior. The landscape's cell index keeps them; the run hands them to
// the others, which see no more of the landscape than this.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace landfer {

class ConvertedCells {
public:
    virtual ~ConvertedCells() = default;
    // The FormIDs of the output cells of every converted Morrowind cell
    // whose name begins with `prefix`, without regard to letter case, in
    // the order of the names; none for an empty prefix.
    virtual std::vector<uint32_t> withNamePrefix(std::string_view prefix) const = 0;
};

}  // namespace landfer
