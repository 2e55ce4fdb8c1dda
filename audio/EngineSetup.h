// The sound engine as the program runs it: 16-bit mono at 8000 samples per
// second, in a ring of three buffers of 4000 samples (half a second each, so
// the writer runs at most 1.5 s ahead of what is heard). The window, the render
// tool, the benchmarks and the test rigs all configure their TOutSound with
// ConfigureEngine, so that they play exactly what the program plays.
#pragma once

#include "audio/TOutSound1.h"

namespace kalvo {

struct EngineSetup {
    static constexpr int SampRate = 8000;
    static constexpr int BufferLength = 4000;
    static constexpr int Buffers = 3;
};

// Sets the sample rate, the buffer length and the number of buffers; device
// and channels keep their defaults (the default device, mono). Call before
// Initialize.
inline void ConfigureEngine(TOutSound& out)
{
    out.SetSampRate(EngineSetup::SampRate);
    out.SetBufferLength(EngineSetup::BufferLength);
    out.SetBuffers(EngineSetup::Buffers);
}

} // namespace kalvo
