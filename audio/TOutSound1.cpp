#include "audio/TOutSound1.h"

#include "audio/OutTh1.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kalvo {

namespace {

constexpr std::size_t ErrorTextSize = 256; // terminator included

} // namespace

void WaveOutCallback(WaveOutHandle, unsigned message, std::uintptr_t instance, std::uintptr_t, std::uintptr_t)
{
    // The device hands back the instance value given at open as a number, as the
    // wave-out interface does; it is the address of the component's BufferReturn.
    if (message != WOM_DONE)
        return;
    auto* returns = reinterpret_cast<BufferReturn*>(instance); // NOLINT(performance-no-int-to-ptr)
    returns->FreeBuffers->release();
    if (returns->Tell)
        returns->Tell();
}

TOutSound::TOutSound(WaveOutDevice& device) : FWaveOut(device) { }

TOutSound::~TOutSound()
{
    if (FInitStage >= 2) {
        if (FInitStage >= 4) {
            // The thread usually sleeps on FilledBuffers: wake it and wait for
            // it, so that it never touches the ring or the device again.
            TransferThread->Terminate();
            FilledBuffers->release();
            TransferThread->Join();
            TransferThread.reset();
        }
        if (!CloseDevice()) {
            // The device may still hold our buffers and call back into
            // FreeBuffers; at the end of the program a leak is harmless, a
            // write into freed memory is not.
            (void)FreeBuffers.release();
            (void)Returns.release();
            (void)FilledBuffers.release();
            (void)Ring.release();
        }
    }
    Ring.reset();
    FreeBuffers.reset();
    Returns.reset();
    FilledBuffers.reset();
    FInitStage = 0;
}

bool TOutSound::CloseDevice() noexcept
{
    try {
        int rc = FWaveOut.Reset(FWaveOutHandle);
        if (rc == MMSYSERR_NOERROR)
            rc = FWaveOut.Close(FWaveOutHandle);
        if (rc == MMSYSERR_NOERROR)
            return true;
        std::string text = FWaveOut.ErrorText(rc).substr(0, ErrorTextSize - 1);
        std::fprintf(stderr, "%s\n", text.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
    }
    return false;
}

void TOutSound::CheckSettable() const
{
    if (FInitStage != 0)
        throw EOutSound("Cannot set soundcard property after initialization.");
}

void TOutSound::SetDevice(int value)
{
    CheckSettable();
    FDevice = value;
}

void TOutSound::SetSampRate(int value)
{
    CheckSettable();
    FSampRate = value;
}

void TOutSound::SetChannels(int value)
{
    CheckSettable();
    FChannels = value;
}

void TOutSound::SetBuffers(int value)
{
    CheckSettable();
    FBuffers = value;
}

void TOutSound::SetBufferLength(int value)
{
    CheckSettable();
    FBufferLength = value;
}

void TOutSound::Fail(int code)
{
    // The device's text, cut to what the 256-character buffer holds.
    ErrorText = FWaveOut.ErrorText(code).substr(0, ErrorTextSize - 1);
    throw EOutSound(ErrorText);
}

void TOutSound::Initialize()
{
    if (FInitStage != 0)
        throw EOutSound("Cannot reinitialize sound output device");

    WaveFormat format;
    format.FormatTag = 1; // PCM
    format.Channels = static_cast<std::uint16_t>(FChannels);
    format.SamplesPerSec = static_cast<std::uint32_t>(FSampRate);
    format.AvgBytesPerSec = static_cast<std::uint32_t>(2 * FChannels * FSampRate);
    format.BlockAlign = static_cast<std::uint16_t>(2 * FChannels);
    format.BitsPerSample = 16;
    format.ExtraSize = 0;

    int rc = FWaveOut.Query(FDevice, format);
    if (rc != MMSYSERR_NOERROR)
        Fail(rc);
    FInitStage = 1;

    FreeBuffers = std::make_unique<Semaphore>(FBuffers);
    FilledBuffers = std::make_unique<Semaphore>(0);
    Returns = std::make_unique<BufferReturn>(BufferReturn{FreeBuffers.get(), BufferBack});
    WaveOutHandle handle = 0;
    rc = FWaveOut.Open(&handle, FDevice, format, WaveOutCallback, reinterpret_cast<std::uintptr_t>(Returns.get()));
    if (rc != MMSYSERR_NOERROR)
        Fail(rc);
    FWaveOutHandle = handle;
    FInitStage = 2;

    Ring = std::make_unique<WaveBuffRing>(FBuffers, FBufferLength);
    for (WaveBuff* b = Ring->Tail(); FSlots.empty() || b != Ring->Tail(); b = b->Next)
        FSlots.push_back(b);
    FInitStage = 3;

    TransferThread = std::make_unique<OutTransferThread>(*FilledBuffers, *FreeBuffers, FWaveOut, FWaveOutHandle, *Ring);
    FInitStage = 4;
}

void TOutSound::SendSample(const SamplePair& pair)
{
    if (FInitStage != 4)
        throw EOutSound("Cannot send sample until output transfer thread has been created.");
    if (FFillCount == 0)
        AwaitFreeBuffer();
    Ring->PutValue(FFillCount, pair.Left);
    ++FFillCount;
    if (FChannels == 2) {
        Ring->PutValue(FFillCount, pair.Right);
        ++FFillCount;
    }
    if (FFillCount == FBufferLength)
        Commit();
}

void TOutSound::Commit()
{
    // The device stamps the buffer anew when it plays it; until then the
    // stamp of its last trip must not be taken for this one.
    ClearSoundsAt(*Ring->Tail()->GetHeader());
    if (Shape)
        Shape(Ring->Tail()->GetItem(0), FBufferLength);
    Ring->GetandMoveTail();
    ++FCommitted;
    FilledBuffers->release();
    FFillCount = 0;
}

std::optional<SoundMark> TOutSound::Mark() const
{
    if (FFillCount > 0)
        return SoundMark{FCommitted, FFillCount};
    if (FCommitted > 0)
        return SoundMark{FCommitted - 1, FBufferLength};
    return std::nullopt;
}

std::optional<std::chrono::steady_clock::time_point> TOutSound::SoundTime(const SoundMark& mark) const
{
    if (FSlots.empty() || mark.Buffer >= FCommitted || FCommitted - mark.Buffer > FSlots.size())
        return std::nullopt;
    // Buffers are committed round the ring, so the Buffer-th one sits in this slot.
    WaveBuff* buffer = FSlots[mark.Buffer % FSlots.size()];
    if (FCommitted - mark.Buffer == FSlots.size() && FFillCount > 0)
        return std::nullopt; // its slot is being filled again
    const auto start = SoundsAtOf(*buffer->GetHeader());
    if (!start)
        return std::nullopt;
    const double seconds = static_cast<double>(mark.Offset / FChannels) / FSampRate;
    return *start
        + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}

void TOutSound::ThrowRefusedWrite()
{
    const int rc = TransferThread->TakeError();
    if (rc == MMSYSERR_NOERROR)
        return;
    // The buffers committed before the error are refused too, one after the
    // other: wait until the thread has handed back every one of them, so that
    // their results belong to this error and not to the next command's sound.
    const int writable = FFillCount > 0 ? FBuffers - 1 : FBuffers;
    int collected = 0;
    while (collected < writable && FreeBuffers->try_acquire_for(StallLimit()))
        ++collected;
    FreeBuffers->release(collected);
    (void)TransferThread->TakeError();
    Fail(rc);
}

std::chrono::microseconds TOutSound::StallLimit() const
{
    return std::chrono::microseconds(1000000LL * StallBuffers * FBufferLength
                                     / (static_cast<long long>(FSampRate) * FChannels));
}

void TOutSound::AwaitFreeBuffer()
{
    // A new buffer begins: wait until the device has given one back. A device
    // that plays hands one back within a buffer length or so; one that takes
    // far longer has stopped (a sound server gone, a headset unplugged).
    ThrowRefusedWrite();
    const auto limit = StallLimit();
    if (!WhileWaiting) {
        if (FreeBuffers->try_acquire_for(limit))
            return;
    } else {
        // WhileWaiting does the waiting (the window waits for its own events,
        // so that it answers at once). The device counts as stopped only when
        // no buffer came back for the whole limit: a writer that WhileWaiting
        // ran and that took buffers shows the device plays, and a handler that
        // ran long (a dialog) finds the buffers back when it returns.
        std::chrono::steady_clock::duration waited{0};
        for (;;) {
            if (FreeBuffers->try_acquire()) {
                ++FBuffersTaken;
                return;
            }
            if (waited >= limit)
                break;
            const auto began = std::chrono::steady_clock::now();
            const auto takenBefore = FBuffersTaken;
            WhileWaiting();
            // A handler that wrote samples meanwhile holds the current buffer:
            // this writer goes on filling it.
            if (FFillCount != 0)
                return;
            waited = FBuffersTaken != takenBefore ? decltype(waited){0}
                                                  : waited + (std::chrono::steady_clock::now() - began);
        }
    }
    // Reset gives every queued buffer back, so that the next sample finds one.
    FWaveOut.Reset(FWaveOutHandle);
    (void)TransferThread->TakeError();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", std::chrono::duration<double>(limit).count());
    throw EOutSound(std::string("The sound device stopped playing: no sound buffer came back for ") + seconds
                    + " seconds");
}

void TOutSound::Flush()
{
    if (FFillCount == 0)
        return;
    ThrowRefusedWrite();
    for (int i = FFillCount; i < FBufferLength; ++i)
        Ring->PutValue(i, 0);
    Commit();
}

} // namespace kalvo
