#include "lookup/race_table.h"

namespace landfer {

namespace {
// Morrowind's own id for the Khajiit race is "Khajiit"; "Khajit" is kept
// for plugins that spell it that way. Both use the face name "Khajit".
const RaceRow races[] = {
    {"Argonian", nullptr, 0x00023FE9, true, "Argonian"},
    {"Breton", nullptr, 0x000224FC, false, "Breton"},
    {"Dark Elf", nullptr, 0x000191C1, false, "DarkElf"},
    {"High Elf", nullptr, 0x00019204, false, "HighElf"},
    {"Imperial", nullptr, 0x00000907, false, "Imperial"},
    {"Khajit", "Khajiit", 0x000223C7, true, "Khajit"},
    {"Nord", nullptr, 0x000224FD, false, "Nord"},
    {"Orc", nullptr, 0x000191C0, false, "Orc"},
    {"Redguard", nullptr, 0x00000D43, false, "Redguard"},
    {"Wood Elf", nullptr, 0x000223C8, false, "WoodElf"},
};
}  // namespace

const RaceRow& imperialRace() { return races[4]; }

const RaceRow* findRace(std::string_view raceId) {
    for (const RaceRow& row : races) {
        if (raceId == row.raceId || (row.otherRaceId != nullptr && raceId == row.otherRaceId)) return &row;
    }
    return nullptr;
}

const char* skeletonPath(bool beast) {
    return beast ? "Characters\\_Male\\SkeletonBeast.nif" : "Characters\\_Male\\skeleton.nif";
}

}  // namespace landfer
