// The system's sound devices, PortAudio's and the sound server's own. The real
// sound path: the component plays through each into the private PulseAudio
// server's null sink (tools/services.sh), whose monitor is recorded with
// parecord and analysed; skipped when there is no such server to record. The
// devices' own refusals need no server.
#include "audio/EngineSetup.h"
#include "audio/PortAudioWaveOut.h"
#include "audio/PulseWaveOut.h"
#include "audio/SystemWaveOut.h"
#include "audio/TOutSound1.h"
#include "tests/support/TestWaveOut.h"
#include "tests/support/ToneRuns.h"
#include "tests/support/WavFile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

extern char** environ;

namespace kalvo {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::optional<std::string> FindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
        start = end + 1;
    }
    return std::nullopt;
}

// parecord writing the null sink's monitor into a WAV file until stopped.
// Whether the recording holds a loud stretch followed by 0.1 s of quiet.
bool ToneHasEnded(const fs::path& file)
{
    const auto rec = testing::ReadWav(file.string());
    if (!rec)
        return false;
    const auto& x = rec->Left;
    std::size_t end = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (std::abs(static_cast<int>(x[i])) > 2000)
            end = i + 1;
    return end > 0 && x.size() - end > static_cast<std::size_t>(rec->Rate / 10);
}

class Recorder {
public:
    Recorder(const std::string& program, const std::string& source, const fs::path& file)
    {
        std::vector<std::string> args = {
            program,          "--device=" + source, "--latency-msec=20", "--file-format=wav",
            "--format=s16le", "--rate=48000",       "--channels=1",      file.string()};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&Pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            Pid = -1;
    }
    ~Recorder() { Stop(); }
    bool Started() const { return Pid > 0; }
    // SIGINT lets parecord finish the file.
    void Stop()
    {
        if (Pid <= 0)
            return;
        ::kill(Pid, SIGINT);
        int status = 0;
        ::waitpid(Pid, &status, 0);
        Pid = -1;
    }

private:
    pid_t Pid = -1;
};

template <typename Device>
class RealSoundPath : public ::testing::Test {
};

struct DeviceName {
    template <typename Device>
    static std::string GetName(int)
    {
        return std::is_same_v<Device, PulseWaveOut> ? "SoundServer" : "PortAudio";
    }
};

using Devices = ::testing::Types<PortAudioWaveOut, PulseWaveOut>;
TYPED_TEST_SUITE(RealSoundPath, Devices, DeviceName);

TYPED_TEST(RealSoundPath, ToneComesOutOfTheDefaultDevice)
{
    const char* server = std::getenv("PULSE_SERVER");
    if (server == nullptr || *server == '\0')
        GTEST_SKIP() << "PULSE_SERVER is not set: no private PulseAudio server to record from "
                        "(start one with: source tools/services.sh; services_start)";
    auto parecord = FindProgram("parecord");
    if (!parecord)
        GTEST_SKIP() << "parecord is not installed";
    const char* sinkName = std::getenv("KALVO_NULL_SINK");
    std::string source = std::string(sinkName && *sinkName ? sinkName : "kalvo_null") + ".monitor";

    fs::path file = fs::temp_directory_path() / ("kalvo_real_" + std::to_string(::getpid()) + ".wav");
    Recorder recorder(*parecord, source, file);
    ASSERT_TRUE(recorder.Started()) << "cannot start " << *parecord;

    // An idle null sink renders ahead of time; only once the recorder's file
    // grows is the monitor delivering in real time.
    bool recording = false;
    for (int i = 0; i < 250 && !recording; ++i) {
        std::this_thread::sleep_for(20ms);
        std::error_code ec;
        recording = fs::file_size(file, ec) > 44 + 4800 && !ec;
    }
    ASSERT_TRUE(recording) << "parecord wrote nothing from " << source;

    {
        TypeParam device;
        TOutSound out(device);
        ConfigureEngine(out);
        ASSERT_NO_THROW(out.Initialize());

        // 0.24 s of 800 Hz at amplitude 20000.
        const int toneSamples = 1920;
        for (int i = 0; i < toneSamples; ++i) {
            auto v = static_cast<std::int16_t>(
                std::lround(20000.0 * std::sin(2 * M_PI * 800.0 * i / EngineSetup::SampRate)));
            out.SendSample(SamplePair{v, v});
        }
        out.Flush();
        // Two more buffers of silence and the first sample of a third: that
        // sample can only go in once the device has finished the tone's buffer.
        for (int i = 0; i < 2 * EngineSetup::BufferLength + 1; ++i)
            out.SendSample(SamplePair{0, 0});
        // What the device took still passes through PortAudio and the server:
        // the recording is read until a tenth of a second of quiet follows the
        // tone, or ten seconds have passed.
        for (int i = 0; i < 200 && !ToneHasEnded(file); ++i)
            std::this_thread::sleep_for(50ms);
        recorder.Stop();
    }

    auto rec = testing::ReadWav(file.string());
    fs::remove(file);
    ASSERT_TRUE(rec.has_value()) << "the recording is not a 16-bit WAV file";
    ASSERT_GT(rec->Rate, 0);
    const auto& x = rec->Left;

    int peak = 0;
    for (std::int16_t v : x)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    ASSERT_GT(peak, 2000) << "no tone reached the null sink (peak " << peak << " in " << x.size() << " samples)";

    // The tone: the samples above a quarter of the peak, quiet spells shorter
    // than 5 ms bridged.
    const int threshold = peak / 4;
    const auto bridge = static_cast<std::size_t>(std::ceil(rec->Rate * 0.005)) - 1;
    const auto runs = testing::ToneRuns(x, bridge, threshold + 1);
    ASSERT_FALSE(runs.empty());
    const std::size_t first = runs.front().Start;
    const std::size_t last = runs.back().Start + runs.back().Length - 1;
    double seconds = static_cast<double>(last - first + 1) / rec->Rate;
    EXPECT_NEAR(seconds, 0.24, 0.04) << "tone length";

    // Frequency from the upward zero crossings within the span.
    int crossings = 0;
    std::size_t firstCrossing = 0, lastCrossing = 0;
    for (std::size_t i = first + 1; i <= last; ++i)
        if (x[i - 1] < 0 && x[i] >= 0) {
            if (crossings == 0)
                firstCrossing = i;
            lastCrossing = i;
            ++crossings;
        }
    ASSERT_GT(crossings, 10);
    double frequency = (crossings - 1) * static_cast<double>(rec->Rate) / (lastCrossing - firstCrossing);
    EXPECT_NEAR(frequency, 800.0, 20.0) << "tone frequency";

    // Played gaplessly: no quiet spell of 5 ms inside the tone splits it.
    EXPECT_EQ(runs.size(), 1u) << "a gap inside the tone";

    std::printf("recorded tone: %.3f s at %.1f Hz, peak %d\n", seconds, frequency, peak);
}

void ReleaseOnDone(WaveOutHandle, unsigned message, std::uintptr_t instance, std::uintptr_t, std::uintptr_t)
{
    if (message == WOM_DONE)
        reinterpret_cast<Semaphore*>(instance)->release();
}

TYPED_TEST(RealSoundPath, ResetReturnsQueuedBuffersAndLaterWritesPlay)
{
    const char* server = std::getenv("PULSE_SERVER");
    if (server == nullptr || *server == '\0')
        GTEST_SKIP() << "PULSE_SERVER is not set: no private PulseAudio server to play to";
    TypeParam device;
    const WaveFormat format = Mono8000();
    ASSERT_EQ(device.Query(WAVE_MAPPER, format), 0);
    Semaphore done(0);
    WaveOutHandle h = 0;
    ASSERT_EQ(device.Open(&h, WAVE_MAPPER, format, ReleaseOnDone, reinterpret_cast<std::uintptr_t>(&done)), 0);

    // Three buffers of a second each: far from played when the reset comes.
    std::vector<std::vector<std::int16_t>> data(4, std::vector<std::int16_t>(8000, 0));
    std::vector<WaveHeader> headers(4);
    for (std::size_t i = 0; i < 4; ++i) {
        headers[i].Data = reinterpret_cast<char*>(data[i].data());
        headers[i].BufferLength = 16000;
        ASSERT_EQ(device.PrepareHeader(h, &headers[i], sizeof(WaveHeader)), 0);
    }
    for (std::size_t i = 0; i < 3; ++i)
        ASSERT_EQ(device.Write(h, &headers[i], sizeof(WaveHeader)), 0);
    EXPECT_EQ(device.Close(h), WAVERR_STILLPLAYING);
    ASSERT_EQ(device.Reset(h), 0);
    int returned = 0;
    while (done.try_acquire())
        ++returned;
    EXPECT_EQ(returned, 3) << "every queued buffer comes back at the reset";
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(headers[i].Flags & WHDR_DONE);

    // Playback resumes for a buffer written after the reset.
    headers[3].BufferLength = 800; // 50 ms
    ASSERT_EQ(device.Write(h, &headers[3], sizeof(WaveHeader)), 0);
    EXPECT_TRUE(done.try_acquire_for(5s)) << "a buffer written after the reset was never finished";
    EXPECT_EQ(device.Close(h), 0);
}

// Run by ctest with PULSE_SERVER pointing to no server: on a machine without a
// sound card of its own the program's device (PortAudio's, as no server
// answers) reports the device error once and then refuses samples; the sound
// server's device says the same.
TEST(NoSoundServer, TheErrorIsClear)
{
    const char* expect = std::getenv("KALVO_EXPECT_NO_SOUND_DEVICE");
    if (expect == nullptr || *expect == '\0')
        GTEST_SKIP() << "only run with KALVO_EXPECT_NO_SOUND_DEVICE set";
    PulseWaveOut server;
    WaveOutHandle h = 0;
    EXPECT_EQ(server.Open(&h, WAVE_MAPPER, Mono8000(), nullptr, 0), MMSYSERR_NODRIVER);

    const auto device = MakeSystemWaveOut();
    EXPECT_TRUE(dynamic_cast<PortAudioWaveOut*>(device.get()));
    TOutSound out(*device);
    ConfigureEngine(out);
    std::string message;
    try {
        out.Initialize();
    } catch (const EOutSound& e) {
        message = e.what();
    }
    if (message.empty())
        GTEST_SKIP() << "this machine has a sound output device of its own";
    EXPECT_EQ(message, "No sound output device is available.");
    try {
        out.SendSample(SamplePair{1, 1});
        ADD_FAILURE() << "SendSample was accepted";
    } catch (const EOutSound& e) {
        EXPECT_STREQ(e.what(), "Cannot send sample until output transfer thread has been created.");
    }
}

// --- The devices' refusals (no sound device needed) -----------------------

TEST(PortAudioWaveOutDevice, ErrorTextsAreClear)
{
    PortAudioWaveOut device;
    EXPECT_EQ(device.ErrorText(MMSYSERR_NODRIVER), "No sound output device is available.");
    EXPECT_EQ(device.ErrorText(-9997), "Invalid sample rate"); // paInvalidSampleRate
    EXPECT_EQ(PulseWaveOut().ErrorText(MMSYSERR_NODRIVER), "No sound output device is available.");
}

TYPED_TEST(RealSoundPath, ForeignHandlesAndFormatsAreRefused)
{
    TypeParam device;
    WaveHeader header;
    EXPECT_EQ(device.Write(12345, &header, sizeof(WaveHeader)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(device.Reset(12345), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(device.Close(12345), MMSYSERR_INVALHANDLE);
    WaveFormat eightBit = Mono8000();
    eightBit.BitsPerSample = 8;
    EXPECT_NE(device.Query(WAVE_MAPPER, eightBit), 0);
}

} // namespace
} // namespace kalvo
