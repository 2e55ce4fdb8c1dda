// GaussianSource: normal samples of unit variance from a seed, the same on
// every machine and library (Box-Muller on a 64-bit Mersenne Twister; the
// standard library's normal distribution differs between libraries).
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace kalvo {

class GaussianSource {
public:
    explicit GaussianSource(std::uint64_t seed) : Generator(seed) { }

    double Next()
    {
        if (HaveSpare) {
            HaveSpare = false;
            return Spare;
        }
        // Uniform in (0, 1]: the logarithm stays finite.
        const double u1 = (static_cast<double>(Generator() >> 11) + 1.0) / 9007199254740992.0;
        const double u2 = Uniform();
        const double r = std::sqrt(-2.0 * std::log(u1));
        Spare = r * std::sin(2 * std::numbers::pi * u2);
        HaveSpare = true;
        return r * std::cos(2 * std::numbers::pi * u2);
    }

    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Generator() >> 11) / 9007199254740992.0; }

private:
    std::mt19937_64 Generator;
    bool HaveSpare = false;
    double Spare = 0.0;
};

} // namespace kalvo
