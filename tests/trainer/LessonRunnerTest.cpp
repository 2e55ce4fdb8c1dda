#include "trainer/LessonRunner.h"

#include "common/Errors.h"
#include "tests/support/SoundRig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kalvo {
namespace {

using testing::Samples;

// A sound path at the window's settings on a recording device.
struct SoundPath : testing::SoundRig {
    SoundPath()
    {
        Table.CodeTableInitialize();
        Timing.SetSpeed(14, 5, 800);
        Synth.BuildStartupTable();
    }

    MorseCodeTable Table;
    TimingModel Timing;
    ToneSynth Synth{Out};
};

struct Lesson : SoundPath {
    Lesson()
    {
        Synth.ProcessEvents = [this] {
            ++SamplesPlayed;
            if (DuringPlayback && SamplesPlayed == 1000)
                DuringPlayback();
        };
    }
    void Begin(int count)
    {
        Runner.Prepare(count);
        Runner.Start(count);
    }

    RandomGenerator Random;
    Trainer Train{Random};
    LessonRunner Runner{Train, Table, Timing, Synth, Out};
    std::int64_t SamplesPlayed = 0;
    std::function<void()> DuringPlayback;
};

TEST(LessonRunnerTest, ATickAsksOnlyInARunningLessonAndEveryOtherHandlerMayRunInsideThePlayback)
{
    using After = LessonRunner::AfterAsk;
    enum class Inside { Nothing, Stop, StopAndStartAgain, StopStartAgainAndTick };
    const struct {
        const char* name;
        bool prepared, started;
        Inside inside;
        After after;
        bool awaiting;
    } cases[] = {
        {"idle", false, false, Inside::Nothing, After::Nothing, false},
        {"prepared only", true, false, Inside::Nothing, After::Nothing, false},
        {"asking", true, true, Inside::Nothing, After::CountDown, true},
        {"stopped while playing", true, true, Inside::Stop, After::Nothing, false},
        {"a new lesson while playing", true, true, Inside::StopAndStartAgain, After::Nothing, false},
        {"its first tick while playing", true, true, Inside::StopStartAgainAndTick, After::Nothing, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lesson l;
        if (c.prepared)
            l.Runner.Prepare(5);
        if (c.started)
            l.Runner.Start(5);
        std::vector<After> nested;
        l.DuringPlayback = [&] {
            if (c.inside == Inside::Nothing)
                return;
            l.Runner.Stop();
            if (c.inside == Inside::Stop)
                return;
            l.Begin(5);
            if (c.inside == Inside::StopStartAgainAndTick) {
                const std::int64_t before = l.SamplesPlayed;
                nested.push_back(l.Runner.Ask());
                EXPECT_EQ(l.SamplesPlayed, before); // nothing sounds inside the playback
            }
        };
        EXPECT_EQ(l.Runner.Ask(), c.after);
        EXPECT_EQ(l.Train.AwaitingAnswer, c.awaiting);
        EXPECT_EQ(l.SamplesPlayed > 0, c.started);
        EXPECT_FALSE(l.Runner.QuestionPlaying());
        if (c.awaiting) {
            EXPECT_EQ(l.Train.TicksLeft, l.Train.AnswerTicks);
        }
        if (c.inside == Inside::StopStartAgainAndTick) {
            EXPECT_EQ(nested, std::vector<After>{After::AskLater});
        }
    }
}

TEST(LessonRunnerTest, ACharacterIsAFlushedLeadInThenItsPatternFlushed)
{
    Lesson l;
    l.Begin(1); // "q", --.-
    ASSERT_EQ(l.Runner.Ask(), LessonRunner::AfterAsk::CountDown);

    SoundPath reference;
    PatternPlayer player{reference.Timing, reference.Synth, reference.Out};
    player.LeadIn();
    player.Flush();
    player.PlayPattern("3313");
    player.Flush();

    // The lead-in fills a buffer of its own, the character three more.
    const std::size_t buffers = 4;
    const Samples played = l.Recorded(buffers);
    EXPECT_EQ(played, reference.Recorded(buffers));
    EXPECT_EQ(played.size(), buffers * 4000);
    EXPECT_NE(played[4001], 0); // the first dash begins the second buffer (its ramp from 0)
}

TEST(LessonRunnerTest, StartCountsAndWhatATypedKeyDoes)
{
    const struct {
        int count;
        bool refused; // EStartCount before anything changes
        int active;
        bool capped;
    } cases[] = {
        {0, true, 0, false}, {-3, true, 0, false}, {1, false, 1, false}, {5, false, 5, false}, {55, false, 40, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Lesson l;
        l.Runner.Prepare(c.count);
        EXPECT_TRUE(l.Train.TrainMode);
        EXPECT_EQ(l.Train.ActiveCount, c.refused ? 1 : c.active); // prepared with at least one
        if (c.refused) {
            EXPECT_THROW(LessonRunner::RefuseStartCountBelowOne(c.count), EStartCount);
            continue;
        }
        EXPECT_NO_THROW(LessonRunner::RefuseStartCountBelowOne(c.count));
        const LessonRunner::Started started = l.Runner.Start(c.count);
        EXPECT_EQ(started.Count, c.active);
        EXPECT_EQ(started.Capped, c.capped);
        EXPECT_TRUE(l.Train.TrainRunning);
        EXPECT_EQ(l.Train.ActiveCount, c.active);
    }

    // Keys are remembered always and judged only in trainer mode.
    Lesson l;
    EXPECT_FALSE(l.Runner.Key('q').Hit);
    EXPECT_EQ(l.Train.LastKey, 'q');
    l.Begin(1);
    const Trainer::AnswerOutcome hit = l.Runner.Key('Q');
    EXPECT_TRUE(hit.Hit);
    EXPECT_EQ(hit.Echo, 'Q');
    l.Runner.Stop();
    EXPECT_FALSE(l.Train.TrainMode);
    EXPECT_FALSE(l.Train.TrainRunning);
    EXPECT_FALSE(l.Runner.Key('q').Hit);
}

TEST(LessonRunnerTest, TheRatingSentence)
{
    const struct {
        double mean;
        int active;
        const char* rating;
    } cases[] = {{0.4, 10, "19"}, {1.0, 1, "0"}, {0.2, 40, "100"}};
    for (const auto& c : cases) {
        Lesson l;
        l.Train.MeanWeight = c.mean;
        l.Train.ActiveCount = c.active;
        EXPECT_EQ(l.Runner.RatingText(),
                  std::string("Your current mastery rating is ") + c.rating
                      + " \r\nWhen this is 100, you will have mastered all of the characters.");
    }
}

} // namespace
} // namespace kalvo
