// Cost of handing samples to the sound-output component when the device never
// holds the writer back (it finishes every buffer as soon as it gets it).
#include "audio/EngineSetup.h"
#include "audio/TOutSound1.h"
#include "tests/support/TestWaveOut.h"

#include <benchmark/benchmark.h>

namespace kalvo {
namespace {

void BM_SendSample(benchmark::State& state)
{
    TestWaveOut device(TestWaveOut::Completion::Immediate);
    device.KeepSamples(false); // count buffers only, so memory stays flat
    TOutSound out(device);
    ConfigureEngine(out);
    out.SetBufferLength(static_cast<int>(state.range(0)));
    out.Initialize();
    std::int16_t v = 0;
    for (auto _ : state) {
        out.SendSample(SamplePair{v, v});
        ++v;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["samples/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
// The program's buffers of 4000, and the declared default of 20000.
BENCHMARK(BM_SendSample)->Arg(EngineSetup::BufferLength)->Arg(20000)->UseRealTime();

} // namespace
} // namespace kalvo
