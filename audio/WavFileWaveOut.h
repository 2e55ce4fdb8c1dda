// WavFileWaveOut: a wave-out device that writes everything it is given into a
// 16-bit PCM WAV file instead of playing it. Open creates (or truncates) the
// file with the open format's channels and rate; every buffer written is
// appended in order of writing and reported done at once (inside Write); Close
// (or destruction of a still open device) finalises the header sizes. Reset
// only reports, as there is never anything waiting. Its playback clock is the
// moment of writing: each buffer is stamped as it reaches the file. One open at a time;
// thread-safe. WaitForWritten lets the writer wait until the transfer thread
// has handed over every buffer it committed, before tearing the component
// down (the teardown stops that thread, which would drop buffers not yet
// handed over). A file that cannot be created or written gives an error code
// whose text names the file ("Cannot create file <path>", "Cannot write file
// <path>").
#pragma once

#include "audio/WaveOut.h"

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace kalvo {

class WavFileWaveOut : public WaveOutDevice {
public:
    explicit WavFileWaveOut(std::string path);
    ~WavFileWaveOut() override;
    WavFileWaveOut(const WavFileWaveOut&) = delete;
    WavFileWaveOut& operator=(const WavFileWaveOut&) = delete;

    int Query(int device, const WaveFormat& format) override;
    int Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
             std::uintptr_t instance) override;
    int PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Write(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Reset(WaveOutHandle handle) override;
    int Close(WaveOutHandle handle) override;
    std::string ErrorText(int code) override;

    const std::string& Path() const { return FPath; }
    std::uint64_t BytesWritten() const; // sample data bytes so far
    // Blocks until count buffers have been written since Open, whether or not
    // the disk took them.
    void WaitForWritten(std::uint64_t count) const;

    // The device's own result codes (beyond the common ones).
    static constexpr int CannotCreate = 1001;
    static constexpr int CannotWrite = 1002;
    static constexpr WaveOutHandle Handle = 0x3A7F;

private:
    int FinishFile(); // with FLock held
    bool ValidHandle(WaveOutHandle handle) const { return FFile && handle == Handle; }

    const std::string FPath;
    mutable std::mutex FLock;
    mutable std::condition_variable FWrittenChanged;
    std::FILE* FFile = nullptr;
    WaveOutProc FCallback = nullptr;
    std::uintptr_t FInstance = 0;
    std::uint64_t FDataBytes = 0;
    std::uint64_t FBuffersWritten = 0;
    bool FWriteFailed = false;
    std::vector<unsigned char> FScratch; // little-endian copy of one buffer
};

} // namespace kalvo
