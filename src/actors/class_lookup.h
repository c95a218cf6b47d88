// The Oblivion class of a Morrowind NPC, from lfdat/classes.dat.
//
// One entry per line: the Morrowind class id, a comma, the Oblivion class
// FormID as eight hexadecimal digits; the rest of the line is ignored. The
// file is read as binary, so a carriage return before the line feed is
// simply part of that ignored rest.
#pragma once

#include <cstdint>
#include <string_view>

#include "run/run_state.h"

namespace landfer {

// Commoner, for class ids the file does not hold.
constexpr uint32_t defaultClassFormId = 0x00023C0D;

// The FormID of the first line whose class id equals classId (exactly,
// case-sensitive), or the default class. Malformed lines are reported and
// take no part. A missing file is fatal. `found`, when given, tells
// whether a line matched.
uint32_t lookupClass(RunState& run, std::string_view classId, bool* found = nullptr);

}  // namespace landfer
