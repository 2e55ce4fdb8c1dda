#include "audio/PulseWaveOut.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>

namespace kalvo {

namespace {

bool IsPcm16(const WaveFormat& f)
{
    return f.FormatTag == 1 && f.BitsPerSample == 16 && (f.Channels == 1 || f.Channels == 2) && f.SamplesPerSec > 0
        && f.SamplesPerSec <= PA_RATE_MAX;
}

pa_usec_t Microseconds(double seconds)
{
    return static_cast<pa_usec_t>(seconds * PA_USEC_PER_SEC);
}

} // namespace

struct PulseStream {
    using Clock = std::chrono::steady_clock;

    pa_threaded_mainloop* Loop = nullptr;
    pa_context* Context = nullptr;
    pa_stream* Pa = nullptr;
    pa_time_event* IdleTimer = nullptr;
    pa_sample_spec Spec{};
    WaveOutProc Callback = nullptr;
    std::uintptr_t Instance = 0;
    // Reset leaves the connection to be made anew by the next Write.
    bool Broken = false;

    // Under the loop's lock from here on.
    std::deque<WaveHeader*> Queue; // written, not yet handed over whole
    std::size_t Offset = 0; // bytes of the first one handed over
    bool Corked = true;
    bool Starved = true; // the server ran dry and nothing came since
    // The playback clock: when what was handed over so far will have played,
    // and the sink's latency as the server last reported it.
    Clock::time_point PlayedOut{};
    Clock::duration SinkLatency{};

    WaveOutHandle Handle() const { return reinterpret_cast<WaveOutHandle>(this); }

    ~PulseStream() { Disconnect(); }

    // Connects to the server and opens the stream, corked; false when there
    // is no server to play to (within NoServer seconds).
    bool Connect()
    {
        // A new stream starts corked, with nothing handed over.
        Corked = Starved = true;
        Loop = pa_threaded_mainloop_new();
        if (Loop == nullptr || pa_threaded_mainloop_start(Loop) < 0)
            return false;
        pa_threaded_mainloop_lock(Loop);
        const bool ready = ConnectLocked();
        pa_threaded_mainloop_unlock(Loop);
        return ready;
    }

    // Connects the context, the loop's lock held; false without a server.
    bool ConnectContext()
    {
        Context = pa_context_new(pa_threaded_mainloop_get_api(Loop), "Kalvo");
        if (Context == nullptr)
            return false;
        pa_context_set_state_callback(Context, Signal, this);
        if (pa_context_connect(Context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        const auto state = [&] { return pa_context_get_state(Context); };
        return WaitFor([&] { return !PA_CONTEXT_IS_GOOD(state()) || state() == PA_CONTEXT_READY; })
            && state() == PA_CONTEXT_READY;
    }

    bool ConnectLocked()
    {
        if (!ConnectContext())
            return false;
        Pa = pa_stream_new(Context, "Morse", &Spec, nullptr);
        if (Pa == nullptr)
            return false;
        pa_stream_set_state_callback(Pa, Signal, this);
        pa_stream_set_write_callback(Pa, Requested, this);
        pa_stream_set_underflow_callback(Pa, RanDry, this);
        pa_buffer_attr attr;
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(Microseconds(PulseWaveOut::Target), &Spec));
        // Any sound starts playback; running dry pauses it, so that what comes
        // after a quiet spell plays from its first sample.
        attr.prebuf = static_cast<std::uint32_t>(pa_frame_size(&Spec));
        attr.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(Microseconds(PulseWaveOut::Request), &Spec));
        attr.fragsize = static_cast<std::uint32_t>(-1);
        // Early requests: the sink runs at the request's latency rather than
        // at whatever is left of the target.
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_EARLY_REQUESTS);
        if (pa_stream_connect_playback(Pa, nullptr, &attr, flags, nullptr, nullptr) < 0)
            return false;
        return WaitFor([&] { return pa_stream_get_state(Pa) != PA_STREAM_CREATING; })
            && pa_stream_get_state(Pa) == PA_STREAM_READY;
    }

    void Disconnect()
    {
        if (Loop == nullptr)
            return;
        pa_threaded_mainloop_lock(Loop);
        if (IdleTimer)
            pa_threaded_mainloop_get_api(Loop)->time_free(IdleTimer);
        IdleTimer = nullptr;
        if (Pa) {
            pa_stream_set_state_callback(Pa, nullptr, nullptr);
            pa_stream_set_write_callback(Pa, nullptr, nullptr);
            pa_stream_set_underflow_callback(Pa, nullptr, nullptr);
            pa_stream_disconnect(Pa);
            pa_stream_unref(Pa);
            Pa = nullptr;
        }
        if (Context) {
            pa_context_set_state_callback(Context, nullptr, nullptr);
            pa_context_disconnect(Context);
            pa_context_unref(Context);
            Context = nullptr;
        }
        pa_threaded_mainloop_unlock(Loop);
        pa_threaded_mainloop_stop(Loop);
        pa_threaded_mainloop_free(Loop);
        Loop = nullptr;
    }

    // Waits (the loop's lock held) until `done` holds or NoServer has passed.
    template <typename Done>
    bool WaitFor(Done done)
    {
        struct Deadline {
            pa_threaded_mainloop* Loop;
            bool Passed = false;
        } deadline{Loop};
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(Loop);
        timeval at;
        pa_timeval_add(pa_gettimeofday(&at), Microseconds(PulseWaveOut::NoServer));
        pa_time_event* timer = api->time_new(
            api, &at,
            [](pa_mainloop_api*, pa_time_event*, const timeval*, void* user) {
                auto* d = static_cast<Deadline*>(user);
                d->Passed = true;
                pa_threaded_mainloop_signal(d->Loop, 0);
            },
            &deadline);
        while (!done() && !deadline.Passed)
            pa_threaded_mainloop_wait(Loop);
        api->time_free(timer);
        return done();
    }

    static void Signal(pa_context*, void* user)
    {
        pa_threaded_mainloop_signal(static_cast<PulseStream*>(user)->Loop, 0);
    }
    static void Signal(pa_stream*, void* user)
    {
        pa_threaded_mainloop_signal(static_cast<PulseStream*>(user)->Loop, 0);
    }
    static void Requested(pa_stream*, std::size_t, void* user) { static_cast<PulseStream*>(user)->Feed(); }

    static void RanDry(pa_stream*, void* user)
    {
        auto& s = *static_cast<PulseStream*>(user);
        s.Starved = true;
        // The sink's latency may have changed since (another client came):
        // the reply is in long before the next sound.
        if (pa_operation* op = pa_stream_update_timing_info(s.Pa, TimingCame, &s))
            pa_operation_unref(op);
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(s.Loop);
        timeval at;
        pa_timeval_add(pa_gettimeofday(&at), Microseconds(PulseWaveOut::IdleStop));
        if (s.IdleTimer)
            api->time_restart(s.IdleTimer, &at);
        else
            s.IdleTimer = api->time_new(api, &at, Idle, &s);
    }

    static void Idle(pa_mainloop_api* api, pa_time_event*, const timeval*, void* user)
    {
        auto& s = *static_cast<PulseStream*>(user);
        api->time_free(s.IdleTimer);
        s.IdleTimer = nullptr;
        if (s.Starved && s.Queue.empty() && !s.Corked) {
            if (pa_operation* op = pa_stream_cork(s.Pa, 1, nullptr, nullptr))
                pa_operation_unref(op);
            s.Corked = true;
        }
    }

    static void TimingCame(pa_stream* stream, int success, void* user)
    {
        auto& s = *static_cast<PulseStream*>(user);
        const pa_timing_info* timing = success ? pa_stream_get_timing_info(stream) : nullptr;
        if (timing)
            s.SinkLatency = std::chrono::microseconds(timing->sink_usec);
        pa_threaded_mainloop_signal(s.Loop, 0);
    }

    // The first sound after a quiet spell is stamped with the sink's latency
    // as it is now, so uncorking waits for the server's reply (a round trip).
    void Uncork()
    {
        if (pa_operation* op = pa_stream_cork(Pa, 0, nullptr, nullptr))
            pa_operation_unref(op);
        Corked = false;
        if (pa_operation* op = pa_stream_update_timing_info(Pa, TimingCame, this)) {
            if (!WaitFor([&] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; }))
                pa_operation_cancel(op);
            pa_operation_unref(op);
        }
    }

    // Hands over what the server has room for; the loop's lock is held.
    void Feed()
    {
        if (Pa == nullptr || pa_stream_get_state(Pa) != PA_STREAM_READY)
            return;
        const std::size_t frame = pa_frame_size(&Spec);
        while (!Queue.empty()) {
            const std::size_t room = pa_stream_writable_size(Pa);
            if (room == static_cast<std::size_t>(-1) || room < frame)
                return;
            WaveHeader* header = Queue.front();
            const std::size_t left = header->BufferLength - Offset;
            const std::size_t n = left < room ? left : room - room % frame;
            if (pa_stream_write(Pa, header->Data + Offset, n, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return;
            // The server plays what it is given back to back, and what comes
            // after it ran dry one sink latency from now.
            const auto sounds = std::max(PlayedOut, Clock::now() + SinkLatency);
            if (Offset == 0)
                StampSoundsAt(*header, sounds);
            PlayedOut = sounds
                + std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(pa_bytes_to_usec(n, &Spec)));
            Offset += n;
            Starved = false;
            if (Offset >= header->BufferLength) {
                Queue.pop_front();
                Offset = 0;
                Done(header);
            }
        }
    }

    void Done(WaveHeader* header)
    {
        MarkDone(*header);
        if (Callback)
            Callback(Handle(), WOM_DONE, Instance, reinterpret_cast<std::uintptr_t>(header), 0);
    }
};

PulseWaveOut::PulseWaveOut() = default;

PulseWaveOut::~PulseWaveOut() = default;

bool PulseWaveOut::ServerAnswers()
{
    Stream probe;
    probe.Loop = pa_threaded_mainloop_new();
    if (probe.Loop == nullptr || pa_threaded_mainloop_start(probe.Loop) < 0)
        return false;
    pa_threaded_mainloop_lock(probe.Loop);
    const bool ready = probe.ConnectContext();
    pa_threaded_mainloop_unlock(probe.Loop);
    return ready;
}

int PulseWaveOut::Query(int device, const WaveFormat& format)
{
    if (device != WAVE_MAPPER && device != 0)
        return MMSYSERR_BADDEVICEID;
    return IsPcm16(format) ? MMSYSERR_NOERROR : WAVERR_BADFORMAT;
}

int PulseWaveOut::Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
                       std::uintptr_t instance)
{
    std::lock_guard lock(FProducer);
    if (FStream)
        return MMSYSERR_ALLOCATED;
    if (int rc = Query(device, format); rc != MMSYSERR_NOERROR)
        return rc;
    auto stream = std::make_unique<Stream>();
    stream->Spec = {PA_SAMPLE_S16LE, format.SamplesPerSec, static_cast<std::uint8_t>(format.Channels)};
    stream->Callback = callback;
    stream->Instance = instance;
    if (!stream->Connect())
        return MMSYSERR_NODRIVER;
    return Adopt(std::move(stream), handle);
}

int PulseWaveOut::Write(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FProducer);
    Stream* s = Find(handle);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (int rc = CheckQueueable(header, size); rc != MMSYSERR_NOERROR)
        return rc;
    if (header->BufferLength % pa_frame_size(&s->Spec) != 0)
        return MMSYSERR_INVALPARAM; // the server takes whole frames only
    if (s->Broken) {
        s->Disconnect();
        if (!s->Connect())
            return MMSYSERR_NODRIVER;
        s->Broken = false;
    }
    pa_threaded_mainloop_lock(s->Loop);
    MarkQueued(*header);
    ClearSoundsAt(*header);
    s->Queue.push_back(header);
    if (s->Corked)
        s->Uncork();
    s->Feed();
    pa_threaded_mainloop_unlock(s->Loop);
    return MMSYSERR_NOERROR;
}

int PulseWaveOut::Reset(WaveOutHandle handle)
{
    std::lock_guard lock(FProducer);
    Stream* s = Find(handle);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (s->Loop == nullptr)
        return MMSYSERR_NOERROR; // a reconnection failed: nothing is queued
    pa_threaded_mainloop_lock(s->Loop);
    if (s->Pa && pa_stream_get_state(s->Pa) == PA_STREAM_READY)
        if (pa_operation* op = pa_stream_flush(s->Pa, nullptr, nullptr))
            pa_operation_unref(op);
    s->PlayedOut = Stream::Clock::now();
    s->Offset = 0;
    while (!s->Queue.empty()) {
        WaveHeader* queued = s->Queue.front();
        s->Queue.pop_front();
        s->Done(queued);
    }
    pa_threaded_mainloop_unlock(s->Loop);
    s->Broken = true;
    return MMSYSERR_NOERROR;
}

int PulseWaveOut::Close(WaveOutHandle handle)
{
    std::lock_guard lock(FProducer);
    Stream* s = Find(handle);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (s->Loop) {
        pa_threaded_mainloop_lock(s->Loop);
        const bool playing = !s->Queue.empty();
        pa_threaded_mainloop_unlock(s->Loop);
        if (playing)
            return WAVERR_STILLPLAYING;
    }
    FStream.reset();
    return MMSYSERR_NOERROR;
}

std::string PulseWaveOut::ErrorText(int code)
{
    return WaveOutErrorText(code);
}

} // namespace kalvo

namespace kalvo {

namespace {

// The sidetone on the sound server: a stream of its own on the server
// connection of a PulseStream, fed from the server's requests.
class PulseSidetone : public SidetoneOutput {
public:
    ~PulseSidetone() override { Stop(); }

    void Start(int rate, Render render) override
    {
        Stop();
        FRender = std::move(render);
        Base.Spec = {PA_SAMPLE_S16LE, static_cast<std::uint32_t>(rate), 1};
        Base.Loop = pa_threaded_mainloop_new();
        if (Base.Loop == nullptr || pa_threaded_mainloop_start(Base.Loop) < 0)
            throw ESidetone(std::string("The ") + FRole.What
                            + " cannot start: the sound server's thread did not start.");
        pa_threaded_mainloop_lock(Base.Loop);
        const bool ready = Connect();
        pa_threaded_mainloop_unlock(Base.Loop);
        if (!ready) {
            Stop();
            throw ESidetone(std::string("The ") + FRole.What
                            + " cannot start: the sound server did not open a stream.");
        }
    }

    void Wake() override
    {
        if (Base.Loop == nullptr || !Paused.load(std::memory_order_acquire))
            return;
        pa_threaded_mainloop_lock(Base.Loop);
        if (Pa && Paused.exchange(false))
            pa_operation_unref(pa_stream_cork(Pa, 0, nullptr, nullptr));
        QuietFrames = 0;
        pa_threaded_mainloop_unlock(Base.Loop);
    }

    void Stop() override
    {
        if (Base.Loop == nullptr)
            return;
        pa_threaded_mainloop_lock(Base.Loop);
        if (Pa) {
            pa_stream_set_write_callback(Pa, nullptr, nullptr);
            pa_stream_set_state_callback(Pa, nullptr, nullptr);
            pa_stream_disconnect(Pa);
            pa_stream_unref(Pa);
            Pa = nullptr;
        }
        pa_threaded_mainloop_unlock(Base.Loop);
        Base.Disconnect();
    }

private:
    bool Connect()
    {
        if (!Base.ConnectContext())
            return false;
        Pa = pa_stream_new(Base.Context, FRole.Name, &Base.Spec, nullptr);
        if (Pa == nullptr)
            return false;
        pa_stream_set_state_callback(Pa, PulseStream::Signal, &Base);
        pa_stream_set_write_callback(Pa, Requested, this);
        // The sidetone's 20 ms in hand, asked for a quarter of it at a time:
        // a key is heard within about that and the sink's latency. Less runs
        // dry on a busy machine, and a tone that runs dry breaks up.
        pa_buffer_attr attr;
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(Microseconds(FRole.Latency), &Base.Spec));
        attr.prebuf = static_cast<std::uint32_t>(-1);
        attr.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(Microseconds(FRole.Latency / 4), &Base.Spec));
        attr.fragsize = static_cast<std::uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_playback(Pa, nullptr, &attr, flags, nullptr, nullptr) < 0)
            return false;
        return Base.WaitFor([&] { return pa_stream_get_state(Pa) != PA_STREAM_CREATING; })
            && pa_stream_get_state(Pa) == PA_STREAM_READY;
    }

    static void Requested(pa_stream* stream, std::size_t bytes, void* user)
    {
        auto& self = *static_cast<PulseSidetone*>(user);
        void* data = nullptr;
        if (pa_stream_begin_write(stream, &data, &bytes) < 0 || data == nullptr)
            return;
        const std::size_t frames = bytes / sizeof(std::int16_t);
        const bool sounding = self.FRender(static_cast<std::int16_t*>(data), frames);
        pa_stream_write(stream, data, frames * sizeof(std::int16_t), nullptr, 0, PA_SEEK_RELATIVE);
        // Quiet for long: paused until the next key, so that the server stops
        // asking and an open window costs nothing.
        self.QuietFrames = sounding ? 0 : self.QuietFrames + frames;
        if (self.QuietFrames > IdlePause * self.Base.Spec.rate && !self.Paused.exchange(true))
            pa_operation_unref(pa_stream_cork(stream, 1, nullptr, nullptr));
    }

    PulseStream Base;
    pa_stream* Pa = nullptr;
    Render FRender;
    std::size_t QuietFrames = 0; // the loop's thread only, or under its lock
    std::atomic<bool> Paused{false};
};

} // namespace

std::unique_ptr<SidetoneOutput> MakePulseSidetone()
{
    return std::make_unique<PulseSidetone>();
}

} // namespace kalvo
