// The ring of sample buffers between the writer and the transfer thread.
//
// WaveBuff: one buffer of Length signed 16-bit values with the device header
// that describes it (data address = Data, 2 * Length bytes, everything else 0).
// After creation only the device's prepare, unprepare and write calls change
// the header. GetItem does no bounds check: callers keep 0 <= index < Length.
//
// WaveBuffRing: owns Count buffers linked in a circle (at least one; a ring of
// one buffer is its own Next). The writer fills Tail and commits it with
// GetandMoveTail; the transfer thread takes Head with GetandMoveHead. Filled
// counts committed buffers not yet taken; it is the only member both threads
// touch, so it is atomic. Tail is the writer's, Head the transfer thread's.
// Failures (EWaveBuffRing): PutValue or GetandMoveTail while Filled >= Count,
// GetandMoveHead while Filled <= 0.
#pragma once

#include "audio/WaveOut.h"
#include "common/Errors.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <semaphore>

namespace kalvo {

// The counting semaphores between writer, transfer thread and device.
using Semaphore = std::counting_semaphore<1 << 30>;

class EWaveBuffRing : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

class WaveBuff {
public:
    explicit WaveBuff(int length);
    WaveBuff(const WaveBuff&) = delete;
    WaveBuff& operator=(const WaveBuff&) = delete;

    int Length;
    WaveBuff* Next = nullptr; // a link, not ownership
    WaveHeader Header;
    std::unique_ptr<std::int16_t[]> Data;

    std::int16_t* GetItem(int index) { return &Data[index]; }
    WaveHeader* GetHeader() { return &Header; }
};

class WaveBuffRing {
public:
    WaveBuffRing(int count, int length);
    ~WaveBuffRing();
    WaveBuffRing(const WaveBuffRing&) = delete;
    WaveBuffRing& operator=(const WaveBuffRing&) = delete;

    void PutValue(int index, std::int16_t value);
    WaveBuff* GetandMoveTail();
    WaveBuff* GetandMoveHead();

    int Count() const { return FCount; }
    int Filled() const { return FFilled.load(); }
    WaveBuff* Head() const { return FHead; }
    WaveBuff* Tail() const { return FTail; }

private:
    int FCount;
    std::atomic<int> FFilled{0};
    WaveBuff* FHead = nullptr;
    WaveBuff* FTail = nullptr;
};

} // namespace kalvo
