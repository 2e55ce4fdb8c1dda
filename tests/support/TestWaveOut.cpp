#include "tests/support/TestWaveOut.h"

namespace kalvo {

TestWaveOut::TestWaveOut(Completion completion) : FCompletion(completion) { }

void TestWaveOut::Report(const Done& done)
{
    if (done.Callback)
        done.Callback(Handle, WOM_DONE, done.Instance, reinterpret_cast<std::uintptr_t>(done.Header), 0);
}

int TestWaveOut::Query(int, const WaveFormat& format)
{
    std::lock_guard lock(FLock);
    FQueried = format;
    if (FQueryFailure != 0)
        return FQueryFailure;
    if (format.FormatTag != 1 || format.BitsPerSample != 16)
        return WAVERR_BADFORMAT;
    return MMSYSERR_NOERROR;
}

int TestWaveOut::Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
                      std::uintptr_t instance)
{
    std::lock_guard lock(FLock);
    if (FOpenFailure != 0)
        return FOpenFailure;
    if (FOpen)
        return MMSYSERR_ALLOCATED;
    FOpen = true;
    FCallback = callback;
    FInstance = instance;
    FOpened = format;
    FOpenDevice = device;
    *handle = Handle;
    return MMSYSERR_NOERROR;
}

int TestWaveOut::PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FLock);
    ++FPrepares;
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    return MarkPrepared(header, size);
}

int TestWaveOut::UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FLock);
    ++FUnprepares;
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    return MarkUnprepared(header, size);
}

int TestWaveOut::Write(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    Done done{};
    {
        std::lock_guard lock(FLock);
        if (!ValidHandle(handle))
            return MMSYSERR_INVALHANDLE;
        if (int rc = CheckWritable(header, size); rc != MMSYSERR_NOERROR)
            return rc;
        if (FWriteFailure)
            return FWriteFailure;
        if (FKeepSamples) {
            auto* samples = reinterpret_cast<const std::int16_t*>(header->Data);
            FWritten.emplace_back(samples, samples + header->BufferLength / 2);
        }
        ++FWrittenCount;
        StampSoundsAt(*header, FPlayClock ? FPlayClock() : std::chrono::steady_clock::now());
        header->Flags = (header->Flags & ~WHDR_DONE) | WHDR_INQUEUE;
        if (FCompletion == Completion::OnDemand) {
            FPending.push_back(header);
        } else {
            header->Flags = (header->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
            done = Done{FCallback, FInstance, header};
        }
    }
    FWrittenChanged.notify_all();
    if (done.Header)
        Report(done);
    return MMSYSERR_NOERROR;
}

void TestWaveOut::SetPlayClock(std::function<std::chrono::steady_clock::time_point()> clock)
{
    std::lock_guard lock(FLock);
    FPlayClock = std::move(clock);
}

bool TestWaveOut::CompleteNext()
{
    Done done{};
    {
        std::lock_guard lock(FLock);
        if (FPending.empty())
            return false;
        WaveHeader* header = FPending.front();
        FPending.pop_front();
        header->Flags = (header->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
        done = Done{FCallback, FInstance, header};
    }
    Report(done);
    return true;
}

std::size_t TestWaveOut::CompleteAll()
{
    std::size_t n = 0;
    while (CompleteNext())
        ++n;
    return n;
}

int TestWaveOut::Reset(WaveOutHandle handle)
{
    std::vector<Done> done;
    {
        std::lock_guard lock(FLock);
        ++FResets;
        if (FResetFailure != 0)
            return FResetFailure;
        if (!ValidHandle(handle))
            return MMSYSERR_INVALHANDLE;
        for (WaveHeader* header : FPending) {
            header->Flags = (header->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
            done.push_back(Done{FCallback, FInstance, header});
        }
        FPending.clear();
    }
    for (const Done& d : done)
        Report(d);
    return MMSYSERR_NOERROR;
}

int TestWaveOut::Close(WaveOutHandle handle)
{
    std::lock_guard lock(FLock);
    ++FCloses;
    if (FCloseFailure != 0)
        return FCloseFailure;
    if (!ValidHandle(handle))
        return MMSYSERR_INVALHANDLE;
    if (!FPending.empty())
        return WAVERR_STILLPLAYING;
    FOpen = false;
    FCallback = nullptr;
    return MMSYSERR_NOERROR;
}

std::string TestWaveOut::ErrorText(int code)
{
    return WaveOutErrorText(code);
}

void TestWaveOut::FailQuery(int code)
{
    std::lock_guard lock(FLock);
    FQueryFailure = code;
}

void TestWaveOut::FailOpen(int code)
{
    std::lock_guard lock(FLock);
    FOpenFailure = code;
}

void TestWaveOut::FailReset(int code)
{
    std::lock_guard lock(FLock);
    FResetFailure = code;
}

void TestWaveOut::FailClose(int code)
{
    std::lock_guard lock(FLock);
    FCloseFailure = code;
}

void TestWaveOut::FailWrite(int code)
{
    std::lock_guard lock(FLock);
    FWriteFailure = code;
}

void TestWaveOut::KeepSamples(bool keep)
{
    std::lock_guard lock(FLock);
    FKeepSamples = keep;
}

bool TestWaveOut::WaitForWritten(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(FLock);
    return FWrittenChanged.wait_for(lock, timeout, [&] { return FWrittenCount >= count; });
}

std::vector<std::vector<std::int16_t>> TestWaveOut::Written() const
{
    std::lock_guard lock(FLock);
    return FWritten;
}

std::vector<std::int16_t> TestWaveOut::Samples() const
{
    std::lock_guard lock(FLock);
    std::vector<std::int16_t> all;
    for (const auto& buffer : FWritten)
        all.insert(all.end(), buffer.begin(), buffer.end());
    return all;
}

std::size_t TestWaveOut::WrittenCount() const
{
    std::lock_guard lock(FLock);
    return FWrittenCount;
}

std::size_t TestWaveOut::PendingCount() const
{
    std::lock_guard lock(FLock);
    return FPending.size();
}

int TestWaveOut::PrepareCount() const
{
    std::lock_guard lock(FLock);
    return FPrepares;
}

int TestWaveOut::UnprepareCount() const
{
    std::lock_guard lock(FLock);
    return FUnprepares;
}

int TestWaveOut::ResetCount() const
{
    std::lock_guard lock(FLock);
    return FResets;
}

int TestWaveOut::CloseCount() const
{
    std::lock_guard lock(FLock);
    return FCloses;
}

bool TestWaveOut::IsOpen() const
{
    std::lock_guard lock(FLock);
    return FOpen;
}

std::optional<WaveFormat> TestWaveOut::QueriedFormat() const
{
    std::lock_guard lock(FLock);
    return FQueried;
}

std::optional<WaveFormat> TestWaveOut::OpenFormat() const
{
    std::lock_guard lock(FLock);
    return FOpened;
}

std::optional<int> TestWaveOut::OpenDevice() const
{
    std::lock_guard lock(FLock);
    return FOpenDevice;
}

WaveFormat Mono8000()
{
    WaveFormat f;
    f.Channels = 1;
    f.SamplesPerSec = 8000;
    f.AvgBytesPerSec = 16000;
    f.BlockAlign = 2;
    return f;
}

} // namespace kalvo
