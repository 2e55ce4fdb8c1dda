// render_memory: renders a long generated text into a sound file and prints the
// seconds of sound, the processor seconds it took (all threads), the ratio of
// the two, and the peak resident memory of the process. It shows that a long
// text is streamed: the peak stays that of a short one.
//
//   render_memory FORMAT WPM BYTES OUT    e.g. render_memory mp3 60 1000000 /tmp/long.mp3
#include "audio/EngineSetup.h"
#include "morse/TextRender.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double ProcessorSeconds(const rusage& u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: render_memory FORMAT WPM BYTES OUT\n");
        return 2;
    }
    const auto format = kalvo::FormatForName(argv[1]);
    if (!format) {
        std::fprintf(stderr, "render_memory: unknown format %s\n", argv[1]);
        return 2;
    }
    kalvo::RenderJob job;
    const int wpm = std::atoi(argv[2]);
    job.Timing.SetSpeed(wpm, wpm, 800);
    job.File.Format = *format;
    const std::size_t bytes = std::strtoul(argv[3], nullptr, 10);
    static const std::string words = "CQ CQ DE KALVO PARIS 599 THE QUICK BROWN FOX\r\n";
    while (job.Text.size() < bytes)
        job.Text += words;
    job.Text.resize(bytes);

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const double seconds = double(kalvo::RenderText(job, argv[4])) / kalvo::EngineSetup::SampRate;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double cpu = ProcessorSeconds(after) - ProcessorSeconds(before);
    std::printf("text %zu bytes, %s at %s wpm: %.0f s of sound in %.1f processor seconds (%.0f times real time), "
                "peak memory %ld KiB\n",
                bytes, argv[1], argv[2], seconds, cpu, seconds / cpu, after.ru_maxrss);
    return 0;
}
