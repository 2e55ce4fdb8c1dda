// tone_runs: lists the tones in a 16-bit PCM WAV recording, one line each:
// "<start seconds> <length seconds> <frequency Hz>". A tone is a stretch whose
// samples reach a threshold, with quiet spells of up to 5 ms bridged (the
// waveform's own zero crossings); its frequency is counted from the zero
// crossings of the first channel. Used by the end-to-end tests to check what
// came out of the sound server.
#include "tests/support/ToneRuns.h"
#include "tests/support/WavFile.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: tone_runs FILE.wav [threshold]\n";
        return 2;
    }
    const auto wav = kalvo::testing::ReadWav(argv[1]);
    if (!wav) {
        std::cerr << "tone_runs: cannot read " << argv[1] << " as 16-bit PCM WAV\n";
        return 1;
    }
    const int threshold = argc > 2 ? std::atoi(argv[2]) : 1500;
    const std::size_t bridge = std::size_t(wav->Rate) / 200; // 5 ms
    const auto& s = wav->Left;
    for (const auto& run : kalvo::testing::ToneRuns(s, bridge, threshold)) {
        int crossings = 0;
        for (std::size_t k = run.Start + 1; k < run.Start + run.Length; ++k)
            if ((s[k - 1] < 0) != (s[k] < 0))
                ++crossings;
        const double length = double(run.Length) / wav->Rate;
        const double frequency = length > 0 ? crossings / 2.0 / length : 0.0;
        std::printf("%.4f %.4f %.1f\n", double(run.Start) / wav->Rate, length, frequency);
    }
    return 0;
}
