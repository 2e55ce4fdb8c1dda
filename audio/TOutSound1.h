// TOutSound: the sound-output component. Samples written one at a time on the
// user-interface thread are packed into a ring of buffers; a transfer thread
// hands each filled buffer to the wave-out device; the device's done-callback
// gives finished buffers back. The writer blocks at the start of a buffer while
// every buffer is in use, so the caller is paced by the sound card.
//
// Contract:
//  - Properties (Device, SampRate, Channels, Buffers, BufferLength) can be set
//    only while InitStage is 0; otherwise EOutSound
//    "Cannot set soundcard property after initialization." and no change.
//  - Initialize() runs once: format query (stage 1), open (2), ring (3),
//    transfer thread (4). A failure throws EOutSound with the device's error text
//    and leaves the stage where it was.
//  - SendSample() works only at stage 4; Flush() pads the current buffer with
//    silence and queues it (nothing when it is empty).
//  - While the writer waits for a free buffer it calls WhileWaiting (when set)
//    again and again, so that the window keeps answering while sound paces it;
//    WhileWaiting does the waiting itself, for WaitSlice at most (the window
//    waits there for its own events and answers each at once), and the writer
//    takes the buffer when WhileWaiting returns. BufferBack (when set before
//    Initialize) is called on the device's thread each time a buffer comes
//    back, so that WhileWaiting can end its wait at once. A writer that
//    WhileWaiting runs may begin the buffer itself; the waiting writer then goes
//    on filling that buffer and takes no second one.
//  - A device that stops playing never blocks the writer for good: waiting for
//    a free buffer ends after StallBuffers buffer lengths with EOutSound; the
//    device is then reset, so every buffer comes back and the next sample
//    starts afresh (the device restarts or reopens its stream on that write).
//    A buffer the device refused is reported by the next SendSample or Flush
//    as EOutSound with the device's error text.
//  - Mark() names the place just after the last sample written (empty before
//    the first); SoundTime(mark) says when that place leaves the device, by
//    the device's playback clock, once the buffer holding it has begun to
//    play, and stays empty while it waits, when it was never played, and once
//    its ring buffer has been filled again. Both belong to the writer's thread.
//  - Destruction wakes and joins the transfer thread, resets and closes the
//    device, then releases semaphores and ring. A reset or close failure there
//    is written to standard error and nothing escapes the destructor; the
//    semaphores and the ring are then left allocated, because a device that
//    could not be stopped may still play from the buffers and call back.
#pragma once

#include "audio/SndUtils.h"
#include "audio/WaveOut.h"
#include "common/Errors.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvo {

class OutTransferThread;
struct BufferReturn;

class EOutSound : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

// Two signed 16-bit values, left then right.
struct SamplePair {
    std::int16_t Left = 0;
    std::int16_t Right = 0;
};

// A place in the written sound: the end of the Offset-th value of the
// Buffer-th buffer committed since initialisation (counting from 0).
struct SoundMark {
    std::uint64_t Buffer = 0;
    int Offset = 0;
};

class TOutSound {
public:
    explicit TOutSound(WaveOutDevice& device);
    ~TOutSound();
    TOutSound(const TOutSound&) = delete;
    TOutSound& operator=(const TOutSound&) = delete;

    int Device() const { return FDevice; }
    int SampRate() const { return FSampRate; }
    int Channels() const { return FChannels; }
    int Buffers() const { return FBuffers; }
    int BufferLength() const { return FBufferLength; }
    WaveOutHandle GetWaveOutHandle() const { return FWaveOutHandle; }
    void SetDevice(int value);
    void SetSampRate(int value);
    void SetChannels(int value);
    void SetBuffers(int value);
    void SetBufferLength(int value);

    void Initialize();
    void SendSample(const SamplePair& pair);
    void Flush();

    std::optional<SoundMark> Mark() const;
    std::optional<std::chrono::steady_clock::time_point> SoundTime(const SoundMark& mark) const;

    int InitStage() const { return FInitStage; }
    // How many buffer lengths the writer waits for a free buffer.
    static constexpr int StallBuffers = 4;
    // The longest WhileWaiting may wait: a returned buffer that BufferBack did
    // not announce is taken at most this late, which the buffers still queued
    // cover four times over; the stall limit is counted in these steps.
    static constexpr std::chrono::milliseconds WaitSlice{250};
    std::function<void()> WhileWaiting; // may be empty
    std::function<void()> BufferBack; // may be empty; runs on the device's thread
    // May be empty; runs on the writer's thread on each whole buffer (its
    // values, interleaved) just before it goes to the device, so that the
    // band's fading can shape what the sender wrote.
    std::function<void(std::int16_t* values, int count)> Shape;
    int FillCount() const { return FFillCount; }

private:
    void CheckSettable() const;
    void AwaitFreeBuffer();
    std::chrono::microseconds StallLimit() const;
    void ThrowRefusedWrite();
    [[noreturn]] void Fail(int code);
    // Reset and close during destruction; false when one of them failed (its
    // text then went to standard error).
    bool CloseDevice() noexcept;
    // Hands the filled Tail to the transfer thread, its playback stamp cleared.
    void Commit();

    WaveOutDevice& FWaveOut;
    int FDevice = WAVE_MAPPER;
    int FSampRate = 44100;
    int FChannels = 1;
    int FBuffers = 3;
    int FBufferLength = 20000;
    std::unique_ptr<Semaphore> FreeBuffers;
    std::unique_ptr<BufferReturn> Returns; // the done-callback's instance
    std::unique_ptr<Semaphore> FilledBuffers;
    WaveOutHandle FWaveOutHandle = 0;
    std::unique_ptr<WaveBuffRing> Ring;
    int FFillCount = 0;
    // Buffers taken by writers that WhileWaiting waited for: one taken
    // meanwhile shows the device plays.
    unsigned FBuffersTaken = 0;
    std::uint64_t FCommitted = 0; // buffers committed since initialisation
    std::vector<WaveBuff*> FSlots; // the ring in the order the writer fills it
    std::unique_ptr<OutTransferThread> TransferThread;
    std::uint8_t FInitStage = 0;
    std::string ErrorText;
};

// What the done-callback reaches through the instance value given at open:
// the semaphore of free buffers, and whom to tell that one came back.
struct BufferReturn {
    Semaphore* FreeBuffers = nullptr;
    std::function<void()> Tell; // may be empty
};

// The done-callback registered at open: WOM_DONE releases the instance's
// semaphore (FreeBuffers) by one, then tells its Tell; other messages are
// ignored. Runs in the device's context and does nothing else.
void WaveOutCallback(WaveOutHandle handle, unsigned message, std::uintptr_t instance, std::uintptr_t param1,
                     std::uintptr_t param2);

} // namespace kalvo
