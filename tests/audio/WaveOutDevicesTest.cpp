#include "audio/EngineSetup.h"
#include "audio/SoundFileWaveOut.h"
#include "audio/TOutSound1.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestWaveOut.h"
#include "tests/support/WavFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace kalvo {
namespace {

struct DoneLog {
    std::vector<WaveHeader*> Headers;
    std::vector<WaveOutHandle> Handles;
};

void RecordDone(WaveOutHandle handle, unsigned message, std::uintptr_t instance, std::uintptr_t p1, std::uintptr_t)
{
    if (message != WOM_DONE)
        return;
    auto* log = reinterpret_cast<DoneLog*>(instance);
    log->Headers.push_back(reinterpret_cast<WaveHeader*>(p1));
    log->Handles.push_back(handle);
}

struct Buffer {
    explicit Buffer(std::vector<std::int16_t> samples) : Samples(std::move(samples))
    {
        Header.Data = reinterpret_cast<char*>(Samples.data());
        Header.BufferLength = static_cast<std::uint32_t>(Samples.size() * 2);
    }
    std::vector<std::int16_t> Samples;
    WaveHeader Header;
};

constexpr unsigned HeaderSize = sizeof(WaveHeader);

// --- TestWaveOut -------------------------------------------------------------

TEST(TestWaveOutDevice, ImmediateCompletionReportsInsideWrite)
{
    TestWaveOut device;
    DoneLog log;
    WaveOutHandle h = 0;
    ASSERT_EQ(device.Open(&h, WAVE_MAPPER, Mono8000(), RecordDone, reinterpret_cast<std::uintptr_t>(&log)), 0);
    Buffer a({1, 2, 3});
    EXPECT_EQ(device.Write(h, &a.Header, HeaderSize), WAVERR_UNPREPARED);
    EXPECT_EQ(device.PrepareHeader(h, &a.Header, HeaderSize), 0);
    EXPECT_EQ(device.Write(h, &a.Header, HeaderSize), 0);
    ASSERT_EQ(log.Headers.size(), 1u);
    EXPECT_EQ(log.Headers[0], &a.Header);
    EXPECT_EQ(log.Handles[0], h);
    EXPECT_TRUE(a.Header.Flags & WHDR_DONE);
    EXPECT_EQ(device.Written(), (std::vector<std::vector<std::int16_t>>{{1, 2, 3}}));
    EXPECT_EQ(device.PrepareCount(), 1);
    EXPECT_EQ(device.Close(h), 0);
}

TEST(TestWaveOutDevice, OnDemandCompletionInOrderAndResetReturnsTheRest)
{
    TestWaveOut device(TestWaveOut::Completion::OnDemand);
    DoneLog log;
    WaveOutHandle h = 0;
    ASSERT_EQ(device.Open(&h, WAVE_MAPPER, Mono8000(), RecordDone, reinterpret_cast<std::uintptr_t>(&log)), 0);
    Buffer a({1}), b({2}), c({3});
    for (Buffer* x : {&a, &b, &c}) {
        device.PrepareHeader(h, &x->Header, HeaderSize);
        device.Write(h, &x->Header, HeaderSize);
    }
    EXPECT_TRUE(log.Headers.empty());
    EXPECT_EQ(device.PendingCount(), 3u);
    EXPECT_EQ(device.UnprepareHeader(h, &a.Header, HeaderSize), WAVERR_STILLPLAYING);
    EXPECT_EQ(device.Close(h), WAVERR_STILLPLAYING);
    EXPECT_TRUE(device.CompleteNext());
    ASSERT_EQ(log.Headers.size(), 1u);
    EXPECT_EQ(log.Headers[0], &a.Header);
    EXPECT_EQ(device.Reset(h), 0);
    ASSERT_EQ(log.Headers.size(), 3u);
    EXPECT_EQ(log.Headers[1], &b.Header);
    EXPECT_EQ(log.Headers[2], &c.Header);
    EXPECT_FALSE(device.CompleteNext());
    EXPECT_EQ(device.UnprepareHeader(h, &a.Header, HeaderSize), 0);
    EXPECT_EQ(device.UnprepareCount(), 2);
    EXPECT_EQ(device.Close(h), 0);
    EXPECT_FALSE(device.IsOpen());
}

TEST(TestWaveOutDevice, InjectedFailuresAndRefusedHeaderSize)
{
    TestWaveOut device;
    device.FailQuery(WAVERR_BADFORMAT);
    EXPECT_EQ(device.Query(WAVE_MAPPER, Mono8000()), WAVERR_BADFORMAT);
    device.FailQuery(0);
    EXPECT_EQ(device.Query(WAVE_MAPPER, Mono8000()), 0);
    device.FailOpen(MMSYSERR_NODRIVER);
    WaveOutHandle h = 0;
    EXPECT_EQ(device.Open(&h, WAVE_MAPPER, Mono8000(), nullptr, 0), MMSYSERR_NODRIVER);
    EXPECT_EQ(device.ErrorText(MMSYSERR_NODRIVER), "No sound output device is available.");
    device.FailOpen(0);
    ASSERT_EQ(device.Open(&h, WAVE_MAPPER, Mono8000(), nullptr, 0), 0);
    EXPECT_EQ(device.Open(&h, WAVE_MAPPER, Mono8000(), nullptr, 0), MMSYSERR_ALLOCATED);
    Buffer a({1});
    EXPECT_EQ(device.PrepareHeader(h, &a.Header, 32 - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(device.PrepareHeader(h + 1, &a.Header, HeaderSize), MMSYSERR_INVALHANDLE);
    device.FailReset(MMSYSERR_ERROR);
    device.FailClose(MMSYSERR_INVALHANDLE);
    EXPECT_EQ(device.Reset(h), MMSYSERR_ERROR);
    EXPECT_EQ(device.Close(h), MMSYSERR_INVALHANDLE);
}

// --- SoundFileWaveOut writing WAV ---------------------------------------------

using testing::Le16;
using testing::Le32;

class SoundFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Path = std::filesystem::temp_directory_path()
            / ("kalvo_wav_" + std::to_string(::getpid()) + "_"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav");
    }
    void TearDown() override { std::filesystem::remove(Path); }
    std::filesystem::path Path;
};

TEST_F(SoundFileTest, BuffersAreWrittenInOrderAndTheHeaderFinalised)
{
    SoundFileWaveOut device(Path.string(), FileOptions{});
    DoneLog log;
    WaveOutHandle h = 0;
    WaveFormat stereo = Mono8000();
    stereo.Channels = 2;
    EXPECT_EQ(device.Query(WAVE_MAPPER, stereo), WAVERR_BADFORMAT);
    WaveFormat mono = Mono8000();
    mono.SamplesPerSec = 11025;
    ASSERT_EQ(device.Open(&h, WAVE_MAPPER, mono, RecordDone, reinterpret_cast<std::uintptr_t>(&log)), 0);
    Buffer a({1, -1, 2, -2}), b({-32768, 32767});
    for (Buffer* x : {&a, &b}) {
        device.PrepareHeader(h, &x->Header, HeaderSize);
        EXPECT_EQ(device.Write(h, &x->Header, HeaderSize), 0);
    }
    EXPECT_EQ(log.Headers, (std::vector<WaveHeader*>{&a.Header, &b.Header})); // done at once
    EXPECT_EQ(device.Reset(h), 0);
    EXPECT_EQ(device.Close(h), 0);

    const std::string d = testing::ReadBytes(Path.string());
    ASSERT_EQ(d.size(), 44u + 12u);
    EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(d, 4), 36u + 12u);
    EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(d, 16), 16u);
    EXPECT_EQ(Le16(d, 20), 1); // PCM
    EXPECT_EQ(Le16(d, 22), 1); // channels
    EXPECT_EQ(Le32(d, 24), 11025u);
    EXPECT_EQ(Le32(d, 28), 22050u); // bytes per second
    EXPECT_EQ(Le16(d, 32), 2); // block align
    EXPECT_EQ(Le16(d, 34), 16);
    EXPECT_EQ(std::string(d.begin() + 36, d.begin() + 40), "data");
    EXPECT_EQ(Le32(d, 40), 12u);
    std::vector<std::int16_t> samples;
    for (std::size_t i = 44; i < d.size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(Le16(d, i)));
    EXPECT_EQ(samples, (std::vector<std::int16_t>{1, -1, 2, -2, -32768, 32767}));
}

TEST_F(SoundFileTest, UncreatableFileGivesItsName)
{
    std::string bad = (Path / "no" / "such" / "folder.wav").string();
    SoundFileWaveOut device(bad, FileOptions{});
    WaveOutHandle h = 0;
    int rc = device.Open(&h, WAVE_MAPPER, Mono8000(), nullptr, 0);
    ASSERT_NE(rc, 0);
    EXPECT_EQ(device.ErrorText(rc).rfind("Cannot create file " + bad + " (", 0), 0u) << device.ErrorText(rc);
}

TEST_F(SoundFileTest, TheComponentRendersIntoAFile)
{
    SoundFileWaveOut device(Path.string(), FileOptions{});
    {
        TOutSound out(device);
        ConfigureEngine(out);
        out.Initialize();
        for (int i = 0; i < 4001; ++i)
            out.SendSample(SamplePair{static_cast<std::int16_t>(i), 0});
        out.Flush();
        // Completion is immediate, so after the second buffer was taken its
        // semaphore count is back: three free buffers mean both were written.
        for (int i = 0; i < 3 * 4000; ++i)
            out.SendSample(SamplePair{0, 0});
    }
    const std::string d = testing::ReadBytes(Path.string());
    ASSERT_GE(d.size(), 44u + 2u * 8000u);
    EXPECT_EQ(Le32(d, 24), 8000u);
    EXPECT_EQ(Le16(d, 22), 1);
    EXPECT_EQ(Le32(d, 40), d.size() - 44);
    EXPECT_EQ(static_cast<std::int16_t>(Le16(d, 44 + 2 * 3999)), 3999);
    EXPECT_EQ(static_cast<std::int16_t>(Le16(d, 44 + 2 * 4000)), 4000);
    EXPECT_EQ(static_cast<std::int16_t>(Le16(d, 44 + 2 * 4001)), 0);
}

} // namespace
} // namespace kalvo
