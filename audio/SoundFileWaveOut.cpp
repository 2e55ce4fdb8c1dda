#include "audio/SoundFileWaveOut.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kalvo {

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int LibraryFormat(SoundFileFormat format)
{
    switch (format) {
    case SoundFileFormat::Wav:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SoundFileFormat::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case SoundFileFormat::Vorbis:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case SoundFileFormat::Opus:
        return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case SoundFileFormat::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return 0;
}

// Headroom for the noise: peaks beyond four standard deviations are rare
// enough that clipping them changes no measurable power.
constexpr double NoisePeakFactor = 4.0;
constexpr double FullScale = 32767.0;

} // namespace

std::optional<SoundFileFormat> FormatForFileName(const std::string& path)
{
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    return FormatForName(path.substr(dot + 1));
}

std::optional<SoundFileFormat> FormatForName(const std::string& name)
{
    const std::string n = Lower(name);
    if (n == "wav")
        return SoundFileFormat::Wav;
    if (n == "flac")
        return SoundFileFormat::Flac;
    if (n == "vorbis" || n == "ogg")
        return SoundFileFormat::Vorbis;
    if (n == "opus")
        return SoundFileFormat::Opus;
    if (n == "mp3")
        return SoundFileFormat::Mp3;
    return std::nullopt;
}

bool IsLossy(SoundFileFormat format)
{
    return format != SoundFileFormat::Wav && format != SoundFileFormat::Flac;
}

SoundFileWaveOut::SoundFileWaveOut(std::string path, FileOptions options)
    : FPath(std::move(path)), FOptions(options) { }

SoundFileWaveOut::~SoundFileWaveOut()
{
    std::lock_guard lock(FLock);
    if (FFile)
        FinishFile();
}

int SoundFileWaveOut::Query(int, const WaveFormat& format)
{
    return format.FormatTag == 1 && format.BitsPerSample == 16 && format.Channels == 1 && format.SamplesPerSec > 0
        ? MMSYSERR_NOERROR
        : WAVERR_BADFORMAT;
}

int SoundFileWaveOut::Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
                           std::uintptr_t instance)
{
    std::lock_guard lock(FLock);
    if (FFile)
        return MMSYSERR_ALLOCATED;
    if (Query(device, format) != MMSYSERR_NOERROR)
        return WAVERR_BADFORMAT;
    SF_INFO info{};
    info.samplerate = static_cast<int>(format.SamplesPerSec);
    info.channels = 1;
    info.format = LibraryFormat(FOptions.Format);
    FFile = sf_open(FPath.c_str(), SFM_WRITE, &info);
    if (!FFile) {
        FReason = sf_strerror(nullptr);
        return CannotCreate;
    }
    if (IsLossy(FOptions.Format)) {
        double level = 1.0 - std::clamp(FOptions.Quality, 0.0, 10.0) / 10.0;
        // The library's Opus scale runs to some 230 kbit/s for music; a tone
        // below 4 kHz gains nothing beyond a quarter of it (about 64 kbit/s).
        if (FOptions.Format == SoundFileFormat::Opus)
            level = 1.0 - (1.0 - level) / 4.0;
        sf_command(FFile, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    }
    FNoise.reset();
    FBand.reset();
    FGain = 1.0;
    if (FOptions.Band && FOptions.Band->AnyOn()) {
        const BandConditions::Signal signal{double(format.SamplesPerSec), FOptions.ToneHz, FOptions.TonePower,
                                            FOptions.TonePeak};
        FBand = std::make_unique<BandConditions>(*FOptions.Band, signal, FOptions.Patterns);
        FGain = std::min(1.0, FullScale / FBand->Peak());
    } else if (FOptions.NoiseSnrDb) {
        const double snr = std::pow(10.0, *FOptions.NoiseSnrDb / 10.0);
        const double density = FOptions.TonePower / (snr * FileOptions::SnrBandwidthHz);
        FNoise = std::make_unique<BandNoise>(format.SamplesPerSec, density, FOptions.Seed);
        const double peak = FOptions.TonePeak + NoisePeakFactor * std::sqrt(FNoise->Power());
        FGain = std::min(1.0, FullScale / peak);
    }
    FCallback = callback;
    FInstance = instance;
    FBuffersWritten = 0;
    FWriteFailed = false;
    FClosedWell = false;
    *handle = Handle;
    return MMSYSERR_NOERROR;
}

int SoundFileWaveOut::PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FLock);
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    return MarkPrepared(header, size);
}

int SoundFileWaveOut::UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FLock);
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    return MarkUnprepared(header, size);
}

bool SoundFileWaveOut::Encode(const std::int16_t* samples, std::size_t count)
{
    const bool lossy = IsLossy(FOptions.Format);
    const bool plain = !FNoise && !FBand;
    auto mix = [this](double sample) {
        return FBand ? FGain * FBand->Mix(sample) : FNoise ? FGain * (sample + FNoise->Next()) : sample;
    };
    if (plain && !lossy)
        return sf_write_short(FFile, samples, static_cast<sf_count_t>(count)) == static_cast<sf_count_t>(count);
    if (!lossy) {
        std::vector<std::int16_t> mixed(count);
        for (std::size_t i = 0; i < count; ++i) {
            const double v = std::round(mix(samples[i]));
            mixed[i] = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
        }
        return sf_write_short(FFile, mixed.data(), static_cast<sf_count_t>(count)) == static_cast<sf_count_t>(count);
    }
    FIn.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double v = mix(samples[i]);
        FIn[i] = static_cast<float>(std::clamp(v, -32768.0, 32767.0) / 32768.0);
    }
    return sf_write_float(FFile, FIn.data(), static_cast<sf_count_t>(count)) == static_cast<sf_count_t>(count);
}

int SoundFileWaveOut::Write(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    WaveOutProc callback;
    std::uintptr_t instance;
    {
        std::lock_guard lock(FLock);
        if (!ValidHandle(handle))
            return MMSYSERR_INVALHANDLE;
        if (int rc = CheckWritable(header, size); rc != MMSYSERR_NOERROR)
            return rc;
        if (!FWriteFailed && !Encode(reinterpret_cast<const std::int16_t*>(header->Data), header->BufferLength / 2)) {
            FWriteFailed = true;
            if (FReason.empty())
                FReason = sf_strerror(FFile);
        }
        MarkDone(*header);
        ++FBuffersWritten;
        callback = FCallback;
        instance = FInstance;
    }
    FWrittenChanged.notify_all();
    // Done at once, even when the encoder failed: the writer must not wait for
    // a buffer that will never come back. The failure shows at Close.
    if (callback)
        callback(Handle, WOM_DONE, instance, reinterpret_cast<std::uintptr_t>(header), 0);
    return MMSYSERR_NOERROR;
}

int SoundFileWaveOut::Reset(WaveOutHandle handle)
{
    std::lock_guard lock(FLock);
    return ValidHandle(handle) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

int SoundFileWaveOut::Close(WaveOutHandle handle)
{
    std::lock_guard lock(FLock);
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    // The owner asks Failure(): the sound component closes the device while it
    // is torn down, where a failure could only go to standard error.
    FinishFile();
    return MMSYSERR_NOERROR;
}

int SoundFileWaveOut::FinishFile()
{
    bool ok = !FWriteFailed;
    if (ok && sf_error(FFile) != SF_ERR_NO_ERROR)
        ok = false;
    if (!ok && FReason.empty())
        FReason = sf_strerror(FFile);
    if (sf_close(FFile) != 0 && ok) {
        ok = false;
        FReason = "the encoder could not finish the file";
    }
    FFile = nullptr;
    FCallback = nullptr;
    FClosedWell = ok;
    return ok ? MMSYSERR_NOERROR : CannotWrite;
}

std::string SoundFileWaveOut::ErrorText(int code)
{
    std::lock_guard lock(FLock);
    return TextFor(code);
}

std::string SoundFileWaveOut::TextFor(int code) const
{
    const std::string why = FReason.empty() ? std::string() : " (" + FReason + ")";
    if (code == CannotCreate)
        return "Cannot create file " + FPath + why;
    if (code == CannotWrite)
        return "Cannot write file " + FPath + why;
    return WaveOutErrorText(code);
}

void SoundFileWaveOut::WaitForWritten(std::uint64_t count) const
{
    std::unique_lock lock(FLock);
    FWrittenChanged.wait(lock, [&] { return FBuffersWritten >= count; });
}

std::optional<std::string> SoundFileWaveOut::Failure() const
{
    std::lock_guard lock(FLock);
    if (FClosedWell)
        return std::nullopt;
    return TextFor(CannotWrite);
}

} // namespace kalvo
