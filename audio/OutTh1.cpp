#include "audio/OutTh1.h"

#include "audio/SndUtils.h"

#include <pthread.h>
#include <sched.h>

namespace kalvo {

namespace {

// A committed buffer should reach the device at once even on a busy machine.
// The lowest real-time level already puts the thread ahead of every ordinary
// one without competing with the system's own real-time threads. It needs a
// privilege that an ordinary user rarely has; without it the thread simply
// keeps the normal priority.
void RaisePriority(std::thread& t)
{
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    if (param.sched_priority > 0)
        pthread_setschedparam(t.native_handle(), SCHED_FIFO, &param);
}

} // namespace

OutTransferThread::OutTransferThread(Semaphore& filledBuffers, Semaphore& freeBuffers, WaveOutDevice& device,
                                     WaveOutHandle waveOut, WaveBuffRing& ring)
    : FilledBuffers(filledBuffers), FreeBuffers(freeBuffers), Device(device), WaveOut(waveOut), Ring(ring),
      FThread([this] { Execute(); })
{
    RaisePriority(FThread);
}

OutTransferThread::~OutTransferThread()
{
    Join();
}

void OutTransferThread::Join()
{
    if (FThread.joinable())
        FThread.join();
}

void OutTransferThread::Execute()
{
    constexpr unsigned HeaderSize = sizeof(WaveHeader);
    while (!Terminated()) {
        FilledBuffers.acquire();
        // The owner releases the semaphore once more to wake us for the end;
        // then there may be no committed buffer to take.
        if (Terminated())
            break;
        WaveHeader* header = Ring.GetandMoveHead()->GetHeader();
        Device.UnprepareHeader(WaveOut, header, HeaderSize);
        int rc = Device.PrepareHeader(WaveOut, header, HeaderSize);
        if (Terminated())
            break;
        if (rc == MMSYSERR_NOERROR)
            rc = Device.Write(WaveOut, header, HeaderSize);
        if (rc != MMSYSERR_NOERROR) {
            int none = 0;
            FError.compare_exchange_strong(none, rc);
            FreeBuffers.release();
        }
    }
}

} // namespace kalvo
