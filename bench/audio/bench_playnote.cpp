// Samples per second that PlayNote produces into the sound-output component
// when the device never holds the writer back, alone and with the event
// handling the program runs after every sample.
#include "audio/EngineSetup.h"
#include "audio/TOutSound1.h"
#include "audio/ToneSynth.h"
#include "tests/support/TestWaveOut.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

namespace kalvo {
namespace {

enum Hook { NoHook = 0, EmptyHook = 1, QtEvents = 2 };

void BM_PlayNote(benchmark::State& state)
{
    TestWaveOut device(TestWaveOut::Completion::Immediate);
    device.KeepSamples(false);
    TOutSound out(device);
    ConfigureEngine(out);
    out.Initialize();
    ToneSynth synth(out);
    synth.BuildStartupTable();
    std::int64_t samples = 0;
    switch (state.range(1)) {
    case EmptyHook:
        synth.ProcessEvents = [&samples] { ++samples; };
        break;
    case QtEvents:
        synth.ProcessEvents = [&samples] {
            ++samples;
            QCoreApplication::processEvents();
        };
        break;
    default:
        break;
    }
    const double amplitude = state.range(0) ? 20000.0 : 0.0;
    // One second of samples, plus the 39-sample fall of a tone.
    const std::int64_t perNote = EngineSetup::SampRate + (amplitude > 0 ? 39 : 0);
    for (auto _ : state)
        synth.PlayNote(800.0, 1.0, amplitude);
    state.SetItemsProcessed(state.iterations() * perNote);
    state.counters["samples/s"] = benchmark::Counter(static_cast<double>(state.iterations() * perNote),
                                                     benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(samples);
}
// Args: tone (1) or gap (0); no hook, an empty hook, Qt's processEvents.
BENCHMARK(BM_PlayNote)
    ->ArgNames({"tone", "hook"})
    ->Args({1, NoHook})
    ->Args({0, NoHook})
    ->Args({1, EmptyHook})
    ->Args({1, QtEvents})
    ->Args({0, QtEvents})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace kalvo

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
