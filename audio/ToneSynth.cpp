#include "audio/ToneSynth.h"

#include "common/Convert.h"
#include "common/Errors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kalvo {

namespace {

// Odd harmonics above the 511th lie beyond what a 1024-entry table can hold; they
// only fold back onto lower ones. The limit also keeps a mistyped huge number
// from freezing the window in the rebuild.
constexpr int MaxHarmonics = 255;

// The rise/fall box's own minimum, used when a negative time has been typed:
// a negative ramp would never bring a tone's fall back to zero.
constexpr double FallbackRiseMs = 1.0;

} // namespace

ToneSynth::ToneSynth(TOutSound& out) : OutSound1(out) { }

void ToneSynth::BuildStartupTable()
{
    for (int j = 0; j < TableSize; ++j)
        Wavetable[j] = std::sin(j * TwoPi / TableSize) + std::sin(j * 18.849555924 / TableSize) / 3.0;
}

void ToneSynth::RebuildTable(int harmonics, bool squareWave)
{
    const int n = std::min(harmonics, MaxHarmonics);

    Wavetable.fill(0.0);
    for (int j = 0; j < TableSize; ++j) {
        double value = 0.0;
        for (int b = 0; b <= n; ++b) {
            const int harmonic = 2 * b + 1;
            value += std::sin(j * TwoPi * harmonic / TableSize) / harmonic;
        }
        if (squareWave) {
            if (value > 0.0)
                value = 1.0;
            else if (value < 0.0)
                value = -1.0;
        }
        Wavetable[j] = value;
    }
}

double ToneSynth::HeldAmplitude(double amplitude, double sampRate, double riseMs)
{
    const double ramp = sampRate * riseMs / 1000.0;
    return ramp > 1.0 ? amplitude * (std::ceil(ramp) - 1.0) / ramp : amplitude;
}

void ToneSynth::PlayNote(double Frequency, double Seconds, double Amplitude)
{
    if (RiseFall.Refused)
        std::rethrow_exception(RiseFall.Refused);
    double riseMs = RiseFall.Ms;
    if (riseMs < 0.0)
        riseMs = FallbackRiseMs;
    // A note cannot be cut short once it has begun, so nothing that would keep
    // the program playing one for more than a minute gets a first sample: not
    // the note itself, and not the fall ramp, which lasts as long as the rise.
    if (!IsPlayableLength(riseMs / 1000.0))
        throw ERangeError("A rise/fall time of " + FloatToStr(riseMs) + " msec is longer than one minute");
    if (!IsPlayableLength(Seconds))
        throw ERangeError("A note of more than one minute cannot be played");
    if (!std::isfinite(Amplitude))
        throw EInvalidOp();
    RiseTime = riseMs / 1000.0;

    const double sampRate = OutSound1.SampRate();
    const double ramp = sampRate * RiseTime; // R, deliberately not rounded
    // A zero ramp fails here, before any sample: division by zero for a tone,
    // invalid operation (0/0) for a gap; a ramp so short that the step has no
    // finite value (a rise of 1e-320 msec) overflows.
    RampStep = FDiv(Amplitude, ramp);

    double increment = Frequency * TableSize / sampRate;
    // Callers pass frequencies that keep the increment within one table length;
    // anything else (negative, beyond the sample rate, not finite) is folded into
    // it once here so that the per-sample wrap below always keeps the index valid.
    if (!(increment >= 0.0 && increment < TableSize)) {
        increment = std::isfinite(increment) ? std::fmod(increment, double(TableSize)) : 0.0;
        if (increment < 0.0)
            increment += TableSize;
    }

    const std::int64_t count = RoundHalfEven(sampRate * Seconds);

    double phase = 0.0;
    double amplitude = Amplitude;
    const auto emit = [&]() {
        const auto index = static_cast<int>(phase); // phase >= 0, so this is floor
        std::int64_t value = RoundHalfEven(Wavetable[index] * amplitude);
        // Saturate rather than wrap should a caller ever ask for more than 16 bits.
        value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int16_t>::min(),
                                         std::numeric_limits<std::int16_t>::max());
        const SamplePair pair{static_cast<std::int16_t>(value), static_cast<std::int16_t>(value)};
        OutSound1.SendSample(pair);
        phase += increment;
        while (phase >= TableSize)
            phase -= TableSize;
        if (ProcessEvents)
            ProcessEvents();
    };

    // Rise, then hold at the last ramp value (just below Amplitude); the first
    // sample of every call is silent.
    for (std::int64_t i = 0; i < count; ++i) {
        if (static_cast<double>(i) < ramp)
            amplitude = static_cast<double>(i) * RampStep;
        emit();
    }
    // The fall is appended after the nominal end and continues the phase; its last
    // sample is the first one at or below zero.
    while (amplitude > 0.0) {
        amplitude -= RampStep;
        emit();
    }
}

} // namespace kalvo
