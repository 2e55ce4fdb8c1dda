#include "audio/WavFileWaveOut.h"

#include <algorithm>
#include <array>

namespace kalvo {

namespace {

constexpr long HeaderBytes = 44;

void Put16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void Put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// The canonical 44-byte header of a PCM file with dataBytes of samples.
std::array<unsigned char, HeaderBytes> MakeHeader(const WaveFormat& f, std::uint32_t dataBytes)
{
    std::array<unsigned char, HeaderBytes> h{};
    std::copy_n("RIFF", 4, h.begin());
    Put32(&h[4], 36 + dataBytes);
    std::copy_n("WAVEfmt ", 8, h.begin() + 8);
    Put32(&h[16], 16);
    Put16(&h[20], 1);
    Put16(&h[22], f.Channels);
    Put32(&h[24], f.SamplesPerSec);
    Put32(&h[28], f.SamplesPerSec * f.Channels * 2u);
    Put16(&h[32], f.Channels * 2u);
    Put16(&h[34], 16);
    std::copy_n("data", 4, h.begin() + 36);
    Put32(&h[40], dataBytes);
    return h;
}

bool Acceptable(const WaveFormat& f)
{
    return f.FormatTag == 1 && f.BitsPerSample == 16 && f.Channels >= 1 && f.SamplesPerSec > 0;
}

} // namespace

WavFileWaveOut::WavFileWaveOut(std::string path) : FPath(std::move(path)) { }

WavFileWaveOut::~WavFileWaveOut()
{
    std::lock_guard lock(FLock);
    if (FFile)
        FinishFile();
}

int WavFileWaveOut::Query(int, const WaveFormat& format)
{
    return Acceptable(format) ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}

int WavFileWaveOut::Open(WaveOutHandle* handle, int, const WaveFormat& format, WaveOutProc callback,
                         std::uintptr_t instance)
{
    std::lock_guard lock(FLock);
    if (FFile)
        return MMSYSERR_ALLOCATED;
    if (!Acceptable(format))
        return WAVERR_BADFORMAT;
    FFile = std::fopen(FPath.c_str(), "wb");
    if (!FFile)
        return CannotCreate;
    // Sizes stay 0 until Close patches them in.
    auto header = MakeHeader(format, 0);
    if (std::fwrite(header.data(), 1, header.size(), FFile) != header.size()) {
        std::fclose(FFile);
        FFile = nullptr;
        return CannotWrite;
    }
    FCallback = callback;
    FInstance = instance;
    FDataBytes = 0;
    FBuffersWritten = 0;
    FWriteFailed = false;
    *handle = Handle;
    return MMSYSERR_NOERROR;
}

int WavFileWaveOut::PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FLock);
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    return MarkPrepared(header, size);
}

int WavFileWaveOut::UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FLock);
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    return MarkUnprepared(header, size);
}

int WavFileWaveOut::Write(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    WaveOutProc callback;
    std::uintptr_t instance;
    {
        std::lock_guard lock(FLock);
        if (!ValidHandle(handle))
            return MMSYSERR_INVALHANDLE;
        if (int rc = CheckWritable(header, size); rc != MMSYSERR_NOERROR)
            return rc;
        // WAV data is little-endian whatever the machine is.
        std::size_t count = header->BufferLength / 2;
        const auto* samples = reinterpret_cast<const std::int16_t*>(header->Data);
        std::vector<unsigned char>& bytes = FScratch;
        bytes.resize(count * 2);
        for (std::size_t i = 0; i < count; ++i)
            Put16(&bytes[2 * i], static_cast<std::uint16_t>(samples[i]));
        // The file takes the buffer at once: its sound leaves the device now.
        StampSoundsAt(*header, std::chrono::steady_clock::now());
        if (std::fwrite(bytes.data(), 1, bytes.size(), FFile) != bytes.size())
            FWriteFailed = true;
        else
            FDataBytes += bytes.size();
        header->Flags = (header->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
        ++FBuffersWritten;
        callback = FCallback;
        instance = FInstance;
    }
    FWrittenChanged.notify_all();
    // Done at once, even when the disk refused the data: the writer must not
    // wait for a buffer that will never come back. The failure shows at Close.
    if (callback)
        callback(Handle, WOM_DONE, instance, reinterpret_cast<std::uintptr_t>(header), 0);
    return MMSYSERR_NOERROR;
}

int WavFileWaveOut::Reset(WaveOutHandle handle)
{
    std::lock_guard lock(FLock);
    return ValidHandle(handle) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

int WavFileWaveOut::Close(WaveOutHandle handle)
{
    std::lock_guard lock(FLock);
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    return FinishFile();
}

int WavFileWaveOut::FinishFile()
{
    // Patch the sizes even after a failed write, so that what did reach the
    // disk stays playable.
    bool ok = std::fflush(FFile) == 0;
    std::uint32_t dataBytes = static_cast<std::uint32_t>(FDataBytes);
    unsigned char sizes[4];
    if (ok) {
        Put32(sizes, 36 + dataBytes);
        ok = std::fseek(FFile, 4, SEEK_SET) == 0 && std::fwrite(sizes, 1, 4, FFile) == 4;
    }
    if (ok) {
        Put32(sizes, dataBytes);
        ok = std::fseek(FFile, 40, SEEK_SET) == 0 && std::fwrite(sizes, 1, 4, FFile) == 4;
    }
    if (std::fclose(FFile) != 0 || FWriteFailed)
        ok = false;
    FFile = nullptr;
    FCallback = nullptr;
    return ok ? MMSYSERR_NOERROR : CannotWrite;
}

std::string WavFileWaveOut::ErrorText(int code)
{
    if (code == CannotCreate)
        return "Cannot create file " + FPath;
    if (code == CannotWrite)
        return "Cannot write file " + FPath;
    return WaveOutErrorText(code);
}

std::uint64_t WavFileWaveOut::BytesWritten() const
{
    std::lock_guard lock(FLock);
    return FDataBytes;
}

void WavFileWaveOut::WaitForWritten(std::uint64_t count) const
{
    std::unique_lock lock(FLock);
    FWrittenChanged.wait(lock, [&] { return FBuffersWritten >= count; });
}

} // namespace kalvo
