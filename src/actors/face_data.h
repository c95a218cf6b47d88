// Ready-made face data: whole Oblivion NPC_ subrecords (hair, eyes,
// FaceGen values) that end every converted NPC's record, read from
// lfdat/<face name>Male.dat or lfdat/<face name>Female.dat.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "actors/race_table.h"
#include "run/run_state.h"

namespace landfer {

// At most this many bytes of a face-data file are used.
constexpr size_t maxFaceDataSize = 600;

// The face data for an NPC. A race of the table (`race` not null) reads
// its own file, which must exist. Any other race id, or none, first looks
// for a file named after the race id; without one it takes the Imperial
// face data of the same sex, as it gets the Imperial race. Either way the
// NPC (npcId) is named in a message saying that its race becomes Imperial.
std::vector<uint8_t> loadFaceData(RunState& run, const RaceRow* race, std::string_view npcId, std::string_view raceId,
                                  bool female);

}  // namespace landfer
