// SoundRig: a sound-output component on a recording device. AppendNote: a
// plain restatement of the oscillator, against which recorded samples are
// compared. BuffersFor: how many buffers a number of samples fills.
#pragma once

#include "audio/EngineSetup.h"
#include "audio/TOutSound1.h"
#include "audio/ToneSynth.h"
#include "common/Convert.h"
#include "tests/support/TestWaveOut.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvo::testing {

using Samples = std::vector<std::int16_t>;

// TOutSound set up as the program's on a TestWaveOut that completes at once,
// with another buffer length where a test needs one.
struct SoundRig {
    explicit SoundRig(int bufferLength = EngineSetup::BufferLength)
    {
        ConfigureEngine(Out);
        Out.SetBufferLength(bufferLength);
        Out.Initialize();
    }

    // Every sample written to the device so far, once the expected number of
    // buffers has arrived.
    Samples Recorded(std::size_t buffers)
    {
        Device.WaitForWritten(buffers);
        return Device.Samples();
    }

    TestWaveOut Device{TestWaveOut::Completion::Immediate};
    TOutSound Out{Device};
};

// One note as the oscillator is meant to produce it, written out step by step.
inline void AppendNote(Samples& out, const std::array<double, ToneSynth::TableSize>& table, double sampRate,
                       double riseMs, double frequency, double seconds, double amplitude)
{
    const double ramp = sampRate * riseMs / 1000.0;
    const double step = amplitude / ramp;
    const double increment = frequency * 1024 / sampRate;
    const std::int64_t n = RoundHalfEven(sampRate * seconds);
    double phase = 0.0;
    double amp = amplitude;
    const auto put = [&]() {
        out.push_back(static_cast<std::int16_t>(RoundHalfEven(table[int(std::floor(phase))] * amp)));
        phase += increment;
        while (phase >= 1024)
            phase -= 1024;
    };
    for (std::int64_t i = 0; i < n; ++i) {
        if (i < ramp)
            amp = i * step;
        put();
    }
    while (amp > 0) {
        amp -= step;
        put();
    }
}

inline std::size_t BuffersFor(std::size_t samples, std::size_t bufferLength)
{
    return (samples + bufferLength - 1) / bufferLength;
}

} // namespace kalvo::testing
