// The layout of a LAND record as Oblivion's tools write one: DATA, VNML,
// VHGT, an optional VCLR, then the texture layers of each quadrant in
// ascending order: its base texture (BTXT), then at most eight ATXT/VTXT
// pairs numbered 0, 1, ... in file order, none naming FormID 0.
#pragma once

#include <string>

#include "tes4_reader.h"

namespace inspect {

// The first departure from that layout, or an empty text.
std::string landLayoutProblem(const tes4::Entry& land);

}  // namespace inspect
