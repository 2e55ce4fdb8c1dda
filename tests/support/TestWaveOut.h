// TestWaveOut: a wave-out device for tests. It accepts one open at a time and
// records every buffer written to it (a copy of its samples, in order of
// writing). Completion is either immediate (the done-callback runs inside
// Write, like a device that plays infinitely fast) or on demand: buffers then
// wait until the test calls CompleteNext() or CompleteAll(), in order of
// writing. Reset returns every waiting buffer as done, like a real device.
// Query, Open, Write, Reset and Close can be told to fail with a given code; prepare
// and unprepare calls are counted. All methods are thread-safe: Write runs on
// the sound component's transfer thread while the test inspects from its own.
// The done-callback is never called with the internal lock held.
// Its playback clock: a buffer sounds when it is written, at the time
// PlayClock gives (the steady clock unless a test sets its own).
#pragma once

#include "audio/WaveOut.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace kalvo {

class TestWaveOut : public WaveOutDevice {
public:
    enum class Completion { Immediate, OnDemand };

    explicit TestWaveOut(Completion completion = Completion::Immediate);

    // The device interface.
    int Query(int device, const WaveFormat& format) override;
    int Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
             std::uintptr_t instance) override;
    int PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Write(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Reset(WaveOutHandle handle) override;
    int Close(WaveOutHandle handle) override;
    std::string ErrorText(int code) override;

    // Failure injection: the next and every later call returns code (0 heals).
    void FailQuery(int code);
    void FailOpen(int code);
    void FailReset(int code);
    void FailClose(int code);
    void FailWrite(int code);

    // With KeepSamples(false) buffers are only counted, not copied (for long
    // runs such as benchmarks).
    void KeepSamples(bool keep);

    void SetPlayClock(std::function<std::chrono::steady_clock::time_point()> clock);

    // On-demand completion: report the oldest waiting buffer (or all of them)
    // as done. CompleteNext returns false when nothing waits.
    bool CompleteNext();
    std::size_t CompleteAll();

    // Blocks until at least count buffers have been written in total, or the
    // timeout passed; returns whether the count was reached.
    bool WaitForWritten(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // Inspection.
    std::vector<std::vector<std::int16_t>> Written() const; // samples of each buffer, in order
    std::vector<std::int16_t> Samples() const; // all of them, one buffer after another
    std::size_t WrittenCount() const;
    std::size_t PendingCount() const; // written and not yet done
    int PrepareCount() const;
    int UnprepareCount() const;
    int ResetCount() const;
    int CloseCount() const;
    bool IsOpen() const;
    std::optional<WaveFormat> QueriedFormat() const; // the last format asked about
    std::optional<WaveFormat> OpenFormat() const; // the format of the last successful open
    std::optional<int> OpenDevice() const; // the device number of that open

    static constexpr WaveOutHandle Handle = 0x7E57;

private:
    struct Done {
        WaveOutProc Callback;
        std::uintptr_t Instance;
        WaveHeader* Header;
    };
    static void Report(const Done& done);
    bool ValidHandle(WaveOutHandle handle) const { return FOpen && handle == Handle; }

    const Completion FCompletion;
    mutable std::mutex FLock;
    mutable std::condition_variable FWrittenChanged;
    int FQueryFailure = 0, FOpenFailure = 0, FResetFailure = 0, FCloseFailure = 0, FWriteFailure = 0;
    bool FKeepSamples = true;
    std::function<std::chrono::steady_clock::time_point()> FPlayClock;
    bool FOpen = false;
    WaveOutProc FCallback = nullptr;
    std::uintptr_t FInstance = 0;
    std::optional<WaveFormat> FQueried, FOpened;
    std::optional<int> FOpenDevice;
    std::vector<std::vector<std::int16_t>> FWritten;
    std::size_t FWrittenCount = 0;
    std::deque<WaveHeader*> FPending;
    int FPrepares = 0, FUnprepares = 0, FResets = 0, FCloses = 0;
};

// The format the program's sound output asks for: 16-bit mono PCM at 8000
// samples per second (16000 bytes per second, block alignment 2).
WaveFormat Mono8000();

} // namespace kalvo
