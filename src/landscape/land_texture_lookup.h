// Land textures: each Morrowind LTEX record names a texture file; the
// lookup file "ltex.dat" maps that file name to an Oblivion land texture.
// Land records name textures by number: the LTEX index (INTV) + 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "esm/record_reader.h"
#include "landscape/landscape.h"

namespace landfer {

}  // namespace landfer
