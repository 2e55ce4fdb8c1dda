#include "audio/ToneSynth.h"

#include "common/Errors.h"
#include "tests/support/Failure.h"
#include "tests/support/SoundRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kalvo {
namespace {

using testing::Samples;

// One large buffer: everything a test plays stays in the buffer being filled,
// so FillCount is the exact number of samples written.
constexpr int BigBuffer = 200000;

class ToneSynthTest : public ::testing::Test {
protected:
    ToneSynthTest() { Synth.BuildStartupTable(); }

    // Plays the notes, then returns what was written (without the flush padding).
    template <typename Play>
    Samples Capture(Play play)
    {
        play();
        const int count = Rig.Out.FillCount();
        Rig.Out.Flush();
        if (count == 0)
            return {}; // nothing was queued
        ++Flushed;
        Rig.Device.WaitForWritten(Flushed);
        Samples last = Rig.Device.Written().back();
        last.resize(static_cast<std::size_t>(count));
        return last;
    }

    testing::SoundRig Rig{BigBuffer};
    ToneSynth Synth{Rig.Out};
    std::size_t Flushed = 0;
};

TEST_F(ToneSynthTest, WorkedExampleEnvelope)
{
    Synth.Wavetable.fill(1.0); // the samples are then the envelope itself
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.24, 20000); });
    ASSERT_EQ(s.size(), 1959u);
    EXPECT_EQ(Synth.RiseTime, 0.005);
    EXPECT_EQ(Synth.RampStep, 500.0);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(s[i], 500 * i) << i;
    for (int i = 40; i < 1920; ++i)
        ASSERT_EQ(s[i], 19500) << i;
    for (int k = 0; k < 39; ++k)
        EXPECT_EQ(s[1920 + k], 19000 - 500 * k) << k;
    EXPECT_EQ(s.back(), 0);
}

TEST_F(ToneSynthTest, WorkedExampleWithStartupTable)
{
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.24, 20000); });
    ASSERT_EQ(s.size(), 1959u);
    // Phase steps 102.4 entries per sample from entry 0; each sample is the
    // table entry below the phase times the envelope, rounded half to even.
    double phase = 0.0;
    for (int i = 0; i < 1959; ++i) {
        const double amp = i < 40 ? 500.0 * i : (i < 1920 ? 19500.0 : 19000.0 - 500.0 * (i - 1920));
        ASSERT_EQ(s[i], RoundHalfEven(Synth.Wavetable[int(phase)] * amp)) << i;
        phase += 102.4;
        while (phase >= 1024)
            phase -= 1024;
    }
    Samples expected;
    testing::AppendNote(expected, Synth.Wavetable, EngineSetup::SampRate, 5, 800, 0.24, 20000);
    EXPECT_EQ(s, expected);
}

TEST_F(ToneSynthTest, ZeroLengthToneStillFalls)
{
    Synth.Wavetable.fill(1.0);
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.0, 20000); });
    ASSERT_EQ(s.size(), 40u);
    for (int k = 0; k < 40; ++k)
        EXPECT_EQ(s[k], 19500 - 500 * k) << k;
}

TEST_F(ToneSynthTest, ToneShorterThanLongRiseNeverHolds)
{
    Synth.Wavetable.fill(1.0);
    Synth.RiseFall.Ms = 50;
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.04, 20000); }); // 320 samples
    ASSERT_EQ(s.size(), 320u + 319u);
    EXPECT_EQ(Synth.RampStep, 50.0);
    for (int i = 0; i < 320; ++i)
        ASSERT_EQ(s[i], 50 * i) << i;
    EXPECT_EQ(*std::max_element(s.begin(), s.end()), 319 * 50);
    for (int k = 0; k < 319; ++k)
        ASSERT_EQ(s[320 + k], 319 * 50 - 50 * (k + 1)) << k;
}

TEST_F(ToneSynthTest, GapsAreExactlyRoundedSampleCountOfZeros)
{
    const double halfway = 2.5 / 8000; // 2.5 samples: rounds to the even 2
    ASSERT_EQ(8000 * halfway, 2.5);
    const double halfway2 = 3.5 / 8000; // rounds to 4
    ASSERT_EQ(8000 * halfway2, 3.5);
    const Samples s = Capture([&] {
        Synth.PlayNote(800, 0.1, 0);
        Synth.PlayNote(800, halfway, 0);
        Synth.PlayNote(800, halfway2, 0);
        Synth.PlayNote(800, 0.0, 0);
        Synth.PlayNote(800, -1.0, 0);
    });
    EXPECT_EQ(s, Samples(800 + 2 + 4, 0));
}

TEST_F(ToneSynthTest, EveryCallStartsAtPhaseZeroAndSilent)
{
    Samples first, second;
    Capture([&] { Synth.PlayNote(733, 0.05, 20000); });
    const Samples both = Capture([&] {
        Synth.PlayNote(733, 0.05, 20000);
        Synth.PlayNote(733, 0.05, 20000);
    });
    ASSERT_EQ(both.size() % 2, 0u);
    first.assign(both.begin(), both.begin() + both.size() / 2);
    second.assign(both.begin() + both.size() / 2, both.end());
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.front(), 0);

    Synth.Wavetable.fill(1.0); // entry 0 is not zero here: the envelope makes it so
    EXPECT_EQ(Capture([&] { Synth.PlayNote(1234, 0.01, 20000); }).front(), 0);
}

TEST_F(ToneSynthTest, EventsAreHandledAfterEverySampleAndSeeTableChanges)
{
    Synth.Wavetable.fill(1.0);
    int calls = 0;
    Synth.ProcessEvents = [&] {
        ++calls;
        if (calls == 100)
            Synth.Wavetable.fill(-1.0); // a rebuild between two samples
    };
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.24, 20000); });
    EXPECT_EQ(calls, 1959);
    EXPECT_EQ(s[99], 19500);
    EXPECT_EQ(s[100], -19500);
}

TEST_F(ToneSynthTest, ZeroRiseTimeFailsBeforeAnySample)
{
    Synth.RiseFall.Ms = 0;
    EXPECT_EQ(testing::Failure<EZeroDivide>([&] { Synth.PlayNote(800, 0.1, 20000); }),
              "Floating point division by zero");
    EXPECT_EQ(testing::Failure<EInvalidOp>([&] { Synth.PlayNote(800, 0.1, 0); }), "Invalid floating point operation");
    EXPECT_EQ(Rig.Out.FillCount(), 0);
}

// Values that would make a note endless or undefined are refused before the
// first sample; the limits themselves still play.
TEST_F(ToneSynthTest, EndlessOrUndefinedNotesFailBeforeAnySample)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double rise;
        double seconds;
        double amplitude;
        const char* message;
    } cases[] = {
        {1e300, 0.1, 20000, "A rise/fall time of 1e+300 msec is longer than one minute"},
        {60001, 0.1, 20000, "A rise/fall time of 60001 msec is longer than one minute"},
        {1e-320, 0.1, 20000, "Floating point overflow"},
        {5, 60.001, 0, "A note of more than one minute cannot be played"},
        {5, inf, 20000, "A note of more than one minute cannot be played"},
        {5, std::nan(""), 20000, "A note of more than one minute cannot be played"},
        {5, 0.1, inf, "Invalid floating point operation"},
        {60000, 0, 0, "no error"},
        {5, 60, 0, "no error"},
        {1e-10, 0.01, 20000, "no error"},
    };
    for (const auto& c : cases) {
        Synth.RiseFall.Ms = c.rise;
        std::string message = "no error";
        try {
            Synth.PlayNote(800, c.seconds, c.amplitude);
        } catch (const EKalvoError& e) {
            message = e.what();
            EXPECT_EQ(Rig.Out.FillCount(), 0) << c.rise << " " << c.seconds;
        }
        EXPECT_EQ(message, c.message) << c.rise << " " << c.seconds;
    }
}

TEST_F(ToneSynthTest, ARefusedRiseTimeFailsEveryNoteBeforeAnySample)
{
    Synth.RiseFall.Refused = std::make_exception_ptr(EConvertError("'5ms' is not a valid floating point value"));
    for (int note = 0; note < 2; ++note)
        EXPECT_EQ(testing::Failure<EConvertError>([&] { Synth.PlayNote(800, 0.1, 20000); }),
                  "'5ms' is not a valid floating point value");
    EXPECT_EQ(Rig.Out.FillCount(), 0);
}

TEST_F(ToneSynthTest, FractionalRiseTimeIsNotRounded)
{
    Synth.Wavetable.fill(1.0);
    Synth.RiseFall.Ms = 2.5; // R = 20
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.01, 20000); });
    EXPECT_EQ(s.size(), 80u + 19u);
    EXPECT_EQ(s[19], 19000);
}

TEST_F(ToneSynthTest, NegativeRiseTimeFallsBackToOneMillisecond)
{
    Synth.Wavetable.fill(1.0);
    Synth.RiseFall.Ms = -5;
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.01, 20000); });
    EXPECT_EQ(Synth.RiseTime, 0.001);
    ASSERT_EQ(s.size(), 80u + 7u); // R = 8
    EXPECT_EQ(s.back(), 0);
}

TEST_F(ToneSynthTest, OversizedAmplitudeSaturatesInsteadOfWrapping)
{
    Synth.Wavetable.fill(-1.0);
    const Samples s = Capture([&] { Synth.PlayNote(800, 0.01, 40000); });
    EXPECT_EQ(s[20], -20000);
    EXPECT_EQ(s[79], -32768);
    EXPECT_EQ(*std::min_element(s.begin(), s.end()), -32768);
    EXPECT_LE(*std::max_element(s.begin(), s.end()), 0);
}

TEST_F(ToneSynthTest, NegativeFrequencyStaysInsideTheTable)
{
    const Samples negative = Capture([&] { Synth.PlayNote(-800, 0.05, 20000); });
    const Samples alias = Capture([&] { Synth.PlayNote(7200, 0.05, 20000); });
    EXPECT_EQ(negative, alias);
}

TEST(ToneSynthTableTest, StartupTableIsSinePlusThirdHarmonic)
{
    testing::SoundRig rig;
    ToneSynth synth(rig.Out);
    synth.BuildStartupTable();
    EXPECT_EQ(synth.Wavetable[0], 0.0);
    const double peak = *std::max_element(synth.Wavetable.begin(), synth.Wavetable.end());
    EXPECT_NEAR(peak, 0.943, 1e-3);
    const auto startup = synth.Wavetable;
    synth.RebuildTable(1, false);
    for (int j = 0; j < ToneSynth::TableSize; ++j)
        EXPECT_NEAR(synth.Wavetable[j], startup[j], 1e-12) << j;
}

TEST(ToneSynthTableTest, PureSine)
{
    testing::SoundRig rig;
    ToneSynth synth(rig.Out);
    synth.RebuildTable(0, false);
    EXPECT_EQ(synth.Wavetable[256], 1.0);
    EXPECT_NEAR(synth.Wavetable[768], -1.0, 1e-15);
    EXPECT_NEAR(synth.Wavetable[100], std::sin(100 * 6.283185308 / 1024), 1e-15);
}

TEST(ToneSynthTableTest, SquareWaveClampsEveryHarmonicsCount)
{
    testing::SoundRig rig;
    ToneSynth synth(rig.Out);
    for (int n : {0, 1, 2, 3}) {
        synth.RebuildTable(n, true);
        EXPECT_EQ(synth.Wavetable[0], 0.0) << n;
        for (int j = 1; j < 512; ++j)
            ASSERT_EQ(synth.Wavetable[j], 1.0) << n << " " << j;
        for (int j = 512; j < 1024; ++j)
            ASSERT_EQ(synth.Wavetable[j], -1.0) << n << " " << j;
    }
}

TEST(ToneSynthTableTest, MoreHarmonicsAddOddTerms)
{
    testing::SoundRig rig;
    ToneSynth synth(rig.Out);
    synth.RebuildTable(10, false); // beyond the box's range: 11 odd harmonics
    double expected = 0.0;
    for (int b = 0; b <= 10; ++b)
        expected += std::sin(37 * 6.283185308 * (2 * b + 1) / 1024) / (2 * b + 1);
    EXPECT_NEAR(synth.Wavetable[37], expected, 1e-12);
}

TEST(ToneSynthTableTest, NegativeHarmonicsGiveSilence)
{
    testing::SoundRig rig;
    ToneSynth synth(rig.Out);
    synth.RebuildTable(-1, true);
    for (double v : synth.Wavetable)
        ASSERT_EQ(v, 0.0);
}

TEST(ToneSynthTableTest, HugeHarmonicsNumberIsLimitedToWhatTheTableHolds)
{
    testing::SoundRig rig;
    ToneSynth synth(rig.Out);
    synth.RebuildTable(255, false);
    const auto limit = synth.Wavetable;
    synth.RebuildTable(2147483647, false); // returns promptly
    EXPECT_EQ(synth.Wavetable, limit);
}

} // namespace
} // namespace kalvo
