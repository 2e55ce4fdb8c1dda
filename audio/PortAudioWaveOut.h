// PortAudioWaveOut: the wave-out layer on the system's sound output through
// PortAudio. Device -1 (WAVE_MAPPER) is PortAudio's default output device,
// other numbers are PortAudio device indices.
//
//  - Query asks PortAudio whether the format is supported, opening nothing.
//  - Open starts a 16-bit callback stream (SuggestedLatency, CallbackPeriod).
//    One open at a time; the handle is valid until Close.
//  - Write queues a prepared buffer on a HeaderQueue (lock-free, one writer,
//    one reader) read by PortAudio's callback; buffers play in order of
//    writing, back to back. With nothing queued the stream plays silence, and
//    after IdleStop of it the stream ends itself, as a wave-out device with an
//    empty queue costs nothing; the next Write starts it again, and its
//    buffer plays whole from its first sample.
//  - The playback clock: a buffer is stamped when the callback begins to copy
//    it, with PortAudio's output time of that frame (outputBufferDacTime less
//    the callback's currentTime, plus the frames before it) added to the
//    steady clock read in the callback.
//  - Each finished buffer (its last sample handed to PortAudio) is reported
//    WOM_DONE through the done-callback from PortAudio's callback context,
//    which never allocates, locks or blocks.
//  - Reset stops playback and reports every queued buffer done; the next
//    Write opens the stream anew (its sound server may have gone away or been
//    restarted meanwhile); while that fails, Write returns the error and
//    queues nothing. Close closes the stream; it
//    refuses (WAVERR_STILLPLAYING) while buffers are queued.
//  - Open, Write, Reset and Close are serialised by a lock, so the writer may
//    reset a stalled stream while the transfer thread writes; the
//    done-callback runs on PortAudio's thread and takes no lock.
// PortAudio is initialised once per process, with ALSA's and JACK's error
// printing silenced (standard error is muted while PortAudio probes devices).
// Result codes are the common ones (WaveOut.h) or PortAudio's own (negative);
// ErrorText gives the text of either, e.g. "No sound output device is
// available." on a machine without one.
#pragma once

#include "audio/SidetoneOutput.h"
#include "audio/StreamDevice.h"

#include <memory>

namespace kalvo {

struct PortAudioStream;

class PortAudioWaveOut : public StreamDevice<PortAudioStream> {
public:
    PortAudioWaveOut();
    ~PortAudioWaveOut() override; // closes a stream left open
    PortAudioWaveOut(const PortAudioWaveOut&) = delete;
    PortAudioWaveOut& operator=(const PortAudioWaveOut&) = delete;

    int Query(int device, const WaveFormat& format) override;
    int Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
             std::uintptr_t instance) override;
    int Write(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Reset(WaveOutHandle handle) override;
    int Close(WaveOutHandle handle) override;
    std::string ErrorText(int code) override;

    // How far ahead of the speaker the stream's callback fills (seconds). A
    // busy machine can hold the callback back for tens of milliseconds; with
    // 80 ms the device then ran dry and a hole of 20 ms or more opened inside a
    // tone. The ring already runs up to 1.5 s ahead, so this costs the user
    // little: "Send Text" is heard within 0.4 s.
    static constexpr double SuggestedLatency = 0.3;
    // How much the callback fills at a time (seconds), and the stream's host
    // buffer holds HostPeriods of these: the stream, and the sound server's
    // client thread beside it, wake about ten and twenty times a second, and
    // a callback held back by up to one period still finds room.
    static constexpr double CallbackPeriod = 0.15;
    static constexpr int HostPeriods = 2;
    // Silence after which the stream ends itself (seconds). Shorter than the
    // trainer's longest wait for an answer, so that a learner thinking costs
    // nothing; the trainer's lead-in of silence before each character covers
    // a device that starts slowly.
    static constexpr double IdleStop = 5.0;

private:
    using Stream = PortAudioStream;
    // Opens and starts the stream with its saved parameters, closing the old
    // one first.
    static int StartStream(Stream& s);
    // Starts a stream that ended itself for idleness again.
    static int Wake(Stream& s);
};

// The sidetone's stream on the default output device.
std::unique_ptr<SidetoneOutput> MakePortAudioSidetone();

} // namespace kalvo
