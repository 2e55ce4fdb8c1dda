#include "texts/RandomString.h"

#include "common/Convert.h"

#include <algorithm>

namespace kalvo {

namespace {

// k = round(r * 100) lies in 0..100, so positions beyond the 101st are never drawn.
constexpr std::size_t DrawablePositions = 101;

} // namespace

bool IsSingleCharacterSet(const std::string& charSet)
{
    if (charSet.empty())
        return false;
    const std::size_t reach = std::min(charSet.size(), DrawablePositions);
    return std::all_of(charSet.begin(), charSet.begin() + static_cast<std::ptrdiff_t>(reach),
                       [&](char c) { return c == charSet.front(); });
}

std::string DrawRandomString(const std::string& charSet, RandomGenerator& rng)
{
    std::string text;
    if (charSet.empty())
        return text;
    const bool limitRuns = !IsSingleCharacterSet(charSet);
    const auto length = static_cast<std::int64_t>(charSet.size());

    int accepted = 1;
    char previous = ' ';
    int repeats = 0;
    int draws = 0;
    while (accepted < RandomStringLength + 1) {
        ++draws;
        const std::int64_t k = RoundHalfEven(rng.Random() * 100.0);
        const char drawn = charSet[static_cast<std::size_t>(k % length)];
        repeats = (drawn == previous) ? repeats + 1 : 0;
        if (repeats < 2 || !limitRuns) {
            ++accepted;
            text += drawn;
            previous = drawn;
        }
        if (draws == RandomStringGroupSize) {
            draws = 0;
            text += ' ';
        }
    }
    return text;
}

std::string GenerateRandomString(const std::string& charSet, RandomGenerator& rng)
{
    if (charSet.empty())
        return {};
    rng.Randomize();
    return DrawRandomString(charSet, rng);
}

} // namespace kalvo
