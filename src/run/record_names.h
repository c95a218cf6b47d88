// How a record that is skipped is named in its one message: its type and
// its editor ID, as far as the record lets it be read.
#pragma once

#include <string>

#include "esm/record_reader.h"
#include "services/morrowind_types.h"

namespace landfer {

// The editor ID of a record of this type, for a message: the text of its
// NAME (a response's INAM), a land's grid, or of an exterior cell without a
// name its grid, as "at grid (X, Y)"; "without an editor ID" when the
// record holds none that can be read. Control characters are escaped.
std::string recordEditorId(const MorrowindType& type, RecordData data);

}  // namespace landfer
