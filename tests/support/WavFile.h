// Reading WAV files back: the ones kalvo-render and the window's export write,
// and recordings of the sound server. Le16 and Le32 read little-endian fields
// of a file's bytes (from ReadBytes); ReadWav reads a 16-bit PCM file chunk by
// chunk and keeps the first channel. A data chunk whose size was never
// finalised (a recorder stopped by a signal) runs to the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalvo::testing {

std::uint16_t Le16(const std::string& bytes, std::size_t at);
std::uint32_t Le32(const std::string& bytes, std::size_t at);

struct Wav {
    int Rate = 0;
    int Channels = 0;
    std::vector<std::int16_t> Left; // the first channel
};

// Nothing for a file that is not RIFF/WAVE with 16-bit samples at a positive rate.
std::optional<Wav> ReadWav(const std::string& path);

} // namespace kalvo::testing
