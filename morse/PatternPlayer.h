// PatternPlayer: the one loop that turns a Morse pattern into sound, shared by
// the text sender and the trainer.
//
// PlayPattern plays, for each digit d of the pattern in order, a tone of
// d x DotTime at ToneAmplitude and then DotTime of silence. The frequency and
// the dot length are read from the timing model as each note starts, so a speed
// changed during a pattern applies from the next element on. LeadIn is the
// three dots of silence played ahead of a send or of a trainer question.
//
// A pause, when given, holds the pattern before each element: on entering the
// wait the partly filled buffer is flushed (what came before the pause is heard
// whole), then events are processed until Paused is cleared or Going is
// cleared. An element is skipped, with the rest of the pattern, when Going is
// clear and Paused still set at that point: an abort during a pause ends the
// pattern at once. Without a pause (the trainer) Paused is never looked at.
#pragma once

#include "audio/TOutSound1.h"
#include "audio/ToneSynth.h"
#include "morse/CodeTable.h"
#include "morse/TimingModel.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace kalvo {

class PatternPlayer {
public:
    static constexpr double ToneAmplitude = 20000.0;

    // How a pause acts on a pattern; both flags are read live.
    struct Pause {
        const bool* Paused = nullptr;
        const bool* Going = nullptr;
        std::function<void()> ProcessEvents; // may be empty
    };

    struct Played {
        std::size_t Elements = 0; // elements that sounded
        bool AbortedInPause = false; // the rest was dropped by an abort while paused
        std::optional<SoundMark> ToneEnd; // just after the last tone's last sample (its fall included)
    };

    PatternPlayer(const TimingModel& timing, ToneSynth& synth, TOutSound& out);

    // The tones' level as a share of ToneAmplitude (a quieter repeat in a
    // practice file); the sender and the trainer keep 1.
    double Level = 1.0;

    void Silence(double seconds);
    void LeadIn() { Silence(3.0 * Timing.DotTime); }
    void Flush();
    Played PlayPattern(const std::string& pattern, const Pause* pause = nullptr);
    // A word, call or group as one item: each character's pattern (upper
    // case), a character gap between them and none after the last.
    void PlayWord(const MorseCodeTable& table, const std::string& word);

private:
    void WaitWhilePaused(const Pause& pause);

    const TimingModel& Timing;
    ToneSynth& Synth;
    TOutSound& OutSound1;
};

} // namespace kalvo
