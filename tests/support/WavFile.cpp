#include "tests/support/WavFile.h"

#include "tests/support/TempFolder.h"

namespace kalvo::testing {

std::uint16_t Le16(const std::string& b, std::size_t at)
{
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

std::uint32_t Le32(const std::string& b, std::size_t at)
{
    return std::uint32_t(Le16(b, at)) | std::uint32_t(Le16(b, at + 2)) << 16;
}

std::optional<Wav> ReadWav(const std::string& path)
{
    const std::string d = ReadBytes(path);
    if (d.size() < 12 || d.compare(0, 4, "RIFF") != 0 || d.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    Wav wav;
    int bits = 0;
    std::size_t at = 12;
    while (at + 8 <= d.size()) {
        const std::string id = d.substr(at, 4);
        std::size_t size = Le32(d, at + 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && body + 16 <= d.size()) {
            wav.Channels = Le16(d, body + 2);
            wav.Rate = int(Le32(d, body + 4));
            bits = Le16(d, body + 14);
        } else if (id == "data") {
            if (size == 0 || body + size > d.size())
                size = d.size() - body;
            if (bits != 16 || wav.Channels < 1 || wav.Rate <= 0)
                return std::nullopt;
            const std::size_t frame = 2 * std::size_t(wav.Channels);
            for (std::size_t p = body; p + frame <= body + size; p += frame)
                wav.Left.push_back(std::int16_t(Le16(d, p)));
            return wav;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

} // namespace kalvo::testing
