// PulseWaveOut: the wave-out layer on the user's sound server, through
// libpulse's asynchronous API (PulseAudio, or PipeWire speaking its
// protocol). Device -1 (WAVE_MAPPER) and 0 are the server's default sink.
//
//  - Query checks the format (16-bit PCM, 1 or 2 channels), opening nothing.
//  - Open connects to the server (NoServer seconds at most) and opens one
//    playback stream, corked until the first Write. One open at a time; the
//    handle is valid until Close. No server: MMSYSERR_NODRIVER.
//  - The stream asks for Target seconds of sound ahead of the speaker and is
//    fed Request seconds at a time, whenever the server asks: one wake-up of
//    one thread (libpulse's) per request, no thread of its own in between.
//    The server is told the latency it may run its sink at (Request), so a
//    stream never drives the sink down to its smallest latency.
//  - Write queues a prepared buffer; buffers play in order of writing, back
//    to back. Playback starts as soon as there is sound and pauses when the
//    server runs dry, so the first sample after a quiet spell is played,
//    never skipped. After IdleStop of running dry the stream is corked, so
//    neither this process nor the server works for nothing; the next Write
//    uncorks it.
//  - The playback clock: a buffer is stamped when its first byte is handed
//    to the server, with the stream's latency at that moment (libpulse's
//    interpolated timing) added to the steady clock.
//  - Each buffer whose last byte has been handed to the server is reported
//    WOM_DONE through the done-callback, on libpulse's thread or within
//    Write, which hands over at once what the server has room for.
//  - Reset drops what the server holds and reports every queued buffer done;
//    the next Write connects anew (the server may have gone away or come
//    back as a new one meanwhile); while that fails, Write returns
//    MMSYSERR_NODRIVER and queues nothing. Close refuses
//    (WAVERR_STILLPLAYING) while buffers are queued.
//  - Open, Write, Reset and Close are serialised by a lock; libpulse's
//    thread and the writer meet under libpulse's own lock.
// Result codes are the common ones (WaveOut.h).
#pragma once

#include "audio/SidetoneOutput.h"
#include "audio/StreamDevice.h"

#include <memory>

namespace kalvo {

struct PulseStream;

class PulseWaveOut : public StreamDevice<PulseStream> {
public:
    PulseWaveOut();
    ~PulseWaveOut() override; // closes a stream left open
    PulseWaveOut(const PulseWaveOut&) = delete;
    PulseWaveOut& operator=(const PulseWaveOut&) = delete;

    // Whether a sound server answers now (it is then the one to play to).
    static bool ServerAnswers();

    int Query(int device, const WaveFormat& format) override;
    int Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
             std::uintptr_t instance) override;
    int Write(WaveOutHandle handle, WaveHeader* header, unsigned size) override;
    int Reset(WaveOutHandle handle) override;
    int Close(WaveOutHandle handle) override;
    std::string ErrorText(int code) override;

    // Sound held ahead of the speaker, and fed at a time (seconds). A busy
    // machine may hold the feeding thread back for tens of milliseconds; a
    // request of 0.15 s leaves 0.15 s in hand when it comes, and "Send Text"
    // and "Pause" are heard within about 0.35 s.
    static constexpr double Target = 0.3;
    static constexpr double Request = 0.15;
    // Quiet after which the stream is corked (seconds). Shorter than the
    // trainer's longest wait for an answer, so that a learner thinking costs
    // nothing.
    static constexpr double IdleStop = 5.0;
    // How long connecting may take before the server counts as absent: a
    // server that was stopped (not ended) still accepts the connection.
    static constexpr double NoServer = 5.0;

private:
    using Stream = PulseStream;
};

// The sidetone's stream on the sound server.
std::unique_ptr<SidetoneOutput> MakePulseSidetone();

} // namespace kalvo
