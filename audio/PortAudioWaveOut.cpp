#include "audio/PortAudioWaveOut.h"

#include "audio/HeaderQueue.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <pa_linux_alsa.h>
#include <portaudio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace kalvo {

namespace {

// ALSA and JACK print every failed probe of a card or server to stderr while
// PortAudio looks for devices; none of it is of use to the user.
void SilentAlsa(const char*, int, const char*, int, const char*, ...) { }
void SilentJack(const char*) { }

void SilenceJack()
{
    // libjack comes in with PortAudio when it was built with JACK support;
    // its hooks are looked up rather than linked so that it stays optional.
    using SetFunction = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
        if (auto set = reinterpret_cast<SetFunction>(dlsym(RTLD_DEFAULT, name)))
            set(SilentJack);
}

// A few plugins (ALSA's JACK plugin, for one) print straight to stderr while
// PortAudio probes every device at initialisation; the error descriptor points
// to /dev/null for that moment only.
class QuietStderr {
public:
    QuietStderr()
    {
        std::fflush(stderr);
        FSaved = ::dup(STDERR_FILENO);
        int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (FSaved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStderr()
    {
        if (FSaved < 0)
            return;
        std::fflush(stderr);
        ::dup2(FSaved, STDERR_FILENO);
        ::close(FSaved);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int FSaved = -1;
};

// PortAudio once per process; terminated at exit. Every device object touches
// it in its constructor, so that it outlives even a static device object.
class PortAudioLibrary {
public:
    PortAudioLibrary()
    {
        snd_lib_error_set_handler(SilentAlsa);
        SilenceJack();
        QuietStderr quiet;
        FStatus = Pa_Initialize();
        // Only the ALSA host API reads this; others ignore it.
        PaAlsa_SetNumPeriods(PortAudioWaveOut::HostPeriods);
    }
    ~PortAudioLibrary()
    {
        if (FStatus == paNoError)
            Pa_Terminate();
    }
    PaError Status() const { return FStatus; }

private:
    PaError FStatus;
};

PaError LibraryStatus()
{
    static PortAudioLibrary library;
    return library.Status();
}

bool IsPcm16(const WaveFormat& f)
{
    return f.FormatTag == 1 && f.BitsPerSample == 16 && f.Channels >= 1;
}

// Fills the output parameters for a device number; 0 or an error code.
int OutputParameters(int device, const WaveFormat& format, PaStreamParameters& params)
{
    if (PaError status = LibraryStatus(); status != paNoError)
        return status;
    if (!IsPcm16(format))
        return WAVERR_BADFORMAT;
    PaDeviceIndex index;
    if (device == WAVE_MAPPER) {
        index = Pa_GetDefaultOutputDevice();
        if (index == paNoDevice)
            return MMSYSERR_NODRIVER;
    } else {
        if (device < 0 || device >= Pa_GetDeviceCount())
            return MMSYSERR_BADDEVICEID;
        index = device;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    if (info == nullptr || info->maxOutputChannels < 1)
        return MMSYSERR_BADDEVICEID;
    params = PaStreamParameters{};
    params.device = index;
    params.channelCount = format.Channels;
    params.sampleFormat = paInt16;
    params.suggestedLatency = std::max(PortAudioWaveOut::SuggestedLatency, info->defaultLowOutputLatency);
    params.hostApiSpecificStreamInfo = nullptr;
    return MMSYSERR_NOERROR;
}

} // namespace

struct PortAudioStream {
    PaStream* Pa = nullptr; // null after a failed reopen
    PaStreamParameters Params{};
    double Rate = 0;
    WaveOutProc Callback = nullptr;
    std::uintptr_t Instance = 0;
    int Channels = 1;
    double Latency = 0; // the open stream's output latency, seconds

    // Written buffers not yet reported done (queued or playing).
    std::atomic<int> Queued{0};
    // Reset leaves the stream stopped; the next Write starts it again.
    std::atomic<bool> Stopped{false};
    // The callback ending an idle stream: Ending while it decides, Ended once
    // it returns paComplete; the next Write then starts the stream again.
    enum : int { Playing, Ending, Ended };
    std::atomic<int> Idle{Playing};

    // Written by Write, read by the PortAudio callback, or by Reset once the
    // stream has stopped.
    HeaderQueue Queue;

    // The consumer's own: the buffer being played and the position in it, and
    // the silence played since the last buffer.
    WaveHeader* Current = nullptr;
    std::size_t Offset = 0; // in 16-bit values
    unsigned long SilentFrames = 0;

    WaveOutHandle Handle() const { return reinterpret_cast<WaveOutHandle>(this); }

    // The buffer is no longer touched after this: the callback may hand it
    // straight back to the writer.
    void Done(WaveHeader* header)
    {
        MarkDone(*header);
        Queued.fetch_sub(1);
        if (Callback)
            Callback(Handle(), WOM_DONE, Instance, reinterpret_cast<std::uintptr_t>(header), 0);
    }

    // After IdleStop of silence the stream ends itself, so that neither this
    // process nor the sound server works for nothing. A buffer written
    // meanwhile is never stranded: the callback announces Ending before it
    // looks whether a write has begun (Queued), and Write counts itself in
    // Queued before it looks at Idle, so one of the two always sees the other.
    int PlayedSilence(unsigned long frames)
    {
        SilentFrames += frames;
        if (SilentFrames < static_cast<unsigned long>(Rate * PortAudioWaveOut::IdleStop))
            return paContinue;
        Idle.store(Ending);
        if (Queued.load() != 0) {
            Idle.store(Playing);
            SilentFrames = 0;
            return paContinue;
        }
        Idle.store(Ended);
        return paComplete;
    }

    // How long after the callback's start its first frame leaves the device:
    // PortAudio's output time minus the callback's time, both on the stream's
    // clock; the stream's latency when the host gives no times.
    double DeviceDelay(const PaStreamCallbackTimeInfo* time) const
    {
        if (time != nullptr && time->outputBufferDacTime > 0 && time->outputBufferDacTime >= time->currentTime)
            return time->outputBufferDacTime - time->currentTime;
        return Latency;
    }

    static int Play(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                    PaStreamCallbackFlags, void* user)
    {
        auto& s = *static_cast<PortAudioStream*>(user);
        auto* out = static_cast<std::int16_t*>(output);
        const auto now = std::chrono::steady_clock::now();
        const std::size_t all = frames * static_cast<std::size_t>(s.Channels);
        std::size_t need = all;
        while (need > 0) {
            if (s.Current == nullptr) {
                s.Current = s.Queue.Pop();
                s.Offset = 0;
                if (s.Current == nullptr) {
                    std::memset(out, 0, need * sizeof(std::int16_t));
                    return s.PlayedSilence(frames);
                }
                // The steady clock is taken here because the stream's own
                // clock may be another one (or none): only the delay is used.
                const double frame = static_cast<double>((all - need) / static_cast<std::size_t>(s.Channels));
                const double seconds = s.DeviceDelay(time) + frame / s.Rate;
                StampSoundsAt(*s.Current,
                              now
                                  + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                      std::chrono::duration<double>(seconds)));
            }
            std::size_t total = s.Current->BufferLength / sizeof(std::int16_t);
            std::size_t n = std::min(need, total - s.Offset);
            std::memcpy(out, reinterpret_cast<const std::int16_t*>(s.Current->Data) + s.Offset,
                        n * sizeof(std::int16_t));
            out += n;
            need -= n;
            s.Offset += n;
            s.SilentFrames = 0;
            if (s.Offset >= total) {
                WaveHeader* finished = s.Current;
                s.Current = nullptr;
                s.Done(finished);
            }
        }
        return paContinue;
    }
};

PortAudioWaveOut::PortAudioWaveOut()
{
    LibraryStatus();
}

PortAudioWaveOut::~PortAudioWaveOut()
{
    if (FStream && FStream->Pa) {
        Pa_AbortStream(FStream->Pa);
        Pa_CloseStream(FStream->Pa);
    }
}

int PortAudioWaveOut::Query(int device, const WaveFormat& format)
{
    PaStreamParameters params;
    if (int rc = OutputParameters(device, format, params); rc != MMSYSERR_NOERROR)
        return rc;
    PaError supported = Pa_IsFormatSupported(nullptr, &params, format.SamplesPerSec);
    return supported == paFormatIsSupported ? MMSYSERR_NOERROR : supported;
}

PaError PortAudioWaveOut::StartStream(Stream& s)
{
    if (s.Pa) {
        Pa_CloseStream(s.Pa);
        s.Pa = nullptr;
    }
    s.Idle.store(Stream::Playing);
    s.SilentFrames = 0;
    const auto frames = static_cast<unsigned long>(s.Rate * PortAudioWaveOut::CallbackPeriod);
    PaError rc = Pa_OpenStream(&s.Pa, nullptr, &s.Params, s.Rate, frames, paClipOff, &Stream::Play, &s);
    if (rc != paNoError) {
        s.Pa = nullptr;
        return rc;
    }
    // Read before the stream starts: the callback reads it without a lock.
    if (const PaStreamInfo* info = Pa_GetStreamInfo(s.Pa))
        s.Latency = info->outputLatency;
    rc = Pa_StartStream(s.Pa);
    if (rc != paNoError) {
        Pa_CloseStream(s.Pa);
        s.Pa = nullptr;
    }
    return rc;
}

int PortAudioWaveOut::Open(WaveOutHandle* handle, int device, const WaveFormat& format, WaveOutProc callback,
                           std::uintptr_t instance)
{
    std::lock_guard lock(FProducer);
    if (FStream)
        return MMSYSERR_ALLOCATED;
    PaStreamParameters params;
    if (int rc = OutputParameters(device, format, params); rc != MMSYSERR_NOERROR)
        return rc;
    auto stream = std::make_unique<Stream>();
    stream->Callback = callback;
    stream->Instance = instance;
    stream->Channels = format.Channels;
    stream->Params = params;
    stream->Rate = format.SamplesPerSec;
    if (PaError rc = StartStream(*stream); rc != paNoError)
        return rc;
    return Adopt(std::move(stream), handle);
}

int PortAudioWaveOut::Write(WaveOutHandle handle, WaveHeader* header, unsigned size)
{
    std::lock_guard lock(FProducer);
    Stream* s = Find(handle);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (int rc = CheckQueueable(header, size); rc != MMSYSERR_NOERROR)
        return rc;
    // A reset stream is opened anew here rather than started again: after a
    // stall its sound server may have gone away or come back as a new server,
    // and starting a stream whose connection died never returns. Until the
    // open succeeds the buffer is refused: no device is there to play it.
    if (s->Stopped.load()) {
        if (StartStream(*s) != paNoError)
            return MMSYSERR_NODRIVER;
        s->Stopped.store(false);
    }
    MarkQueued(*header);
    s->Queued.fetch_add(1);
    if (!s->Queue.Push(header)) {
        s->Queued.fetch_sub(1);
        header->Flags &= ~WHDR_INQUEUE;
        return MMSYSERR_NOMEM;
    }
    // The callback decides within one pass whether it ends the stream.
    int idle;
    while ((idle = s->Idle.load()) == Stream::Ending)
        std::this_thread::yield();
    if (idle == Stream::Ended)
        return Wake(*s);
    return MMSYSERR_NOERROR;
}

int PortAudioWaveOut::Wake(Stream& s)
{
    // The stream ended itself and plays out the silence it had been given;
    // stopping it waits for that, then it starts afresh with the queue as it
    // stands. Its callback has ended, so the consumer's state is this
    // thread's until the start.
    Pa_StopStream(s.Pa);
    s.Idle.store(Stream::Playing);
    s.SilentFrames = 0;
    if (Pa_StartStream(s.Pa) == paNoError)
        return MMSYSERR_NOERROR;
    // A stream that does not start again is opened anew, as after a reset.
    if (StartStream(s) == paNoError)
        return MMSYSERR_NOERROR;
    s.Stopped.store(true);
    return MMSYSERR_NOERROR;
}

int PortAudioWaveOut::Reset(WaveOutHandle handle)
{
    std::lock_guard lock(FProducer);
    Stream* s = Find(handle);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    // Once the stream has stopped its callback no longer runs, and this thread
    // may act as the queue's consumer. A stream whose host side failed may
    // refuse to stop, but its callback has ended all the same.
    if (s->Pa && Pa_IsStreamStopped(s->Pa) == 0) {
        PaError rc = Pa_AbortStream(s->Pa);
        if (rc != paNoError && Pa_IsStreamActive(s->Pa) == 1)
            return rc;
    }
    if (s->Current) {
        WaveHeader* playing = s->Current;
        s->Current = nullptr;
        s->Done(playing);
    }
    while (WaveHeader* queued = s->Queue.Pop())
        s->Done(queued);
    s->Stopped.store(true);
    return MMSYSERR_NOERROR;
}

int PortAudioWaveOut::Close(WaveOutHandle handle)
{
    std::lock_guard lock(FProducer);
    Stream* s = Find(handle);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (s->Queued.load() > 0)
        return WAVERR_STILLPLAYING;
    if (s->Pa) {
        if (PaError rc = Pa_CloseStream(s->Pa); rc != paNoError)
            return rc;
    }
    FStream.reset();
    return MMSYSERR_NOERROR;
}

std::string PortAudioWaveOut::ErrorText(int code)
{
    if (code >= 0)
        return WaveOutErrorText(code);
    std::string text = Pa_GetErrorText(code);
    if (code == paUnanticipatedHostError) {
        const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
        if (host && host->errorText && *host->errorText)
            text += std::string(": ") + host->errorText;
    }
    return text;
}

} // namespace kalvo

namespace kalvo {

namespace {

// The sidetone on the default output device, through a callback stream of
// its own with the device's low latency.
class PortAudioSidetone : public SidetoneOutput {
public:
    ~PortAudioSidetone() override { Stop(); }

    void Start(int rate, Render render) override
    {
        Stop();
        FRender = std::move(render);
        PaError rc = LibraryStatus();
        const PaDeviceIndex device = rc == paNoError ? Pa_GetDefaultOutputDevice() : paNoDevice;
        const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
        if (rc == paNoError && info == nullptr)
            rc = paDeviceUnavailable;
        if (rc == paNoError) {
            PaStreamParameters params{};
            params.device = device;
            params.channelCount = 1;
            params.sampleFormat = paInt16;
            params.suggestedLatency = std::max(FRole.Latency, info->defaultLowOutputLatency);
            QuietStderr quiet;
            rc = Pa_OpenStream(&Pa, nullptr, &params, rate, paFramesPerBufferUnspecified, paClipOff, Play, this);
        }
        if (rc == paNoError)
            rc = Pa_StartStream(Pa);
        if (rc != paNoError) {
            Stop();
            throw ESidetone(std::string("The ") + FRole.What + " cannot start: " + Pa_GetErrorText(rc) + ".");
        }
    }

    void Stop() override
    {
        if (Pa == nullptr)
            return;
        Pa_AbortStream(Pa);
        Pa_CloseStream(Pa);
        Pa = nullptr;
    }

private:
    static int Play(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                    PaStreamCallbackFlags, void* user)
    {
        // A callback stream cannot pause cheaply: it keeps running.
        static_cast<PortAudioSidetone*>(user)->FRender(static_cast<std::int16_t*>(output), frames);
        return paContinue;
    }

    PaStream* Pa = nullptr;
    Render FRender;
};

} // namespace

std::unique_ptr<SidetoneOutput> MakePortAudioSidetone()
{
    return std::make_unique<PortAudioSidetone>();
}

} // namespace kalvo
