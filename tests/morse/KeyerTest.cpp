#include "morse/Keyer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kalvo {
namespace {

struct Press {
    long At;
    char Key; // 's' straight, '.' dot paddle, '-' dash paddle
    bool Down;
};

// The keyed runs (start, length) in samples over 200 samples, a dot of 10.
std::vector<std::pair<long, long>> Runs(Keyer::Mode mode, const std::vector<Press>& presses)
{
    Keyer keyer;
    keyer.SetMode(mode);
    keyer.SetDotSamples(10);
    std::vector<std::pair<long, long>> runs;
    for (long t = 0; t < 200; ++t) {
        for (const Press& p : presses) {
            if (p.At != t)
                continue;
            if (p.Key == 's')
                keyer.SetStraight(p.Down);
            else if (p.Key == '.')
                keyer.SetDot(p.Down);
            else
                keyer.SetDash(p.Down);
        }
        if (keyer.Step()) {
            if (runs.empty() || runs.back().first + runs.back().second != t)
                runs.push_back({t, 0});
            ++runs.back().second;
        }
    }
    return runs;
}

using R = std::vector<std::pair<long, long>>;
constexpr auto A = Keyer::Mode::IambicA;
constexpr auto B = Keyer::Mode::IambicB;

TEST(KeyerTest, ElementsMemoriesAndSqueezesAsModesAAndBDefineThem)
{
    const struct {
        const char* what;
        Keyer::Mode mode;
        std::vector<Press> presses;
        R runs;
    } table[] = {
        {"straight key", Keyer::Mode::Straight, {{5, 's', true}, {30, 's', false}}, {{5, 25}}},
        {"dot paddle held: dots", A, {{0, '.', true}, {35, '.', false}}, {{0, 10}, {20, 10}}},
        {"dash paddle tapped: a whole dash", A, {{0, '-', true}, {5, '-', false}}, {{0, 30}}},
        {"squeeze released in the dash, mode A: stops",
         A,
         {{0, '.', true}, {0, '-', true}, {45, '.', false}, {45, '-', false}},
         {{0, 10}, {20, 30}}},
        {"squeeze released in the dash, mode B: one more dot",
         B,
         {{0, '.', true}, {0, '-', true}, {45, '.', false}, {45, '-', false}},
         {{0, 10}, {20, 30}, {60, 10}}},
        {"dash pressed and let go within a dot: remembered",
         A,
         {{0, '.', true}, {3, '-', true}, {5, '.', false}, {6, '-', false}},
         {{0, 10}, {20, 30}}},
        {"dash tapped in the dot's space: remembered",
         A,
         {{0, '.', true}, {12, '.', false}, {14, '-', true}, {16, '-', false}},
         {{0, 10}, {20, 30}}},
        {"held paddle through a squeeze alternates",
         B,
         {{0, '-', true}, {25, '.', true}, {75, '.', false}, {75, '-', false}},
         {{0, 30}, {40, 10}, {60, 30}, {100, 10}}},
        {"the straight key keys in an iambic mode", A, {{100, 's', true}, {104, 's', false}}, {{100, 4}}},
    };
    for (const auto& row : table)
        EXPECT_EQ(Runs(row.mode, row.presses), row.runs) << row.what;
}

TEST(KeyerTest, ReleasingEveryKeyEndsTheToneWithItsElement)
{
    Keyer keyer;
    keyer.SetMode(Keyer::Mode::IambicB);
    keyer.SetDotSamples(10);
    keyer.SetDot(true);
    keyer.SetDash(true);
    long keyed = 0;
    for (int t = 0; t < 200; ++t) {
        if (t == 5)
            keyer.ReleaseAll();
        keyed += keyer.Step();
    }
    EXPECT_EQ(keyed, 10); // the dot under way, no remembered dash
    EXPECT_FALSE(keyer.Sending());
}

} // namespace
} // namespace kalvo
