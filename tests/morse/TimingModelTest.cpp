#include "morse/TimingModel.h"

#include "common/Errors.h"
#include "tests/support/Failure.h"

#include <gtest/gtest.h>

namespace kalvo {
namespace {

// Silences as the sender lays them out, in dots of the current DotTime.
double CharSilenceDots(const TimingModel& t)
{
    return 1.0 + t.CharGapTime / t.DotTime;
}
double WordSilenceDots(const TimingModel& t)
{
    return 1.0 + t.CharGapTime / t.DotTime + (t.WordGapTime + t.CharGapTime) / t.DotTime;
}

TEST(TimingModelTest, StartUpSettings)
{
    TimingModel t;
    t.SetSpeed(14, 5, 800);
    EXPECT_EQ(t.CharSpeed, 14.0);
    EXPECT_EQ(t.OverallSpeed, 5.0);
    EXPECT_EQ(t.ToneFreq, 800.0);
    EXPECT_NEAR(t.DotTime, 0.0857143, 1e-7);
    EXPECT_NEAR(t.CharGapTime, 1.389474, 1e-6);
    EXPECT_NEAR(t.WordGapTime, 0.577444, 1e-6);
    EXPECT_NEAR(CharSilenceDots(t), 17.2105, 1e-4);
    EXPECT_NEAR(WordSilenceDots(t), 40.1579, 1e-4);
    EXPECT_NEAR(CharSilenceDots(t) * t.DotTime, 1.475188, 1e-6);
    EXPECT_NEAR(WordSilenceDots(t) * t.DotTime, 3.442105, 1e-6);
    EXPECT_EQ(t.CharSpaceShare, 3.0);
    EXPECT_EQ(t.WordSpaceShare, 7.0);
}

TEST(TimingModelTest, EqualSpeedsArePlain)
{
    TimingModel t;
    t.SetSpeed(20, 20, 800);
    EXPECT_DOUBLE_EQ(t.DotTime, 0.06);
    EXPECT_DOUBLE_EQ(t.CharGapTime, 0.12);
    EXPECT_DOUBLE_EQ(t.WordGapTime, 0.24);
    EXPECT_DOUBLE_EQ(CharSilenceDots(t), 3.0);
    EXPECT_DOUBLE_EQ(WordSilenceDots(t), 9.0);
}

TEST(TimingModelTest, OverallAboveCharacterSpeedIgnoresCharacterSpeed)
{
    TimingModel t;
    t.SetSpeed(12, 30, 600);
    EXPECT_DOUBLE_EQ(t.DotTime, 0.04);
    EXPECT_DOUBLE_EQ(t.CharGapTime, 0.08);
    EXPECT_DOUBLE_EQ(t.WordGapTime, 0.16);
    EXPECT_EQ(t.ToneFreq, 600.0);
}

TEST(TimingModelTest, JustBelowCharacterSpeedIsFarnsworth)
{
    TimingModel t;
    t.SetSpeed(20, 19, 800);
    const double g = 50.0 * 20 / 19 - 31;
    EXPECT_NEAR(g, 21.6316, 1e-4);
    EXPECT_DOUBLE_EQ(t.DotTime, 0.06);
    EXPECT_NEAR(CharSilenceDots(t), 3.4155, 1e-4);
    EXPECT_NEAR(WordSilenceDots(t), 7.9695, 1e-4);
}

TEST(TimingModelTest, FarnsworthWordTakesOverallSpeedTime)
{
    for (double compression : {0.0, 3.0, 10.0}) {
        TimingModel t;
        t.Compression = compression;
        t.SetSpeed(18, 7, 800);
        // PARIS: 31 dots of elements and the gaps inside characters, then 4
        // character spaces and 1 word space.
        const double word = (31 + 4 * CharSilenceDots(t) + WordSilenceDots(t)) * t.DotTime;
        EXPECT_NEAR(word, 60.0 / 7, 1e-9) << compression;
        EXPECT_NEAR(4 * t.CharSpaceShare + t.WordSpaceShare, 19.0, 1e-12);
    }
}

TEST(TimingModelTest, FullCompressionGivesStandardCharacterSpace)
{
    TimingModel t;
    t.Compression = 10;
    t.SetSpeed(14, 5, 800);
    EXPECT_DOUBLE_EQ(t.StandardCharShare, 57.0 / 109);
    EXPECT_NEAR(t.CharGapTime / t.DotTime, 2.0, 1e-12);
    EXPECT_NEAR(WordSilenceDots(t), 97.0, 1e-9);
}

TEST(TimingModelTest, CompressionBelowOneActsAsZero)
{
    TimingModel zero;
    zero.SetSpeed(14, 5, 800);
    TimingModel half;
    half.StandardCharShare = 1.25; // left alone by the uncompressed case
    half.Compression = 0.5;
    half.SetSpeed(14, 5, 800);
    EXPECT_EQ(half.DotTime, zero.DotTime);
    EXPECT_EQ(half.CharGapTime, zero.CharGapTime);
    EXPECT_EQ(half.WordGapTime, zero.WordGapTime);
    EXPECT_EQ(half.CharSpaceShare, 3.0);
    EXPECT_EQ(half.WordSpaceShare, 7.0);
    EXPECT_EQ(half.StandardCharShare, 1.25);
}

TEST(TimingModelTest, ZeroOverallSpeedIsDivisionByZero)
{
    TimingModel t;
    t.SetSpeed(14, 5, 800);
    const double dot = t.DotTime, charGap = t.CharGapTime, wordGap = t.WordGapTime;
    EXPECT_EQ(testing::Failure<EZeroDivide>([&] { t.SetSpeed(12, 0, 700); }), "Floating point division by zero");
    EXPECT_EQ(t.CharSpeed, 12.0);
    EXPECT_EQ(t.OverallSpeed, 0.0);
    EXPECT_EQ(t.ToneFreq, 700.0);
    EXPECT_EQ(t.DotTime, dot);
    EXPECT_EQ(t.CharGapTime, charGap);
    EXPECT_EQ(t.WordGapTime, wordGap);
}

// A gap that cannot be cut short must not outlast a minute: a compression
// typed far outside its range is refused and the timing stays as it was.
TEST(TimingModelTest, CompressionThatMakesAGapEndlessIsRefused)
{
    const struct {
        double compression;
        const char* message;
    } cases[] = {
        {1e10, "The speed settings make the word gap longer than one minute"},
        {1e308, "The speed settings make the character gap longer than one minute"},
        {80, "no error"}, // a word gap of 59 s
        {85, "The speed settings make the word gap longer than one minute"},
    };
    for (const auto& c : cases) {
        TimingModel t;
        t.SetSpeed(14, 5, 800);
        const double dot = t.DotTime, charGap = t.CharGapTime, wordGap = t.WordGapTime;
        t.Compression = c.compression;
        std::string message = "no error";
        try {
            t.SetSpeed(14, 5, 800);
        } catch (const ERangeError& e) {
            message = e.what();
            EXPECT_EQ(t.DotTime, dot);
            EXPECT_EQ(t.CharGapTime, charGap);
            EXPECT_EQ(t.WordGapTime, wordGap);
        }
        EXPECT_EQ(message, c.message) << c.compression;
    }
}

TEST(TimingModelTest, ValuesOutsideTheSliderRangeAreUsed)
{
    TimingModel t;
    t.SetSpeed(14, 45, 800);
    EXPECT_EQ(t.CharSpeed, 14.0);
    EXPECT_EQ(t.OverallSpeed, 45.0);
    EXPECT_DOUBLE_EQ(t.DotTime, 1.2 / 45);
}

TEST(TimingModelTest, FastModeDoublesTheOverallSpeedRange)
{
    const struct {
        int speed;
        int entered; // the speed shown after "FastMode"
        int left; // the speed shown after "SlowMode": half, an odd speed rounded up
    } cases[] = {
        {5, 10, 3},    {10, 20, 5},   {7, 14, 4},
        {1, 2, 1},     {0, 0, 0},     {-1, -2, 0},
        {-7, -14, -3}, {-8, -16, -4}, {1073741824, -2147483647 - 1, 536870912},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(TimingModel::DoubledSpeed(c.speed), c.entered);
        EXPECT_EQ(TimingModel::HalvedSpeed(c.speed), c.left);
    }

    TimingModel t;
    t.EnterFastMode();
    EXPECT_EQ(t.SliderScale(), 2);
    t.LeaveFastMode();
    EXPECT_EQ(t.SliderScale(), 1);
    for (int position : {3, 10, 30}) {
        t.FastMode = false;
        EXPECT_EQ(t.OverallSpeedFromSlider(position), position);
        t.FastMode = true;
        EXPECT_EQ(t.OverallSpeedFromSlider(position), 2 * position);
    }
}

} // namespace
} // namespace kalvo
