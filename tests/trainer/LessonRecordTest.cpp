#include "trainer/LessonRecord.h"

#include "common/Convert.h"
#include "tests/support/SoundRig.h"
#include "trainer/LessonRunner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kalvo {
namespace {

using Clock = LessonRecord::Clock;
using namespace std::chrono_literals;

// Plays a script into a record. Tokens: "Ac" asks c and plays it (its sound
// ends at t = 10 s); "Wc" asks c and keeps it playing; "P" the playback ends;
// "Kc@s" the key c at s seconds after the sound's end, judged as the trainer
// does (a hit when it is the character asked); "E" the question's end tick,
// "T" a time-out, "S" the stop.
LessonRecord Play(const std::string& script)
{
    const Clock::time_point soundEnd = Clock::time_point(10s);
    LessonRecord record;
    record.Begin();
    record.Started(Clock::time_point(1s));
    char asked = 0;
    std::istringstream in(script);
    for (std::string token; in >> token;) {
        switch (token[0]) {
        case 'A':
        case 'W':
            asked = token[1];
            record.Asked(asked);
            if (token[0] == 'A')
                record.Played();
            break;
        case 'P':
            record.Played();
            break;
        case 'K': {
            const double at = std::stod(token.substr(3));
            record.Key(token[1], LowCase(token[1]) == asked,
                       soundEnd + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(at)),
                       soundEnd);
            break;
        }
        case 'E':
        case 'T':
            record.Ended(token[0] == 'T', soundEnd);
            break;
        case 'S':
            record.Stopped(Clock::time_point(100s));
            break;
        }
    }
    return record;
}

TEST(LessonRecordTest, CountsMissesTimeOutsAndReactionTimesOfAwaitedKeysOnly)
{
    const struct {
        const char* name;
        const char* script;
        int asked, hits, firstKeyHits, misses, timeOuts;
        double median; // -1: none
        const char* instead; // "7x2 zx1"
        int outside;
    } cases[] = {
        {"first key", "Aq Kq@0.5 E", 1, 1, 1, 0, 0, 0.5, "", 0},
        {"upper case is the same", "Aq KQ@0.25 E", 1, 1, 1, 0, 0, 0.25, "", 0},
        {"miss then hit", "Aq K7@0.3 Kq@0.9 E", 1, 1, 0, 1, 0, 0.9, "7x1", 0},
        {"time-out after misses", "Aq K7@0.3 Kz@0.4 K7@1 T", 1, 0, 0, 3, 1, -1, "7x2 zx1", 0},
        {"a key during the playback is no answer", "Wq Kq@-0.2 P Kq@0.7 E", 1, 1, 1, 0, 0, 0.7, "", 0},
        {"a key after the hit is no answer", "Aq Kq@0.4 Kq@0.6 K7@0.8 E", 1, 1, 1, 0, 0, 0.4, "", 0},
        {"keys before the first question", "K7@0 Kq@0 Aq T", 1, 0, 0, 0, 1, -1, "", 2},
        {"stopped while awaited", "Aq K7@1 S", 1, 0, 0, 1, 0, -1, "7x1", 0},
        {"median of three", "Aq Kq@0.4 E Aq Kq@1 E Aq Kq@0.6 E A7 T", 3, 3, 3, 0, 0, 0.6, "", 0},
        {"median of two", "Aq Kq@0.4 E Aq Kq@0.6 E", 2, 2, 2, 0, 0, 0.5, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LessonRecord record = Play(c.script);
        const auto rows = record.Summarise("q");
        ASSERT_EQ(rows.size(), 1u);
        const auto& q = rows[0];
        EXPECT_EQ(q.Character, 'q');
        EXPECT_EQ(q.Asked, c.asked);
        EXPECT_EQ(q.Hits, c.hits);
        EXPECT_EQ(q.FirstKeyHits, c.firstKeyHits);
        EXPECT_EQ(q.Misses, c.misses);
        EXPECT_EQ(q.TimeOuts, c.timeOuts);
        if (c.median < 0)
            EXPECT_FALSE(q.MedianReaction);
        else
            EXPECT_NEAR(q.MedianReaction.value_or(-1), c.median, 1e-6);
        std::string instead;
        for (const auto& [typed, count] : q.TypedInstead)
            instead += (instead.empty() ? "" : " ") + std::string(1, typed) + "x" + std::to_string(count);
        EXPECT_EQ(instead, c.instead);
        EXPECT_EQ(static_cast<int>(record.OutsideKeys().size()), c.outside);
        int awaited = 0;
        for (const auto& [asked, typed] : record.Confusion())
            for (const auto& [key, count] : typed)
                awaited += count;
        EXPECT_EQ(awaited, c.misses + c.hits);
    }

    const LessonRecord stopped = Play("Aq Kq@1 E S");
    EXPECT_FALSE(stopped.Running());
    EXPECT_DOUBLE_EQ(stopped.LengthSeconds(Clock::time_point(500s)), 99.0); // from "Start Sending" to the stop
}

// A recording device that plays its buffers back to back from t = 50 s, half a
// second each, as a sound card would.
struct ClockedLesson : testing::SoundRig {
    ClockedLesson()
    {
        Table.CodeTableInitialize();
        Timing.SetSpeed(14, 5, 800);
        Synth.BuildStartupTable();
        Device.SetPlayClock([this] { return Clock::time_point(50s) + 500ms * Buffers++; });
    }
    MorseCodeTable Table;
    TimingModel Timing;
    ToneSynth Synth{Out};
    RandomGenerator Random;
    Trainer Train{Random};
    LessonRunner Runner{Train, Table, Timing, Synth, Out};
    int Buffers = 0;
};

TEST(LessonRecordTest, AReactionTimeCountsFromTheEndOfTheLastToneOnTheDevicesClock)
{
    ClockedLesson l;
    l.Runner.Prepare(1);
    l.Runner.Start(1);
    ASSERT_EQ(l.Runner.Ask(), LessonRunner::AfterAsk::CountDown);
    l.Device.WaitForWritten(4);

    // "q" (--.-) after its lead-in buffer: where its last tone ends.
    testing::SoundRig reference;
    ToneSynth synth{reference.Out};
    synth.BuildStartupTable();
    PatternPlayer player{l.Timing, synth, reference.Out};
    player.LeadIn();
    player.Flush();
    const SoundMark end = player.PlayPattern("3313").ToneEnd.value();
    const auto toneEnd = Clock::time_point(50s) + 500ms * static_cast<int>(end.Buffer)
        + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(end.Offset / 8000.0));

    l.Runner.Now = [&] { return toneEnd + 640ms; };
    l.Runner.Key('7');
    l.Runner.Now = [&] { return toneEnd + 1250ms; };
    EXPECT_TRUE(l.Runner.Key('q').Hit);
    l.Runner.Tick(false);
    l.Runner.Stop();

    const auto& questions = l.Runner.Record().Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].Outcome, LessonRecord::Result::Hit);
    EXPECT_EQ(questions[0].Keys.size(), 2u);
    EXPECT_NEAR(questions[0].Reaction().value_or(-1), 1.25, 1e-6);
    EXPECT_GT(end.Offset, 0);
    EXPECT_EQ(end.Buffer, 3u); // the fourth buffer: lead-in, then three of "q"
}

} // namespace
} // namespace kalvo
