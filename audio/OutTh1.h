// OutTransferThread: hands every committed buffer of the ring to the wave-out
// device. It sleeps on FilledBuffers; for each release it takes the ring's Head,
// unprepares its header (a no-op on a buffer's first trip, the release of the
// previous trip's preparation otherwise), prepares it again and writes it.
// The results of the device calls are not examined.
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
    OutTransferThread(Semaphore& FilledBuffers, WaveOutDevice& device, WaveOutHandle WaveOut,
                      WaveBuffRing& Ring);
    ~OutTransferThread(); // joins
    OutTransferThread(const OutTransferThread&) = delete;
    OutTransferThread& operator=(const OutTransferThread&) = delete;

    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }
    void Join();

private:
    void Execute();

    Semaphore& FilledBuffers;
    WaveOutDevice& Device;
    WaveOutHandle WaveOut;
    WaveBuffRing& Ring;
    std::atomic<bool> FTerminated{false};
    std::thread FThread; // last: starts once everything above is set
};

} // namespace kalvo
