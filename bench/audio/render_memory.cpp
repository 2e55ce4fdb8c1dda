// render_memory: renders a long generated text into a sound file and prints the
// seconds of sound, the processor seconds it took (all threads), the ratio of
// the two, and the peak resident memory of the process. It shows that a long
// text is streamed: the peak stays that of a short one. With "answers", the
// text is BYTES words of a list of common ones, each with its spoken answer.
//
//   render_memory FORMAT WPM BYTES OUT [answers]    e.g. render_memory mp3 60 1000000 /tmp/long.mp3
//                                                    render_memory mp3 20 1000 /tmp/words.mp3 answers
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
    const bool answers = argc == 6 && std::string(argv[5]) == "answers";
    if (argc != 5 && !answers) {
        std::fprintf(stderr, "usage: render_memory FORMAT WPM BYTES OUT [answers]\n");
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
    if (answers) {
        static const char* const common[] = {"the",     "name", "rst",     "tnx",   "good",  "time", "here",
                                             "weather", "rig",  "antenna", "power", "very",  "nice", "and",
                                             "from",    "work", "call",    "hope",  "again", "best"};
        for (std::size_t i = 0; i < bytes; ++i)
            job.Text += std::string(common[i % std::size(common)]) + "\r\n";
        job.Answers = kalvo::AnswerLayout{};
    } else {
        while (job.Text.size() < bytes)
            job.Text += words;
        job.Text.resize(bytes);
    }

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const double seconds = double(kalvo::RenderText(job, argv[4])) / kalvo::EngineSetup::SampRate;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double cpu = ProcessorSeconds(after) - ProcessorSeconds(before);
    std::printf(answers ? "%zu words with spoken answers" : "text %zu bytes", bytes);
    std::printf(", %s at %s wpm: %.0f s of sound in %.1f processor seconds (%.0f times real time), "
                "peak memory %ld KiB\n",
                argv[1], argv[2], seconds, cpu, seconds / cpu, after.ru_maxrss);
    return 0;
}
