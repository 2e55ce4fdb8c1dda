#include "trainer/Trainer.h"

#include "common/Convert.h"
#include "common/Errors.h"
#include "tests/trainer/TrainerLesson.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using kalvo::EStartCount;
using kalvo::RandomGenerator;
using kalvo::Trainer;
using kalvo::testing::Lesson;

namespace {

// Every field, for comparing the whole state before and after a refused call.
struct Snapshot {
    bool TrainMode, TrainRunning, AwaitingAnswer;
    std::array<double, Trainer::CharacterCount + 1> Weights;
    double TicksLeft, AnswerTicks, WeightCap, WeightFloor, MaxThreshold, MeanThreshold;
    int ActiveCount, MaxActiveCount;
    double WeightStep;
    std::string LessonOrder;
    int CurrentIndex;
    double MeanWeight, MaxWeight, RepeatCount;
    char LastKey;
    bool ShowUppercase;
    std::uint32_t Seed;

    static Snapshot Of(const Trainer& t, const RandomGenerator& r)
    {
        return {t.TrainMode,   t.TrainRunning,   t.AwaitingAnswer, t.Weights,      t.TicksLeft,
                t.AnswerTicks, t.WeightCap,      t.WeightFloor,    t.MaxThreshold, t.MeanThreshold,
                t.ActiveCount, t.MaxActiveCount, t.WeightStep,     t.LessonOrder,  t.CurrentIndex,
                t.MeanWeight,  t.MaxWeight,      t.RepeatCount,    t.LastKey,      t.ShowUppercase,
                r.Seed};
    }
    bool operator==(const Snapshot&) const = default;
};

} // namespace

// --- Construction, "Start Kalvo", "Start Sending" ---------------------------

TEST(TrainerSetup, StartsEmpty)
{
    RandomGenerator random;
    Trainer t(random);
    EXPECT_FALSE(t.TrainMode);
    EXPECT_FALSE(t.TrainRunning);
    EXPECT_FALSE(t.AwaitingAnswer);
    for (double w : t.Weights)
        EXPECT_EQ(w, 0.0);
    EXPECT_EQ(t.TicksLeft, 0.0);
    EXPECT_EQ(t.AnswerTicks, 0.0);
    EXPECT_EQ(t.WeightCap, 0.0);
    EXPECT_EQ(t.WeightFloor, 0.0);
    EXPECT_EQ(t.MaxThreshold, 0.0);
    EXPECT_EQ(t.MeanThreshold, 0.0);
    EXPECT_EQ(t.ActiveCount, 0);
    EXPECT_EQ(t.MaxActiveCount, 0);
    EXPECT_EQ(t.WeightStep, 0.0);
    EXPECT_TRUE(t.LessonOrder.empty());
    EXPECT_EQ(t.CurrentIndex, 0);
    EXPECT_EQ(t.MeanWeight, 0.0);
    EXPECT_EQ(t.MaxWeight, 0.0);
    EXPECT_EQ(t.RepeatCount, 0.0);
    EXPECT_EQ(t.LastKey, 0);
    EXPECT_FALSE(t.ShowUppercase);
    EXPECT_EQ(t.CurrentCharacter(), 0);
}

TEST(TrainerSetup, PrepareLessonSetsTheLessonParameters)
{
    RandomGenerator random;
    Trainer t(random);
    t.MeanWeight = 0.3; // left as it was
    t.PrepareLesson(7);
    EXPECT_EQ(t.LessonOrder, "q7zg098o1jpwlram6bxdyckn23fu45vhsite.,?/");
    EXPECT_EQ(t.ActiveCount, 7);
    EXPECT_EQ(t.AnswerTicks, 8.0);
    EXPECT_EQ(t.TicksLeft, 8.0);
    EXPECT_EQ(t.WeightStep, 0.2);
    EXPECT_EQ(t.MaxActiveCount, 40);
    EXPECT_EQ(t.MeanThreshold, 0.5);
    EXPECT_EQ(t.MaxThreshold, 0.6);
    EXPECT_EQ(t.RepeatCount, 2.0);
    EXPECT_EQ(t.CurrentIndex, 1);
    EXPECT_EQ(t.WeightCap, 1.0);
    EXPECT_EQ(t.WeightFloor, 0.39);
    for (int i = 1; i <= 40; ++i)
        EXPECT_EQ(t.Weights[i], 1.0) << i;
    EXPECT_EQ(t.MeanWeight, 0.3);
    EXPECT_FALSE(t.TrainRunning);
    EXPECT_EQ(t.CurrentCharacter(), 'q');
}

TEST(TrainerSetup, LessonOrderHoldsFortyDistinctCharacters)
{
    const std::string order = Trainer::DefaultLessonOrder;
    ASSERT_EQ(order.size(), 40u);
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order.find(order[i]), i) << order[i];
    EXPECT_EQ(order.substr(36), ".,?/");
}

TEST(TrainerSetup, PrepareLessonResetsAPreviousLesson)
{
    Lesson l;
    l.Start(5);
    l.AskAndHit();
    l.T.AnswerTicks = 5.0;
    l.Prepare(3);
    EXPECT_EQ(l.T.CurrentIndex, 1);
    EXPECT_EQ(l.T.AnswerTicks, 8.0);
    EXPECT_EQ(l.T.RepeatCount, 2.0);
    for (int i = 1; i <= 40; ++i)
        EXPECT_EQ(l.T.Weights[i], 1.0) << i;
}

TEST(TrainerSetup, PrepareLessonKeepsACountAboveFortyWithinTheLesson)
{
    RandomGenerator random;
    Trainer t(random);
    t.PrepareLesson(55);
    EXPECT_EQ(t.ActiveCount, 40);
}

TEST(TrainerSetup, StartCountOneKeepsTheFullWeight)
{
    Lesson l;
    EXPECT_EQ(l.Start(1), 1);
    EXPECT_EQ(l.T.ActiveCount, 1);
    EXPECT_EQ(l.T.CurrentIndex, 1);
    EXPECT_EQ(l.T.Weights[1], 1.0);
    EXPECT_EQ(l.T.MeanWeight, 1.0);
    EXPECT_EQ(l.T.MaxWeight, 1.0);
}

TEST(TrainerSetup, StartCountFiveCountsTheStartingCharactersAsKnown)
{
    Lesson l;
    EXPECT_EQ(l.Start(5), 5);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(l.T.Weights[i], 0.2) << i;
    for (int i = 6; i <= 40; ++i)
        EXPECT_EQ(l.T.Weights[i], 1.0) << i;
    EXPECT_EQ(l.T.ActiveCount, 5);
    EXPECT_EQ(l.T.CurrentIndex, 5);
    EXPECT_DOUBLE_EQ(l.T.MeanWeight, 0.2);
    EXPECT_EQ(l.T.MaxWeight, 0.2);
}

TEST(TrainerSetup, StartCountAboveFortyIsCutToForty)
{
    Lesson l;
    EXPECT_EQ(l.Start(55), 40);
    EXPECT_EQ(l.T.ActiveCount, 40);
    EXPECT_EQ(l.T.CurrentIndex, 40);
    EXPECT_EQ(l.T.CurrentCharacter(), '/');
    for (int i = 1; i <= 40; ++i)
        EXPECT_EQ(l.T.Weights[i], 0.2) << i;
    EXPECT_EQ(l.Start(40), 40);
}

TEST(TrainerSetup, StartCountBelowOneIsRefusedAndChangesNothing)
{
    for (int bad : {0, -1, -40, std::numeric_limits<int>::min()}) {
        Lesson l;
        l.Prepare(1);
        l.T.Weights[3] = 0.6;
        const Snapshot before = Snapshot::Of(l.T, l.Random);
        try {
            l.T.StartCount(bad);
            ADD_FAILURE() << "count " << bad << " was taken";
        } catch (const EStartCount& e) {
            EXPECT_STREQ(e.what(), "The number of characters to start with must be at least 1.");
        }
        EXPECT_TRUE(Snapshot::Of(l.T, l.Random) == before) << bad;
    }
}

TEST(TrainerSetup, PrepareLessonBelowOneIsRefusedAndChangesNothing)
{
    for (int bad : {0, -5}) {
        Lesson l;
        l.Start(3);
        l.AskAndHit();
        const Snapshot before = Snapshot::Of(l.T, l.Random);
        EXPECT_THROW(l.T.PrepareLesson(bad), kalvo::EKalvoError) << bad;
        EXPECT_TRUE(Snapshot::Of(l.T, l.Random) == before) << bad;
    }
}

// --- Character choice -------------------------------------------------------

TEST(TrainerChoice, RepeatCountKeepsTheCharacterWithoutDrawing)
{
    Lesson l;
    l.Start(10);
    l.T.CurrentIndex = 4;
    l.T.RepeatCount = 2.0;
    const std::uint32_t seed = l.Random.Seed;
    l.T.PickCharacter();
    EXPECT_EQ(l.T.CurrentIndex, 4);
    EXPECT_EQ(l.T.RepeatCount, 1.0);
    l.T.PickCharacter();
    EXPECT_EQ(l.T.CurrentIndex, 4);
    EXPECT_EQ(l.T.RepeatCount, 0.0);
    EXPECT_EQ(l.Random.Seed, seed);
    l.T.PickCharacter();
    EXPECT_NE(l.Random.Seed, seed);
    EXPECT_EQ(l.T.RepeatCount, 0.0);
}

TEST(TrainerChoice, FollowsTheDrawsOfTheGenerator)
{
    // Weights 0.2 with a threshold up to A make several rejections likely; the
    // expected path is worked out here draw by draw.
    for (std::uint32_t seed : {1u, 77u, 123456u, 99999999u}) {
        Lesson l;
        l.Start(7);
        l.T.RepeatCount = 0;
        l.T.Weights[3] = 0.6;
        l.Random.Seed = seed;
        RandomGenerator mirror;
        mirror.Seed = seed;
        int index = static_cast<int>(std::floor(mirror.Random() * 7)) + 1;
        double t = mirror.Random() * 7;
        int rejections = 0;
        while (l.T.Weights[index] <= t) {
            t -= l.T.Weights[index];
            const double r = mirror.Random() * 1000;
            index = static_cast<int>(kalvo::RoundHalfEven(r) % 7) + 1;
            ++rejections;
        }
        l.T.PickCharacter();
        EXPECT_EQ(l.T.CurrentIndex, index) << seed;
        EXPECT_EQ(l.Random.Seed, mirror.Seed) << seed;
        EXPECT_LE(rejections, 40);
    }
}

TEST(TrainerChoice, ActiveCountOneAlwaysPicksTheFirst)
{
    Lesson l;
    l.Start(1);
    for (double w : {1.0, 0.8, 0.4, 0.2}) {
        l.T.Weights[1] = w;
        for (int i = 0; i < 500; ++i) {
            l.T.RepeatCount = 0;
            l.T.PickCharacter();
            ASSERT_EQ(l.T.CurrentIndex, 1);
        }
    }
}

TEST(TrainerChoice, FavoursHighWeights)
{
    Lesson l;
    l.Start(4);
    l.T.Weights = {};
    l.T.Weights[1] = 1.0;
    for (int i = 2; i <= 4; ++i)
        l.T.Weights[i] = 0.2;
    for (int i = 5; i <= 40; ++i)
        l.T.Weights[i] = 1.0;
    std::array<int, 5> counts{};
    const int picks = 20000;
    for (int i = 0; i < picks; ++i) {
        l.T.RepeatCount = 0;
        l.T.PickCharacter();
        ASSERT_GE(l.T.CurrentIndex, 1);
        ASSERT_LE(l.T.CurrentIndex, 4);
        ++counts[l.T.CurrentIndex];
    }
    EXPECT_GT(counts[1], picks * 0.4);
    for (int i = 2; i <= 4; ++i) {
        EXPECT_LT(counts[i], counts[1] / 2) << i;
        EXPECT_GT(counts[i], picks / 20) << i; // the light ones still come up
    }
}

TEST(TrainerChoice, ComputeStatsOverTheCharactersInUse)
{
    Lesson l;
    l.Start(2);
    l.T.Weights[1] = 0.2;
    l.T.Weights[2] = 1.0;
    l.T.Weights[3] = 0.2; // not in use
    l.T.ComputeStats();
    EXPECT_DOUBLE_EQ(l.T.MeanWeight, 0.6);
    EXPECT_EQ(l.T.MaxWeight, 1.0);
}

// --- Rating -----------------------------------------------------------------

TEST(TrainerRating, RoundsHalfToEven)
{
    RandomGenerator random;
    Trainer t(random);
    t.MeanWeight = 0.4;
    t.ActiveCount = 10;
    EXPECT_EQ(t.Rating(), 19); // 18.75
    t.MeanWeight = 0.2;
    t.ActiveCount = 40;
    EXPECT_EQ(t.Rating(), 100);
    t.MeanWeight = 1.0;
    EXPECT_EQ(t.Rating(), 0);
    t.MeanWeight = 0.2;
    t.ActiveCount = 1; // 2.5
    EXPECT_EQ(t.Rating(), 2);
    t.ActiveCount = 3; // 7.5
    EXPECT_EQ(t.Rating(), 8);
}

TEST(TrainerRating, FirstCharacterUnlearntRatesZero)
{
    Lesson l;
    l.Start(1);
    EXPECT_EQ(l.T.Rating(), 0);
}

// --- A long lesson ----------------------------------------------------------

namespace {

bool OnGrid(double w)
{
    for (double g : {0.2, 0.4, 0.6, 0.8})
        if (std::fabs(w - g) < 1e-9)
            return true;
    return false;
}

void CheckInvariants(const Trainer& t, const std::array<bool, 41>& hit, long question)
{
    ASSERT_GE(t.CurrentIndex, 1) << question;
    ASSERT_LE(t.CurrentIndex, t.ActiveCount) << question;
    ASSERT_LE(t.ActiveCount, 40) << question;
    for (int i = 1; i <= 40; ++i) {
        const double w = t.Weights[i];
        ASSERT_GT(w, 0.0);
        if (i > t.ActiveCount) {
            ASSERT_EQ(w, 1.0) << "position " << i << " question " << question;
        } else if (w == 1.0) {
            ASSERT_FALSE(hit[i]) << "position " << i << " back at 1.0 after a hit";
        } else {
            ASSERT_TRUE(OnGrid(w)) << "position " << i << " weight " << w << " question " << question;
        }
    }
}

} // namespace

TEST(TrainerLong, SimulatedUserKeepsTheInvariants)
{
    for (int startCount : {1, 4}) {
        Lesson l;
        l.Start(startCount);
        std::mt19937 user(startCount * 7919u);
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        std::array<bool, 41> hit{};
        const long questions = 20000;
        for (long q = 0; q < questions; ++q) {
            const char asked = l.Ask();
            ASSERT_EQ(asked, Trainer::DefaultLessonOrder[l.T.CurrentIndex - 1]);
            CheckInvariants(l.T, hit, q);
            // The user knows early characters better than late ones.
            const double p = 0.97 - 0.01 * l.T.CurrentIndex;
            const int wait = static_cast<int>(chance(user) * 9); // 0 to 8 ticks
            for (int i = 0; i < wait && l.T.AwaitingAnswer; ++i) {
                if (chance(user) < 0.05) {
                    ASSERT_FALSE(l.T.AnswerTick(true).Counted);
                }
                if (l.Tick().QuestionEnded)
                    break;
            }
            if (l.T.AwaitingAnswer) {
                if (chance(user) < p) {
                    ASSERT_TRUE(l.Key(chance(user) < 0.5 ? kalvo::UpCase(asked) : asked).Hit);
                    hit[l.T.CurrentIndex] = true;
                } else {
                    ASSERT_FALSE(l.Key(asked == '?' ? '!' : '?').Hit);
                }
                CheckInvariants(l.T, hit, q);
                if (!l.T.AwaitingAnswer) {
                    ASSERT_TRUE(l.Tick().QuestionEnded);
                }
            }
            if (l.T.AwaitingAnswer)
                l.FinishQuestion();
            ASSERT_GT(l.T.AnswerTicks, 2.0);
            ASSERT_LE(l.T.AnswerTicks, 8.0);
            CheckInvariants(l.T, hit, q);
        }
        EXPECT_GT(l.T.ActiveCount, startCount) << "the lesson never grew";
    }
}
