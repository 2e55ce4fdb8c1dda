// OutTransferThread: hands every committed buffer of the ring to the wave-out
// device. It sleeps on FilledBuffers; for each release it takes the ring's Head,
// unprepares its header (a no-op on a buffer's first trip, the release of the
// previous trip's preparation otherwise), prepares it again and writes it.
// A buffer the device refuses (prepare or write fails) will never be reported
// done, so the thread gives it back to the writer itself (FreeBuffers) and
// keeps the first such result for the writer to report (TakeError): a sound
// server that went away must not leave the writer waiting for that buffer.
//
// It holds the semaphore, the device and the ring without owning them; the
// owner must keep them alive until Join() returned. To stop it: Terminate()
// (the request flag), release FilledBuffers once so that it wakes, Join().
// A buffer that was prepared when termination was requested is not written.
// The thread starts in the constructor and asks for real-time scheduling (it
// stays at normal priority when the process may not have it).
#pragma once

#include "audio/SndUtils.h"
#include "audio/WaveOut.h"

#include <atomic>
#include <thread>

namespace kalvo {

class OutTransferThread {
public:
    OutTransferThread(Semaphore& FilledBuffers, Semaphore& FreeBuffers, WaveOutDevice& device, WaveOutHandle WaveOut,
                      WaveBuffRing& Ring);
    ~OutTransferThread(); // joins
    OutTransferThread(const OutTransferThread&) = delete;
    OutTransferThread& operator=(const OutTransferThread&) = delete;

    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }
    void Join();
    // The first device result other than success since the last call; 0 when
    // every buffer was taken.
    int TakeError() { return FError.exchange(0); }

private:
    void Execute();

    Semaphore& FilledBuffers;
    Semaphore& FreeBuffers;
    WaveOutDevice& Device;
    WaveOutHandle WaveOut;
    WaveBuffRing& Ring;
    std::atomic<bool> FTerminated{false};
    std::atomic<int> FError{0};
    std::thread FThread; // last: starts once everything above is set
};

} // namespace kalvo
