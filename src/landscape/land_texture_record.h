// A Morrowind LTEX record as the land converter reads it: its id (NAME),
// its index (INTV; the texture number land records use is the index + 1)
// and the texture file it names (DATA), each only where it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "esm/record_reader.h"

namespace landfer {

struct MorrowindLandTexture {
    std::string id;
    std::optional<uint32_t> index;
    std::optional<std::string> fileName;
};

// Raises MalformedRecord for an INTV too short to hold the index.
MorrowindLandTexture readLandTexture(RecordData record);

}  // namespace landfer
