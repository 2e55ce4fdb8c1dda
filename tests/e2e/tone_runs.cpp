// tone_runs: lists the tones in a 16-bit PCM WAV recording, one line each:
// "<start seconds> <length seconds> <frequency Hz>". A tone is a stretch whose
// samples exceed a threshold, with quiet spells shorter than 5 ms bridged (the
// waveform's own zero crossings); its frequency is counted from the zero
// crossings of the first channel. Used by the end-to-end tests to check what
// came out of the sound server.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Wav {
    int Rate = 0;
    int Channels = 0;
    std::vector<std::int16_t> Left;
};

bool ReadWav(const char* path, Wav& wav)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return false;
    std::size_t pos = 12;
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    const auto u16 = [&](std::size_t at) {
        std::uint16_t v;
        std::memcpy(&v, bytes.data() + at, 2);
        return v;
    };
    while (pos + 8 <= bytes.size()) {
        const std::string id(bytes.data() + pos, 4);
        std::size_t size = u32(pos + 4);
        const std::size_t body = pos + 8;
        if (id == "fmt ") {
            wav.Channels = u16(body + 2);
            wav.Rate = int(u32(body + 4));
            if (u16(body + 14) != 16)
                return false;
        } else if (id == "data") {
            // A recorder stopped by a signal may leave the size unset.
            if (size == 0 || size == 0xFFFFFFFFu || body + size > bytes.size())
                size = bytes.size() - body;
            const std::size_t frames = size / (2u * std::size_t(wav.Channels));
            for (std::size_t f = 0; f < frames; ++f) {
                std::int16_t s;
                std::memcpy(&s, bytes.data() + body + f * 2u * std::size_t(wav.Channels), 2);
                wav.Left.push_back(s);
            }
            return wav.Rate > 0;
        }
        pos = body + size + (size & 1u);
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: tone_runs FILE.wav [threshold]\n";
        return 2;
    }
    Wav wav;
    if (!ReadWav(argv[1], wav)) {
        std::cerr << "tone_runs: cannot read " << argv[1] << " as 16-bit PCM WAV\n";
        return 1;
    }
    const int threshold = argc > 2 ? std::atoi(argv[2]) : 1500;
    const std::size_t bridge = std::size_t(wav.Rate) / 200; // 5 ms
    const auto& s = wav.Left;
    std::size_t i = 0;
    while (i < s.size()) {
        if (std::abs(int(s[i])) < threshold) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        std::size_t last = i;
        for (; i < s.size(); ++i) {
            if (std::abs(int(s[i])) >= threshold)
                last = i;
            else if (i - last > bridge)
                break;
        }
        int crossings = 0;
        for (std::size_t k = start + 1; k <= last; ++k)
            if ((s[k - 1] < 0) != (s[k] < 0))
                ++crossings;
        const double length = double(last - start + 1) / wav.Rate;
        const double frequency = length > 0 ? crossings / 2.0 / length : 0.0;
        std::printf("%.4f %.4f %.1f\n", double(start) / wav.Rate, length, frequency);
        i = last + 1;
    }
    return 0;
}
