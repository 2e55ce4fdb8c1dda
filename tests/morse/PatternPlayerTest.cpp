#include "morse/PatternPlayer.h"

#include "tests/support/SoundRig.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvo {
namespace {

using testing::Samples;

constexpr int BufferLength = 4000;

// One pattern played on a fresh recording device, and the stream it should give.
struct PatternRun {
    PatternRun()
    {
        Timing.SetSpeed(14, 5, 800);
        Synth.BuildStartupTable();
        Synth.ProcessEvents = [this] {
            if (++SamplesPlayed == PauseAtSample)
                Paused = true;
        };
    }

    void Element(char digit)
    {
        testing::AppendNote(Expected, Synth.Wavetable, 8000, 5, Timing.ToneFreq, (digit - '0') * Timing.DotTime, 20000);
        testing::AppendNote(Expected, Synth.Wavetable, 8000, 5, Timing.ToneFreq, Timing.DotTime, 0);
    }
    void Flushed() { Expected.resize(testing::BuffersFor(Expected.size(), BufferLength) * BufferLength, 0); }

    testing::SoundRig Rig{BufferLength};
    TimingModel Timing;
    ToneSynth Synth{Rig.Out};
    PatternPlayer Player{Timing, Synth, Rig.Out};
    bool Paused = false;
    bool Going = true;
    std::int64_t SamplesPlayed = 0;
    std::int64_t PauseAtSample = -1;
    Samples Expected;
};

void ExpectRecorded(PatternRun& run)
{
    run.Flushed();
    const Samples recorded = run.Rig.Recorded(run.Expected.size() / BufferLength);
    ASSERT_EQ(recorded.size(), run.Expected.size());
    for (std::size_t i = 0; i < recorded.size(); ++i)
        ASSERT_EQ(recorded[i], run.Expected[i]) << "sample " << i;
}

TEST(PatternPlayerTest, EachDigitIsAToneOfThatManyDotsThenADotOfSilence)
{
    for (const std::string pattern : {"", "1", "3", "1331", "9"}) {
        SCOPED_TRACE(pattern);
        PatternRun run;
        const PatternPlayer::Played played = run.Player.PlayPattern(pattern);
        run.Player.Flush();
        for (char d : pattern)
            run.Element(d);
        EXPECT_EQ(played.Elements, pattern.size());
        EXPECT_FALSE(played.AbortedInPause);
        ExpectRecorded(run);
    }
}

TEST(PatternPlayerTest, APauseHoldsBeforeAnElementAndAnAbortInItDropsTheRest)
{
    enum class During { Resume, Abort };
    const struct {
        int pauseBefore; // element before which the pause begins; -1 for none
        bool going; // Going at the start (an abort before the pattern)
        During during;
        std::size_t elements;
        bool aborted;
    } cases[] =
        {
            {0, true, During::Resume, 4, false},  {2, true, During::Resume, 4, false},
            {0, true, During::Abort, 0, true},    {2, true, During::Abort, 2, true},
            {-1, false, During::Abort, 4, false}, // not paused: an abort leaves the pattern whole
        };
    const std::string pattern = "1331";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pauseBefore);
        PatternRun run;
        run.Going = c.going;
        for (int i = 0; i < c.pauseBefore; ++i)
            run.Element(pattern[i]);
        if (c.pauseBefore == 0)
            run.Paused = true;
        else if (c.pauseBefore > 0)
            run.PauseAtSample = static_cast<std::int64_t>(run.Expected.size());
        int rounds = 0;
        const PatternPlayer::Pause pause{&run.Paused, &run.Going, [&] {
                                             ++rounds;
                                             (c.during == During::Resume ? run.Paused : run.Going) = false;
                                         }};
        const PatternPlayer::Played played = run.Player.PlayPattern(pattern, &pause);
        run.Player.Flush();
        if (c.pauseBefore >= 0) {
            run.Flushed(); // what came before the pause is heard before it
            if (c.during == During::Resume)
                for (std::size_t i = c.pauseBefore; i < pattern.size(); ++i)
                    run.Element(pattern[i]);
        } else {
            for (char d : pattern)
                run.Element(d);
        }
        EXPECT_EQ(rounds, c.pauseBefore >= 0 ? 1 : 0);
        EXPECT_EQ(played.Elements, c.elements);
        EXPECT_EQ(played.AbortedInPause, c.aborted);
        ExpectRecorded(run);
    }
}

} // namespace
} // namespace kalvo
