// The masters a TES3 file names in its header record (TES3): one MAST
// subrecord (the file name) per master, each followed by a DATA (its size),
// in load order. A reference's FRMR names the N-th of them in its high byte.
#pragma once

#include <string>
#include <vector>

#include "esm/record_reader.h"

namespace landfer {

// The MAST file names of a TES3 header record's data, in order.
std::vector<std::string> readMasterList(RecordData header);

// The MAST list of a TES3 file's header record; empty when the file has
// no readable header (the pass over the input reports its faults).
std::vector<std::string> readPluginMasterList(const std::string& path);

// The file name of a path: what follows its last "/" or "\".
std::string fileNameOf(const std::string& path);

}  // namespace landfer
