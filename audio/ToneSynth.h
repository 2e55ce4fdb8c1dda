// Tone synthesis: a wavetable oscillator with linear rise and fall ramps that
// writes 16-bit samples into a TOutSound.
//
// Wavetable holds one period in 1024 entries (2 pi taken as 6.283185308).
// PlayNote(Frequency, Seconds, Amplitude) writes round-half-even(SampRate *
// Seconds) samples, the tone's rise over the first R = SampRate * RiseTime
// samples and, for a tone, a fall appended after the nominal end; every call
// starts at phase 0. After every sample it calls ProcessEvents (the window sets
// this to let the interface handle pending events). Each note takes the
// rise/fall time in force when it starts (RiseFall, in milliseconds): a
// refused one (RiseFall.Refused, when no usable time was given) fails the note
// before any sample; a negative time counts as the smallest one offered, 1 ms,
// so that every tone ends, and a time of 0 fails before any sample. A
// rise/fall time or a note longer than MaxNoteSeconds throws ERangeError
// before any sample, so every note ends within a minute; a ramp too short for
// a finite step throws EOverflow. RebuildTable sums at most 256 odd harmonics
// (up to the 511th, all a 1024-entry table can hold), so a huge number cannot
// freeze the window. Samples saturate at the 16-bit limits.
#pragma once

#include "audio/TOutSound1.h"

#include <array>
#include <exception>
#include <functional>

namespace kalvo {

// The rise/fall time of the notes to come, or why there is none.
struct RiseFallTime {
    double Ms = 5.0;
    std::exception_ptr Refused; // thrown by every note, before its first sample
};

class ToneSynth {
public:
    static constexpr int TableSize = 1024;
    static constexpr double TwoPi = 6.283185308;

    explicit ToneSynth(TOutSound& out);

    std::array<double, TableSize> Wavetable{};
    double RiseTime = 0.0;
    double RampStep = 0.0;

    RiseFallTime RiseFall;
    std::function<void()> ProcessEvents; // may be empty

    // The start-up table: fundamental plus third harmonic at one third.
    void BuildStartupTable();
    // Rebuild for N odd harmonics above the fundamental and square clamping.
    void RebuildTable(int harmonics, bool squareWave);
    void PlayNote(double Frequency, double Seconds, double Amplitude);
    // The level a tone holds after its rise: the last step of the ramp, just
    // below Amplitude (39/40 of it at 8000 samples a second and 5 ms).
    static double HeldAmplitude(double amplitude, double sampRate, double riseMs);

private:
    TOutSound& OutSound1;
};

} // namespace kalvo
