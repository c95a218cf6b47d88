// Lock levels. Both games count a lock's difficulty from 0 to 100, and
// both need about that much security skill to pick it, but Oblivion keeps
// 100 for a lock that only its key opens, which Morrowind does not have.
// So a Morrowind level stays the same number up to 99, and 100 (or more,
// which scripts can set) becomes 99, Oblivion's hardest lock to pick. A
// level of 0 or below (and 2147483647, which some editors write for a
// lock at level 0) is Oblivion's 0.
#pragma once

#include <cstdint>

namespace landfer {

constexpr int32_t lockedAtLevelZero = 2147483647;
constexpr uint8_t hardestPickableLock = 99;

inline uint8_t oblivionLockLevel(int32_t morrowindLevel) {
    if (morrowindLevel <= 0 || morrowindLevel == lockedAtLevelZero) return 0;
    return morrowindLevel >= hardestPickableLock ? hardestPickableLock : static_cast<uint8_t>(morrowindLevel);
}

}  // namespace landfer
