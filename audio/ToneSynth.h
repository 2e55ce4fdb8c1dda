// Tone synthesis: a wavetable oscillator with linear rise and fall ramps that
// writes 16-bit samples into a TOutSound.
//
// Wavetable holds one period in 1024 entries (2 pi taken as 6.283185308).
// PlayNote(Frequency, Seconds, Amplitude) writes round-half-even(SampRate *
// Seconds) samples, the tone's rise over the first R = SampRate * RiseTime
// samples and, for a tone, a fall appended after the nominal end; every call
// starts at phase 0. After every sample it calls ProcessEvents (the window sets
// this to let the interface handle pending events). The rise/fall time is read
// from RiseFallText (milliseconds, the text of the rise/fall box) at every call;
// a negative time counts as the box's minimum of 1 ms, so that every tone ends,
// and a time of 0 fails before any sample. A rise/fall time or a note longer
// than MaxNoteSeconds throws ERangeError before any sample, so every note ends
// within a minute; a ramp too short for a finite step throws EOverflow. RebuildTable sums at most 256 odd
// harmonics (up to the 511th, all a 1024-entry table can hold), so a huge typed
// number cannot freeze the window. Samples saturate at the 16-bit limits.
#pragma once

#include "audio/TOutSound1.h"

#include <array>
#include <functional>
#include <string>

namespace kalvo {

class ToneSynth {
public:
    static constexpr int TableSize = 1024;
    static constexpr double TwoPi = 6.283185308;

    explicit ToneSynth(TOutSound& out);

    std::array<double, TableSize> Wavetable{};
    double RiseTime = 0.0;
    double RampStep = 0.0;

    std::function<std::string()> RiseFallText; // milliseconds, as typed; "5" when unset
    std::function<void()> ProcessEvents; // may be empty

    // The start-up table: fundamental plus third harmonic at one third.
    void BuildStartupTable();
    // Rebuild for the harmonics text (N odd harmonics) and square clamping.
    // The conversion comes first: an invalid text throws and keeps the table.
    void RebuildTable(const std::string& harmonicsText, bool squareWave);
    void PlayNote(double Frequency, double Seconds, double Amplitude);

private:
    TOutSound& OutSound1;
};

} // namespace kalvo
