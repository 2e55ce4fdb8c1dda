#include "common/Rng.h"

#include <chrono>

namespace kalvo {

void RandomGenerator::Randomize()
{
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
    Seed = static_cast<std::uint32_t>(sinceEpoch.count() % (24LL * 60 * 60 * 1000));
}

double RandomGenerator::Random()
{
    Seed = Seed * 134775813u + 1u;
    return Seed / 4294967296.0;
}

} // namespace kalvo
