#include "morse/PatternPlayer.h"

#include "common/Convert.h"

#include <chrono>
#include <thread>

namespace kalvo {

namespace {

// How long the pause wait sleeps between two rounds of event handling, so that a
// paused send does not keep a processor busy.
constexpr auto PausePollInterval = std::chrono::milliseconds(5);

} // namespace

PatternPlayer::PatternPlayer(const TimingModel& timing, ToneSynth& synth, TOutSound& out)
    : Timing(timing), Synth(synth), OutSound1(out)
{
}

void PatternPlayer::Silence(double seconds)
{
    Synth.PlayNote(Timing.ToneFreq, seconds, 0.0);
}

void PatternPlayer::Flush()
{
    OutSound1.Flush();
}

void PatternPlayer::WaitWhilePaused(const Pause& pause)
{
    const auto holding = [&] { return *pause.Paused && *pause.Going; };
    if (!holding())
        return;
    // What was written before the pause is heard before its silence, not when
    // the pattern resumes.
    OutSound1.Flush();
    while (holding()) {
        if (pause.ProcessEvents)
            pause.ProcessEvents();
        if (holding())
            std::this_thread::sleep_for(PausePollInterval);
    }
}

PatternPlayer::Played PatternPlayer::PlayPattern(const std::string& pattern, const Pause* pause)
{
    Played played;
    for (const char digit : pattern) {
        if (pause) {
            WaitWhilePaused(*pause);
            // Nothing more sounds while the button still says "Unpause".
            if (!*pause->Going && *pause->Paused) {
                played.AbortedInPause = true;
                break;
            }
        }
        Synth.PlayNote(Timing.ToneFreq, (digit - '0') * Timing.DotTime, ToneAmplitude * Level);
        played.ToneEnd = OutSound1.Mark();
        Silence(Timing.DotTime);
        ++played.Elements;
    }
    return played;
}

void PatternPlayer::PlayWord(const MorseCodeTable& table, const std::string& word)
{
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (i > 0)
            Silence(Timing.CharGapTime);
        PlayPattern(table.LookupCode(std::string(1, UpCase(word[i]))));
    }
}

} // namespace kalvo
