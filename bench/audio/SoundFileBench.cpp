// How many times faster than real time a text is rendered into a sound file,
// per format: the whole path of the render tool and the window's export (the
// sender, tone synthesis, the sound-output component and the encoder), on one
// thread of work. The counter "x_real_time" is seconds of sound per processor
// second of the whole process (the figure for one core of a busy machine).
#include "audio/EngineSetup.h"
#include "morse/TextRender.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

namespace kalvo {
namespace {

// About two minutes of sound at 20 words per minute.
const std::string Text = [] {
    std::string text;
    for (int i = 0; i < 8; ++i)
        text += "CQ CQ DE KALVO PARIS 599 THE QUICK BROWN FOX ";
    return text;
}();

// Processor seconds of the whole process: the encoder runs on the sound
// component's transfer thread.
double ProcessorSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

enum class Extra { None, Noise, Band };

void BM_RenderFile(benchmark::State& state, SoundFileFormat format, const char* name, Extra extra)
{
    RenderJob job;
    job.Text = Text;
    job.Timing.SetSpeed(20, 20, 800);
    job.File.Format = format;
    if (extra == Extra::Noise)
        job.File.NoiseSnrDb = 6.0;
    if (extra == Extra::Band) {
        // Every condition on.
        BandSettings band;
        band.Noise = band.Qrm = band.Qrn = true;
        band.SnrDb = 6.0;
        band.FilterHz = 500;
        band.Qsb = BandSettings::Fading::Fast;
        band.QrnPerMinute = 30.0;
        job.File.Band = band;
    }
    const std::string path = (std::filesystem::temp_directory_path() / ("kalvo-bench." + std::string(name))).string();
    double seconds = 0.0;
    const double startCpu = ProcessorSeconds();
    for (auto _ : state)
        seconds += double(RenderText(job, path)) / EngineSetup::SampRate;
    const double cpu = ProcessorSeconds() - startCpu;
    std::filesystem::remove(path);
    state.counters["x_real_time"] = seconds / cpu;
}

BENCHMARK_CAPTURE(BM_RenderFile, wav, SoundFileFormat::Wav, "wav", Extra::None)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_RenderFile, flac, SoundFileFormat::Flac, "flac", Extra::None)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_RenderFile, ogg_vorbis, SoundFileFormat::Vorbis, "ogg", Extra::None)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_RenderFile, ogg_opus, SoundFileFormat::Opus, "opus", Extra::None)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_RenderFile, mp3, SoundFileFormat::Mp3, "mp3", Extra::None)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_RenderFile, wav_noise, SoundFileFormat::Wav, "wav", Extra::Noise)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_RenderFile, mp3_noise, SoundFileFormat::Mp3, "mp3", Extra::Noise)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_RenderFile, wav_band_all_on, SoundFileFormat::Wav, "wav", Extra::Band)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

} // namespace
} // namespace kalvo
