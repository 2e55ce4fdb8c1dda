// StreamDevice: what the devices that play one stream at a time share: the
// stream behind the handle (the stream's address; valid until it is closed),
// the lock that serialises Open, Write, Reset and Close, and the preparation
// of headers, which plays from the header's own memory.
// Stream is the device's own (defined in its .cpp, like the device's
// destructor).
#pragma once

#include "audio/WaveOut.h"

#include <memory>
#include <mutex>

namespace kalvo {

template <typename Stream>
class StreamDevice : public WaveOutDevice {
public:
    int PrepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override
    {
        return Find(handle) ? MarkPreparedWithData(header, size) : MMSYSERR_INVALHANDLE;
    }
    int UnprepareHeader(WaveOutHandle handle, WaveHeader* header, unsigned size) override
    {
        return Find(handle) ? MarkUnprepared(header, size) : MMSYSERR_INVALHANDLE;
    }

protected:
    // The handle is the stream's address, as its own Handle() gives it.
    Stream* Find(WaveOutHandle handle) const
    {
        return FStream && reinterpret_cast<WaveOutHandle>(FStream.get()) == handle ? FStream.get() : nullptr;
    }

    // Open's last step: the stream becomes the device's, behind the handle.
    int Adopt(std::unique_ptr<Stream> stream, WaveOutHandle* handle)
    {
        FStream = std::move(stream);
        *handle = FStream->Handle();
        return MMSYSERR_NOERROR;
    }

    std::mutex FProducer;
    std::unique_ptr<Stream> FStream;
};

} // namespace kalvo
