#include "tests/support/ToneRuns.h"

#include <cstdlib>

namespace kalvo::testing {

std::vector<Run> ToneRuns(const std::vector<std::int16_t>& samples, std::size_t bridge, int threshold)
{
    const auto loud = [&](std::size_t i) { return std::abs(int(samples[i])) >= threshold; };
    std::vector<Run> runs;
    std::size_t i = 0;
    while (i < samples.size()) {
        if (!loud(i)) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        std::size_t last = i;
        for (++i; i < samples.size(); ++i) {
            if (loud(i))
                last = i;
            else if (i - last > bridge)
                break;
        }
        runs.push_back({start, last - start + 1});
        i = last + 1;
    }
    return runs;
}

} // namespace kalvo::testing
