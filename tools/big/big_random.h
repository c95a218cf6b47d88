// A small deterministic random source for the big plugin generator: the
// same seed gives the same plugin on every machine and compiler.
#pragma once

#include <cstdint>

namespace big {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    // splitmix64
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, bound).
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(next() % bound); }
    // In [low, high].
    int32_t between(int32_t low, int32_t high) {
        return low + static_cast<int32_t>(below(static_cast<uint32_t>(high - low + 1)));
    }
    // In [0, 1).
    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    bool chance(double probability) { return unit() < probability; }

private:
    uint64_t state_;
};

}  // namespace big
