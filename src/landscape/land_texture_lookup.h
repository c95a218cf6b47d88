// Land textures: each Morrowind LTEX record names a texture file; the
// lookup file "ltex.dat" maps that file name to an Oblivion land texture.
// Land records name textures by number: the LTEX index (INTV) + 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/record_reader.h"
#include "run/run_state.h"

namespace landfer {

int handleLandTexture(RunState& run, RecordData record);

// Looks a texture file name up in "<lookupDirectory>/ltex.dat": the first
// line naming it exactly, else the first naming it in other letter case.
bool lookupLtexFile(RunState& run, std::string_view textureFileName, uint32_t& formId);

// Eight hexadecimal digits, most significant first; false for anything else.
bool parseHexFormId(std::string_view text, uint32_t& formId);

// The FormID of a texture number, 0 when it has none.
uint32_t findLandTextureFormId(const RunState& run, uint32_t textureNumber);

}  // namespace landfer
