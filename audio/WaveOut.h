// The wave-out layer: the small set of device operations the sound-output
// component (TOutSound) relies on, with the calling conventions of a classic
// wave-out API.
//
//  - Query: does the device accept this format? Opens nothing.
//  - Open: opens the device and registers a done-callback with an instance
//    value; afterwards every finished buffer is reported as WOM_DONE, in the
//    order the buffers were written, from the device's own context.
//  - PrepareHeader / UnprepareHeader: per-buffer preparation and release.
//  - Write: queues a prepared buffer for gapless playback after the earlier ones.
//  - Reset: stops playback and returns every queued buffer as done.
//  - Close, ErrorText (the text for a result code).
//  - The playback clock: when a device begins to play a written buffer it
//    stamps the header's SoundsAt with the moment the buffer's first sample
//    leaves the device, on std::chrono::steady_clock (see StampSoundsAt); a
//    buffer returned unplayed (by Reset, or refused) keeps 0. Each write is
//    stamped afresh, so the clock survives a stream restarted in between.
// Every operation returns 0 (MMSYSERR_NOERROR) on success, else an error code.
// The size passed with a header is sizeof(WaveHeader); a smaller one is refused
// with MMSYSERR_INVALPARAM.
// Implementations: PortAudioWaveOut (the default output device; a library of
// its own, so that only the program and the tests of the real sound path link
// PortAudio), SoundFileWaveOut (encodes into a sound file through libsndfile,
// completes at once), and for tests TestWaveOut in tests/support (records
// buffers, completes on demand or at once).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace kalvo {

using WaveOutHandle = std::uintptr_t;

// The format description handed to Query and Open (16-bit integer PCM).
struct WaveFormat {
    std::uint16_t FormatTag = 1; // PCM
    std::uint16_t Channels = 1;
    std::uint32_t SamplesPerSec = 0;
    std::uint32_t AvgBytesPerSec = 0;
    std::uint16_t BlockAlign = 0;
    std::uint16_t BitsPerSample = 16;
    std::uint16_t ExtraSize = 0;
};

// One buffer's header, as the device sees it.
struct WaveHeader {
    char* Data = nullptr;
    std::uint32_t BufferLength = 0; // bytes
    std::uint32_t BytesRecorded = 0;
    std::uintptr_t User = 0;
    std::uint32_t Flags = 0;
    std::uint32_t Loops = 0;
    WaveHeader* Next = nullptr;
    std::uintptr_t Reserved = 0;
    // Steady-clock nanoseconds at which the first sample sounds; 0 while not
    // known. Written by the device's playing context and read by the writer,
    // so only through StampSoundsAt and SoundsAtOf.
    std::int64_t SoundsAt = 0;
};

inline void StampSoundsAt(WaveHeader& header, std::chrono::steady_clock::time_point at)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
    std::atomic_ref(header.SoundsAt).store(ns == 0 ? 1 : ns, std::memory_order_release);
}

inline void ClearSoundsAt(WaveHeader& header)
{
    std::atomic_ref(header.SoundsAt).store(0, std::memory_order_release);
}

// The moment the header's first sample sounds(ed); empty while not known.
inline std::optional<std::chrono::steady_clock::time_point> SoundsAtOf(WaveHeader& header)
{
    const std::int64_t ns = std::atomic_ref(header.SoundsAt).load(std::memory_order_acquire);
    if (ns == 0)
        return std::nullopt;
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
}

constexpr std::uint32_t WHDR_DONE = 0x01;
constexpr std::uint32_t WHDR_PREPARED = 0x02;
constexpr std::uint32_t WHDR_INQUEUE = 0x10;

constexpr unsigned WOM_OPEN = 0x3BB;
constexpr unsigned WOM_CLOSE = 0x3BC;
constexpr unsigned WOM_DONE = 0x3BD; // 957

constexpr int MMSYSERR_NOERROR = 0;
constexpr int MMSYSERR_ERROR = 1;
constexpr int MMSYSERR_BADDEVICEID = 2;
constexpr int MMSYSERR_ALLOCATED = 4;
constexpr int MMSYSERR_INVALHANDLE = 5;
constexpr int MMSYSERR_NODRIVER = 6;
constexpr int MMSYSERR_NOMEM = 7;
constexpr int MMSYSERR_INVALPARAM = 11;
constexpr int WAVERR_BADFORMAT = 32;
constexpr int WAVERR_STILLPLAYING = 33;
constexpr int WAVERR_UNPREPARED = 34;

constexpr int WAVE_MAPPER = -1; // the system's default output device

// The done-callback: (device handle, message, instance value, param1, param2).
// For WOM_DONE, param1 is the address of the finished WaveHeader.
using WaveOutProc = void (*)(WaveOutHandle, unsigned, std::uintptr_t, std::uintptr_t, std::uintptr_t);

// The texts of the result codes above, shared by the devices; codes of the
// device's own kind (e.g. PortAudio's negative codes) are mapped by the device.
inline std::string WaveOutErrorText(int code)
{
    switch (code) {
    case MMSYSERR_NOERROR:
        return "The command completed successfully.";
    case MMSYSERR_ERROR:
        return "An unspecified error occurred in the sound output device.";
    case MMSYSERR_BADDEVICEID:
        return "The sound output device number is out of range.";
    case MMSYSERR_ALLOCATED:
        return "The sound output device is already in use.";
    case MMSYSERR_INVALHANDLE:
        return "The sound output device handle is invalid.";
    case MMSYSERR_NODRIVER:
        return "No sound output device is available.";
    case MMSYSERR_NOMEM:
        return "The sound output device could not get the memory it needs.";
    case MMSYSERR_INVALPARAM:
        return "An invalid parameter was passed to the sound output device.";
    case WAVERR_BADFORMAT:
        return "The sound output device does not support the requested sound format.";
    case WAVERR_STILLPLAYING:
        return "The buffer is still playing.";
    case WAVERR_UNPREPARED:
        return "The buffer has not been prepared.";
    default:
        return "Unknown sound output error " + std::to_string(code) + ".";
    }
}

// The header bookkeeping every device shares once it has checked its handle:
// preparing marks a header prepared; releasing refuses a header still queued.
inline int MarkPrepared(WaveHeader* header, unsigned size)
{
    if (header == nullptr || size < sizeof(WaveHeader))
        return MMSYSERR_INVALPARAM;
    header->Flags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

inline int MarkUnprepared(WaveHeader* header, unsigned size)
{
    if (header == nullptr || size < sizeof(WaveHeader))
        return MMSYSERR_INVALPARAM;
    if (header->Flags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->Flags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

// What every device checks of a header it is given to play.
inline int CheckWritable(const WaveHeader* header, unsigned size)
{
    if (header == nullptr || size < sizeof(WaveHeader))
        return MMSYSERR_INVALPARAM;
    if (!(header->Flags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    return MMSYSERR_NOERROR;
}

// What a device that plays from the header's memory checks before preparing
// it, and before queuing it.
inline int MarkPreparedWithData(WaveHeader* header, unsigned size)
{
    if (header != nullptr && header->Data == nullptr)
        return MMSYSERR_INVALPARAM;
    return MarkPrepared(header, size);
}

inline int CheckQueueable(const WaveHeader* header, unsigned size)
{
    if (int rc = CheckWritable(header, size); rc != MMSYSERR_NOERROR)
        return rc;
    return header->Flags & WHDR_INQUEUE ? WAVERR_STILLPLAYING : MMSYSERR_NOERROR;
}

inline void MarkQueued(WaveHeader& header)
{
    header.Flags = (header.Flags & ~WHDR_DONE) | WHDR_INQUEUE;
}

inline void MarkDone(WaveHeader& header)
{
    header.Flags = (header.Flags & ~WHDR_INQUEUE) | WHDR_DONE;
}

class WaveOutDevice {
public:
    virtual ~WaveOutDevice() = default;
    virtual int Query(int device, const WaveFormat& format) = 0;
    virtual int Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
                     std::uintptr_t instance) = 0;
    virtual int PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) = 0;
    virtual int UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) = 0;
    virtual int Write(WaveOutHandle handle, WaveHeader* header, unsigned size) = 0;
    virtual int Reset(WaveOutHandle handle) = 0;
    virtual int Close(WaveOutHandle handle) = 0;
    virtual std::string ErrorText(int code) = 0;
};

} // namespace kalvo
