#include "audio/BandConditions.h"

#include "tests/support/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <vector>

namespace kalvo {
namespace {

using testing::DensityAt;

constexpr double Rate = 8000.0;
constexpr double Tone = 800.0;
constexpr double Amplitude = 20000.0;
const BandConditions::Signal Signal{Rate, Tone, Amplitude* Amplitude / 2, Amplitude};

std::string AnyPattern(char)
{
    return "131";
}

std::vector<double> Band(const BandSettings& settings, double seconds)
{
    BandConditions band(settings, Signal, AnyPattern);
    std::vector<double> x(static_cast<std::size_t>(seconds * Rate));
    for (double& v : x)
        v = band.NextBand();
    return x;
}

BandSettings NoiseOnly(int filter)
{
    BandSettings s;
    s.Noise = true;
    s.SnrDb = 0.0;
    s.FilterHz = filter;
    return s;
}

// The -3 dB points of the noise heard, found in its spectrum.
TEST(BandConditions, TheFilterPassesItsWidthCentredOnTheTone)
{
    for (int width : BandSettings::Filters) {
        SCOPED_TRACE(width);
        const std::vector<double> x = Band(NoiseOnly(width), 20.0);
        const double centre = width < 2700 ? Tone : 1550.0; // 200 to 2900 Hz
        const double half = DensityAt(x, Rate, centre) / 2;
        auto edge = [&](double step) {
            double hz = centre;
            while (DensityAt(x, Rate, hz + step) > half)
                hz += step;
            return hz + step / 2;
        };
        const double measured = edge(2.0) - edge(-2.0);
        EXPECT_NEAR(measured / width, 1.0, 0.1);
        std::printf("filter %4d Hz: -3 dB bandwidth %.0f Hz\n", width, measured);
    }
}

// A steady tone through the fading, read in 25 ms blocks: its depth is the
// span of the levels, its rate the falls through the median level.
TEST(BandConditions, FadingHasItsDepthAndRate)
{
    const struct {
        BandSettings::Fading Kind;
        double Depth, Low, High;
    } cases[] = {
        {BandSettings::Fading::Slow, 20.0, 0.1, 0.2},
        {BandSettings::Fading::Fast, 20.0, 0.3, 0.6},
        {BandSettings::Fading::Fast, 6.0, 0.3, 0.6},
        {BandSettings::Fading::Slow, 30.0, 0.1, 0.2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Depth);
        BandSettings s;
        s.Qsb = c.Kind;
        s.QsbDepthDb = c.Depth;
        s.Seed = 5;
        BandConditions band(s, Signal, AnyPattern);
        const double seconds = 1200.0;
        const std::complex<double> turn = std::polar(1.0, 2 * std::numbers::pi * Tone / Rate);
        std::complex<double> phase = 1.0;
        std::vector<double> levels;
        double power = 0.0;
        for (long n = 1; n <= long(seconds * Rate); ++n) {
            phase *= turn;
            const double v = band.Mix(Amplitude * phase.imag());
            power += v * v;
            if (n % 200 == 0) {
                levels.push_back(10 * std::log10(power / 200 / Signal.TonePower));
                power = 0.0;
            }
        }
        const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
        std::vector<double> sorted = levels;
        std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
        const double median = sorted[sorted.size() / 2];
        const double hysteresis = c.Depth / 40;
        int falls = 0;
        bool above = levels[0] > median;
        for (double l : levels) {
            if (above && l < median - hysteresis) {
                ++falls;
                above = false;
            } else if (!above && l > median + hysteresis) {
                above = true;
            }
        }
        EXPECT_NEAR(*high, 0.0, 0.3);
        EXPECT_NEAR(*high - *low, c.Depth, 1.0);
        EXPECT_GE(falls / seconds, c.Low);
        EXPECT_LE(falls / seconds, c.High);
        std::printf("%s fading, depth %.0f dB: measured %.1f dB, %.3f fades/s\n", FadingName(c.Kind), c.Depth,
                    *high - *low, falls / seconds);
    }
}

// The second station's pitch is the strongest line in its spectrum.
TEST(BandConditions, SecondStationSitsAtItsOffset)
{
    for (double offset : {200.0, -120.0, 60.0, -300.0}) {
        SCOPED_TRACE(offset);
        BandSettings s;
        s.Qrm = true;
        s.QrmOffsetHz = offset;
        s.QrmLevelDb = 0.0;
        s.FilterHz = 1000;
        const std::vector<double> x = Band(s, 30.0);
        auto strongest = [&](double from, double to, double step, int segment) {
            double best = 0.0, at = 0.0;
            for (double hz = from; hz <= to; hz += step)
                if (const double d = DensityAt(x, Rate, hz, segment); d > best)
                    best = d, at = hz;
            return at;
        };
        const double near = strongest(Tone - 400, Tone + 400, 4.0, 2048);
        const double at = strongest(near - 6, near + 6, 0.5, 8192);
        EXPECT_NEAR(at - Tone, offset, 2.0);
        std::printf("second station at %+.0f Hz: measured %+.1f Hz\n", offset, at - Tone);
    }
}

// The filter is linear and every part draws its own numbers: the parts heard
// together are the sum of each heard alone, and a seed repeats them.
TEST(BandConditions, PartsAreIndependentAndRepeatable)
{
    BandSettings noise = NoiseOnly(500), qrm, qrn, all = NoiseOnly(500);
    qrm.Qrm = qrn.Qrn = all.Qrm = all.Qrn = true;
    qrn.QrnPerMinute = all.QrnPerMinute = 60.0;
    qrm.FilterHz = qrn.FilterHz = 500;
    const auto a = Band(noise, 10.0), b = Band(qrm, 10.0), c = Band(qrn, 10.0), sum = Band(all, 10.0);
    double energyQrn = 0.0;
    for (std::size_t i = 0; i < sum.size(); ++i) {
        ASSERT_NEAR(sum[i], a[i] + b[i] + c[i], 1e-6) << i;
        energyQrn += c[i] * c[i];
    }
    EXPECT_GT(energyQrn, 0.0);
    EXPECT_EQ(Band(all, 2.0), std::vector<double>(sum.begin(), sum.begin() + 16000));
    all.Seed = 2;
    EXPECT_NE(Band(all, 2.0), std::vector<double>(sum.begin(), sum.begin() + 16000));
}

TEST(BandSettings, LineRoundTripAndRefusals)
{
    BandSettings s;
    EXPECT_EQ(s.ToLine(),
              "noise=off snr=10 filter=2700 qsb=off depth=15 qrm=off offset=150 level=-6 qrn=off rate=10 "
              "seed=1");
    s.Noise = s.Qrm = s.Qrn = true;
    s.SnrDb = -6.5;
    s.FilterHz = 250;
    s.Qsb = BandSettings::Fading::Fast;
    s.QrmOffsetHz = -300;
    s.Seed = 2147483647;
    EXPECT_EQ(BandSettings::FromLine(s.ToLine()), s);
    EXPECT_EQ(BandSettings::FromLine(""), BandSettings{});
    const struct {
        const char* Line;
        const char* Message;
    } refused[] = {
        {"snr=31", "The signal-to-noise ratio 31 dB is out of range: it must lie from -10 to 30 dB."},
        {"filter=300", "The receiver filter 300 Hz is not offered: choose 250, 500, 1000 or 2700 Hz."},
        {"offset=-20",
         "The second station's offset -20 Hz is out of range: it must lie from 50 to 300 Hz above or "
         "below the tone."},
        {"depth=40", "The fading depth 40 dB is out of range: it must lie from 3 to 30 dB."},
        {"rate=0", "The static's rate 0 crashes a minute is out of range: it must lie from 1 to 60 crashes a minute."},
        {"qsb=medium", "'qsb=medium' is not a valid band condition: use off, slow or fast."},
        {"noise=yes", "'noise=yes' is not a valid band condition: use on or off."},
        {"level=loud", "'level=loud' is not a valid band condition: the value is not a number."},
        {"seed=1.5", "The seed 1.5 is out of range: it must be a whole number from 0 to 2147483647."},
        {"volume=3", "'volume=3' is not a band condition."},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.Line);
        try {
            BandSettings::FromLine(r.Line);
            ADD_FAILURE() << "accepted";
        } catch (const EBandSettings& e) {
            EXPECT_STREQ(e.what(), r.Message);
        }
    }
}

} // namespace
} // namespace kalvo
