// The ten Morrowind races and what an Oblivion NPC of that race gets: the
// race FormID of Oblivion.esm, the skeleton model and the face name, which
// names the race's face-data files in lfdat/ (<face>Male.dat, <face>Female.dat).
#pragma once

#include <cstdint>
#include <string_view>

namespace landfer {

struct RaceRow {
    const char* raceId;
    const char* otherRaceId;  // a second spelling of the id, or null
    uint32_t formId;
    bool beast;
    const char* faceName;
};

// The Imperial row: a race outside the table is converted as an Imperial.
const RaceRow& imperialRace();

// The row whose id equals raceId exactly (case-sensitive), or null.
const RaceRow* findRace(std::string_view raceId);

// The skeleton model path of standard or beast races.
const char* skeletonPath(bool beast);

}  // namespace landfer
