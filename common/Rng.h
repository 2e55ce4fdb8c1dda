// The program's one random generator, shared by the trainer and the random
// character strings.
//
// A 32-bit linear congruential generator: seed := seed * 134775813 + 1
// (mod 2^32); each value is the new seed / 2^32, in [0, 1). Randomize() seeds it
// with the milliseconds since midnight of the current UTC time; tests set Seed
// directly for repeatable runs.
#pragma once

#include <cstdint>

namespace kalvo {

class RandomGenerator {
public:
    std::uint32_t Seed = 0;

    void Randomize();
    double Random();
};

} // namespace kalvo
