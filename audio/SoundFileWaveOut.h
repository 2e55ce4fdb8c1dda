// SoundFileWaveOut: a wave-out device that encodes everything it is given into
// a sound file (WAV, FLAC, Ogg Vorbis, Ogg Opus or MP3) through libsndfile,
// instead of playing it. Every buffer written is handed to the encoder in order
// of writing and reported done at once (inside Write), so the file is written as
// fast as the sender makes samples and never holds more than a buffer of them in
// memory.
//
// Without noise, WAV and FLAC keep the 16-bit samples exactly, and the lossy
// encoders are given exactly those samples at the sender's rate: all of them
// take 8000 samples per second (Opus codes it as its narrow band, and its
// decoders play it at any rate), so nothing is resampled. With noise
// (FileOptions::NoiseSnrDb), BandNoise is added at the sender's rate, and the
// sum is scaled down just enough to keep clear of the 16-bit limits (the ratio
// of tone to noise stays what was asked for). With band conditions
// (FileOptions::Band, any of them on) the same is done with BandConditions in
// place of the plain noise.
//
// The signal-to-noise ratio is the keyed tone's power (TonePower, the mean
// square of a steady tone in sample units) over the noise power in a 2500 Hz
// bandwidth.
//
// Open creates (or truncates) the file; a file that cannot be created gives
// CannotCreate, an encoder that fails gives CannotWrite, both with a text that
// names the file and says why. Close finishes the file and always succeeds;
// whether the file is whole is told by Failure() afterwards. One open at a
// time; thread-safe.
#pragma once

#include "audio/BandConditions.h"
#include "audio/BandNoise.h"
#include "audio/WaveOut.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace kalvo {

enum class SoundFileFormat { Wav, Flac, Vorbis, Opus, Mp3 };

// The format a file name's extension stands for (.wav, .flac, .ogg, .opus,
// .mp3, in any case, or the other names FormatForName knows); nothing for any
// other name.
std::optional<SoundFileFormat> FormatForFileName(const std::string& path);
// The format a --format word names: wav, flac, vorbis (or ogg), opus, mp3.
std::optional<SoundFileFormat> FormatForName(const std::string& name);
bool IsLossy(SoundFileFormat format);

struct FileOptions {
    SoundFileFormat Format = SoundFileFormat::Wav;
    // 0 (smallest file) to 10 (best sound), for the lossy formats.
    double Quality = DefaultQuality;
    std::optional<double> NoiseSnrDb;
    std::uint64_t Seed = 1;
    double TonePower = 0.0; // of the keyed tone, squared sample units
    double TonePeak = 0.0; // of the keyed tone, sample units
    // Band conditions, in place of the plain noise above when any is on.
    std::optional<BandSettings> Band;
    double ToneHz = 800.0;
    BandConditions::PatternOf Patterns; // for the second station

    // Enough for clear Morse in a speech-band file of modest size.
    static constexpr double DefaultQuality = 5.0;
    static constexpr double SnrBandwidthHz = 2500.0;
};

class SoundFileWaveOut : public WaveOutDevice {
public:
    SoundFileWaveOut(std::string path, FileOptions options);
    ~SoundFileWaveOut() override;
    SoundFileWaveOut(const SoundFileWaveOut&) = delete;
    SoundFileWaveOut& operator=(const SoundFileWaveOut&) = delete;

    int Query(int device, const WaveFormat& format) override;
    int Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
             std::uintptr_t instance) override;
    int PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Write(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Reset(WaveOutHandle handle) override;
    int Close(WaveOutHandle handle) override;
    std::string ErrorText(int code) override;

    // Blocks until count buffers have been written since Open.
    void WaitForWritten(std::uint64_t count) const;
    // After Close: nothing when the file was finished whole, else the text of
    // what went wrong.
    std::optional<std::string> Failure() const;

    static constexpr int CannotCreate = 1001;
    static constexpr int CannotWrite = 1002;
    static constexpr WaveOutHandle Handle = 0x3A80;

private:
    bool Encode(const std::int16_t* samples, std::size_t count); // with FLock held
    int FinishFile();
    std::string TextFor(int code) const; // with FLock held
    bool ValidHandle(WaveOutHandle handle) const { return FFile && handle == Handle; }

    const std::string FPath;
    const FileOptions FOptions;
    mutable std::mutex FLock;
    mutable std::condition_variable FWrittenChanged;
    SNDFILE* FFile = nullptr;
    std::unique_ptr<BandNoise> FNoise;
    std::unique_ptr<BandConditions> FBand;
    double FGain = 1.0;
    WaveOutProc FCallback = nullptr;
    std::uintptr_t FInstance = 0;
    std::uint64_t FBuffersWritten = 0;
    bool FWriteFailed = false;
    bool FClosedWell = false;
    std::string FReason; // the library's text for the last failure
    std::vector<float> FIn;
};

} // namespace kalvo
