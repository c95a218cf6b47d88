// The Oblivion item that takes the place of a Morrowind inventory item.
//
// The mapping lives in text files in the lookup directory, searched in the
// order armour.dat, clothing.dat, weapons.dat and misc.dat (everything
// else; it may be missing, which counts as empty). Each line is
//   morrowind id,free text,free text,FORMID
// with the Oblivion FormID as eight hexadecimal digits right after the
// third comma; anything behind them is ignored. Ids match whole and
// case-sensitively; the first matching line wins.
#pragma once

#include <cstdint>
#include <string_view>

#include "run/run_state.h"

namespace landfer {

// True and the FormID when a lookup file holds itemId. One of the first
// three files that cannot be opened is fatal; a later file is opened only when no earlier one held
// the id.
bool lookupInventoryItem(RunState& run, std::string_view itemId, uint32_t& formIdOut);

}  // namespace landfer
