#include "audio/EngineSetup.h"
#include "audio/TOutSound1.h"
#include "tests/support/Failure.h"
#include "tests/support/TestWaveOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace kalvo {
namespace {

using namespace std::chrono_literals;

const char* const SetterRefused = "Cannot set soundcard property after initialization.";
const char* const Reinitialize = "Cannot reinitialize sound output device";
const char* const SendRefused = "Cannot send sample until output transfer thread has been created.";

template <typename F>
std::string OutSoundFailure(F&& f)
{
    return testing::Failure<EOutSound>(std::forward<F>(f));
}

// The program's configuration: 8000 samples per second, buffers of 4000.
std::unique_ptr<TOutSound> ProgramOutSound(WaveOutDevice& device)
{
    auto out = std::make_unique<TOutSound>(device);
    ConfigureEngine(*out);
    return out;
}

void SendSamples(TOutSound& out, int count, std::int16_t value)
{
    for (int i = 0; i < count; ++i)
        out.SendSample(SamplePair{value, value});
}

// --- Properties and stages ---------------------------------------------------

TEST(OutSoundProperties, DeclaredDefaults)
{
    TestWaveOut device;
    TOutSound out(device);
    EXPECT_EQ(out.Device(), -1);
    EXPECT_EQ(out.SampRate(), 44100);
    EXPECT_EQ(out.Channels(), 1);
    EXPECT_EQ(out.Buffers(), 3);
    EXPECT_EQ(out.BufferLength(), 20000);
    EXPECT_EQ(out.InitStage(), 0);
    EXPECT_EQ(out.FillCount(), 0);
    EXPECT_EQ(out.GetWaveOutHandle(), 0u);
}

TEST(OutSoundProperties, SettableBeforeInitializeRefusedAfter)
{
    TestWaveOut device;
    TOutSound out(device);
    out.SetSampRate(8000);
    EXPECT_EQ(out.SampRate(), 8000);
    out.SetBufferLength(4000);
    out.Initialize();
    EXPECT_EQ(out.InitStage(), 4);

    EXPECT_EQ(OutSoundFailure([&] { out.SetSampRate(44100); }), SetterRefused);
    EXPECT_EQ(out.SampRate(), 8000);
    EXPECT_EQ(OutSoundFailure([&] { out.SetDevice(2); }), SetterRefused);
    EXPECT_EQ(OutSoundFailure([&] { out.SetChannels(2); }), SetterRefused);
    EXPECT_EQ(OutSoundFailure([&] { out.SetBuffers(5); }), SetterRefused);
    EXPECT_EQ(OutSoundFailure([&] { out.SetBufferLength(100); }), SetterRefused);
    EXPECT_EQ(out.Device(), -1);
    EXPECT_EQ(out.Channels(), 1);
    EXPECT_EQ(out.Buffers(), 3);
    EXPECT_EQ(out.BufferLength(), 4000);
}

TEST(OutSoundProperties, SecondInitializeIsRefusedAndChangesNothing)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    WaveOutHandle handle = out->GetWaveOutHandle();
    EXPECT_EQ(OutSoundFailure([&] { out->Initialize(); }), Reinitialize);
    EXPECT_EQ(out->InitStage(), 4);
    EXPECT_EQ(out->GetWaveOutHandle(), handle);
    EXPECT_TRUE(device.IsOpen());
    // Still working.
    out->SendSample(SamplePair{1, 1});
    out->Flush();
    EXPECT_TRUE(device.WaitForWritten(1));
}

TEST(OutSoundProperties, SendSampleBeforeInitializeIsRefusedFlushDoesNothing)
{
    TestWaveOut device;
    TOutSound out(device);
    EXPECT_EQ(OutSoundFailure([&] { out.SendSample(SamplePair{1, 2}); }), SendRefused);
    EXPECT_NO_THROW(out.Flush());
    EXPECT_EQ(out.FillCount(), 0);
    EXPECT_FALSE(device.QueriedFormat().has_value()); // the device was not touched
}

TEST(OutSoundProperties, DeviceIsOpenedForSixteenBitMonoAtEightThousand)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    ASSERT_TRUE(device.OpenFormat().has_value());
    WaveFormat f = *device.OpenFormat();
    EXPECT_EQ(f.FormatTag, 1);
    EXPECT_EQ(f.Channels, 1);
    EXPECT_EQ(f.SamplesPerSec, 8000u);
    EXPECT_EQ(f.AvgBytesPerSec, 16000u);
    EXPECT_EQ(f.BlockAlign, 2);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.ExtraSize, 0);
    EXPECT_EQ(device.OpenDevice(), WAVE_MAPPER);
    ASSERT_TRUE(device.QueriedFormat().has_value());
    EXPECT_EQ(device.QueriedFormat()->AvgBytesPerSec, 16000u);
    EXPECT_EQ(out->GetWaveOutHandle(), TestWaveOut::Handle);
}

TEST(OutSoundProperties, StereoFormat)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->SetChannels(2);
    out->Initialize();
    WaveFormat f = *device.OpenFormat();
    EXPECT_EQ(f.Channels, 2);
    EXPECT_EQ(f.AvgBytesPerSec, 32000u);
    EXPECT_EQ(f.BlockAlign, 4);
}

// --- Failing devices ---------------------------------------------------------

TEST(OutSoundInitializeFailure, RefusedFormatLeavesStageZero)
{
    TestWaveOut device;
    device.FailQuery(WAVERR_BADFORMAT);
    auto out = ProgramOutSound(device);
    EXPECT_EQ(OutSoundFailure([&] { out->Initialize(); }), WaveOutErrorText(WAVERR_BADFORMAT));
    EXPECT_EQ(out->InitStage(), 0);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(OutSoundFailure([&] { out->SendSample(SamplePair{1, 1}); }), SendRefused);
    EXPECT_NO_THROW(out->Flush());
    // Stage 0: the properties may still be changed.
    out->SetSampRate(11025);
    EXPECT_EQ(out->SampRate(), 11025);
    out.reset();
    EXPECT_EQ(device.ResetCount(), 0);
    EXPECT_EQ(device.CloseCount(), 0);
}

TEST(OutSoundInitializeFailure, FailedOpenLeavesStageOne)
{
    TestWaveOut device;
    device.FailOpen(MMSYSERR_ALLOCATED);
    auto out = ProgramOutSound(device);
    EXPECT_EQ(OutSoundFailure([&] { out->Initialize(); }), "The sound output device is already in use.");
    EXPECT_EQ(out->InitStage(), 1);
    EXPECT_EQ(OutSoundFailure([&] { out->SendSample(SamplePair{1, 1}); }), SendRefused);
    EXPECT_EQ(OutSoundFailure([&] { out->SetSampRate(11025); }), SetterRefused);
    EXPECT_EQ(OutSoundFailure([&] { out->Initialize(); }), Reinitialize);
    EXPECT_NO_THROW(out->Flush());
    out.reset();
    // Nothing of the device is released at stage 1.
    EXPECT_EQ(device.ResetCount(), 0);
    EXPECT_EQ(device.CloseCount(), 0);
}

// A device with a very long error text.
class WordyWaveOut : public TestWaveOut {
public:
    std::string ErrorText(int) override { return std::string(300, 'x'); }
};

TEST(OutSoundInitializeFailure, ErrorTextIsCutToTheBufferSize)
{
    WordyWaveOut device;
    device.FailQuery(MMSYSERR_ERROR);
    auto out = ProgramOutSound(device);
    EXPECT_EQ(OutSoundFailure([&] { out->Initialize(); }), std::string(255, 'x'));
}

// --- Writing and flushing ----------------------------------------------------

TEST(OutSoundWriting, FlushAfterOneSamplePadsWithSilence)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    out->SendSample(SamplePair{1234, 1234});
    EXPECT_EQ(out->FillCount(), 1);
    out->Flush();
    EXPECT_EQ(out->FillCount(), 0);
    ASSERT_TRUE(device.WaitForWritten(1));
    auto written = device.Written();
    ASSERT_EQ(written.size(), 1u);
    ASSERT_EQ(written[0].size(), 4000u);
    EXPECT_EQ(written[0][0], 1234);
    int zeros = 0;
    for (std::size_t i = 1; i < written[0].size(); ++i)
        zeros += written[0][i] == 0;
    EXPECT_EQ(zeros, 3999);
}

// The playback clock: a place in the sound is timed once its buffer plays, by
// the device's stamp plus the samples before it, and no longer once its ring
// buffer holds newer sound.
TEST(OutSoundWriting, APlaceInTheSoundIsTimedByTheDevicesClockWhileItsBufferLasts)
{
    TestWaveOut device;
    int written = 0;
    device.SetPlayClock([&] { return std::chrono::steady_clock::time_point(10s) + 500ms * written++; });
    auto out = ProgramOutSound(device);
    out->Initialize();
    EXPECT_FALSE(out->Mark());
    SendSamples(*out, 4000 + 800, 1);
    const SoundMark mark = out->Mark().value();
    EXPECT_EQ(mark.Buffer, 1u);
    EXPECT_EQ(mark.Offset, 800);
    EXPECT_FALSE(out->SoundTime(mark)); // not yet handed to the device
    out->Flush();
    ASSERT_TRUE(device.WaitForWritten(2));
    EXPECT_EQ(out->SoundTime(mark), std::chrono::steady_clock::time_point(10s + 500ms + 100ms));
    const SoundMark boundary = out->Mark().value(); // at the end of the buffer just committed
    EXPECT_EQ(boundary.Buffer, 1u);
    EXPECT_EQ(boundary.Offset, 4000);
    SendSamples(*out, 4000 * 2, 1); // buffers 2 and 3; buffer 3 fills the ring slot of buffer 0
    ASSERT_TRUE(device.WaitForWritten(4));
    EXPECT_TRUE(out->SoundTime(mark));
    out->SendSample(SamplePair{1, 1}); // buffer 4 begins in the slot of buffer 1
    EXPECT_FALSE(out->SoundTime(mark));
}

TEST(OutSoundWriting, FourThousandthSampleCommitsAtOnce)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 3999, 7);
    EXPECT_EQ(out->FillCount(), 3999);
    out->SendSample(SamplePair{8, 8});
    EXPECT_EQ(out->FillCount(), 0);
    // No further sample and no Flush: the buffer still reaches the device.
    ASSERT_TRUE(device.WaitForWritten(1));
    auto written = device.Written();
    EXPECT_EQ(written[0][0], 7);
    EXPECT_EQ(written[0][3999], 8);
}

TEST(OutSoundWriting, FlushRightAfterACompletedBufferQueuesNothing)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 4000, 1);
    out->Flush(); // FillCount is 0: nothing to do
    EXPECT_EQ(out->FillCount(), 0);
    out->SendSample(SamplePair{2, 2});
    out->Flush();
    ASSERT_TRUE(device.WaitForWritten(2));
    out.reset();
    // Buffers reach the device in order: an empty buffer queued by the first
    // Flush would have come second.
    auto written = device.Written();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0][0], 1);
    EXPECT_EQ(written[1][0], 2);
    EXPECT_EQ(written[1][1], 0);
}

TEST(OutSoundWriting, FewerThanABufferStayUnheard)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 3999, 5);
    EXPECT_EQ(out->FillCount(), 3999);
    out.reset(); // joins the transfer thread
    EXPECT_EQ(device.WrittenCount(), 0u);
}

TEST(OutSoundWriting, BuffersArriveInOrderWhileTheRingIsReused)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    // Seven buffers through a ring of three, each sample numbered.
    for (int i = 0; i < 7 * 4000; ++i) {
        auto v = static_cast<std::int16_t>(i % 30000);
        out->SendSample(SamplePair{v, 0});
    }
    ASSERT_TRUE(device.WaitForWritten(7));
    auto written = device.Written();
    ASSERT_EQ(written.size(), 7u);
    int mismatches = 0;
    for (int b = 0; b < 7; ++b)
        for (int i = 0; i < 4000; ++i)
            mismatches += written[b][i] != static_cast<std::int16_t>((b * 4000 + i) % 30000);
    EXPECT_EQ(mismatches, 0);
    // Every trip unprepares (a no-op the first time) and prepares again.
    EXPECT_EQ(device.PrepareCount(), 7);
    EXPECT_EQ(device.UnprepareCount(), 7);
}

TEST(OutSoundWriting, MonoIgnoresTheRightValue)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    out->SendSample(SamplePair{5, 9});
    out->SendSample(SamplePair{6, 9});
    EXPECT_EQ(out->FillCount(), 2);
    out->Flush();
    ASSERT_TRUE(device.WaitForWritten(1));
    auto buffer = device.Written()[0];
    EXPECT_EQ(buffer[0], 5);
    EXPECT_EQ(buffer[1], 6);
    EXPECT_EQ(buffer[2], 0);
}

TEST(OutSoundWriting, StereoInterleavesLeftAndRight)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->SetChannels(2);
    out->Initialize();
    for (int i = 0; i < 1999; ++i)
        out->SendSample(SamplePair{static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i)});
    EXPECT_EQ(out->FillCount(), 3998);
    EXPECT_EQ(device.WrittenCount(), 0u);
    out->SendSample(SamplePair{1999, -1999}); // the 2000th frame fills the buffer
    EXPECT_EQ(out->FillCount(), 0);
    ASSERT_TRUE(device.WaitForWritten(1));
    auto buffer = device.Written()[0];
    ASSERT_EQ(buffer.size(), 4000u);
    int mismatches = 0;
    for (int i = 0; i < 2000; ++i)
        mismatches += buffer[2 * i] != i || buffer[2 * i + 1] != -i;
    EXPECT_EQ(mismatches, 0);
}

// --- Pacing ------------------------------------------------------------------

TEST(OutSoundPacing, FourthBufferWaitsUntilTheFirstIsDone)
{
    TestWaveOut device(TestWaveOut::Completion::OnDemand);
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 3 * 4000, 1); // three buffers in use, none done
    ASSERT_TRUE(device.WaitForWritten(3));
    EXPECT_EQ(device.PendingCount(), 3u);

    std::atomic<bool> returned{false};
    std::thread writer([&] {
        out->SendSample(SamplePair{2, 2}); // first sample of the fourth buffer
        returned = true;
    });
    // Give the writer ample time to reach its wait; it must still be there.
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(returned.load());

    EXPECT_TRUE(device.CompleteNext()); // the device finishes the first buffer
    writer.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(out->FillCount(), 1);

    // The fourth buffer is written into the memory the first one used.
    SendSamples(*out, 3999, 3);
    ASSERT_TRUE(device.WaitForWritten(4)) << "the transfer thread got no fourth buffer";
    auto written = device.Written();
    EXPECT_EQ(written[3][0], 2);
    EXPECT_EQ(written[3][1], 3);
    device.CompleteAll();
}

// A device that stops playing, or refuses buffers, ends the writer's wait with
// an error, and once it plays again the next samples go through.
// The window's turn while the writer waits: WhileWaiting runs every slice; a
// sample it writes itself begins the buffer, which the waiting writer then
// shares instead of taking a second one.
TEST(OutSoundPacing, WaitingWriterLetsOthersRunAndSharesTheBufferTheyBegin)
{
    TestWaveOut device(TestWaveOut::Completion::OnDemand);
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 3 * 4000, 1);
    ASSERT_TRUE(device.WaitForWritten(3));

    int turns = 0;
    out->WhileWaiting = [&] {
        if (++turns == 3) {
            device.CompleteNext();
            out->SendSample(SamplePair{7, 7}); // a handler run during the wait
        }
    };
    const auto began = std::chrono::steady_clock::now();
    out->SendSample(SamplePair{2, 2});
    EXPECT_EQ(turns, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - began, 3 * TOutSound::WaitSlice + 200ms);
    EXPECT_EQ(out->FillCount(), 2);

    // Two buffers come back and two more fill without a wait: no permit was lost.
    SendSamples(*out, 3998, 3);
    device.CompleteNext();
    device.CompleteNext();
    SendSamples(*out, 2 * 4000, 4);
    EXPECT_EQ(turns, 3);
    ASSERT_TRUE(device.WaitForWritten(6));
    const auto written = device.Written();
    EXPECT_EQ(written[3][0], 7);
    EXPECT_EQ(written[3][1], 2);
    EXPECT_EQ(written[3][2], 3);
    device.CompleteAll();
}

TEST(OutSoundPacing, StalledOrRefusingDeviceEndsTheWaitAndRecovers)
{
    TestWaveOut device(TestWaveOut::Completion::OnDemand);
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 3 * 4000, 1); // the device takes three buffers and never plays
    EXPECT_EQ(OutSoundFailure([&] { out->SendSample(SamplePair{}); }),
              "The sound device stopped playing: no sound buffer came back for 2 seconds");
    EXPECT_EQ(device.ResetCount(), 1);
    EXPECT_EQ(device.PendingCount(), 0u); // the reset gave every buffer back

    device.FailWrite(MMSYSERR_NODRIVER);
    // A buffer comes back before the fourth can start, so the fifth sees the error.
    EXPECT_EQ(OutSoundFailure([&] { SendSamples(*out, 4 * 4000 + 1, 2); }), "No sound output device is available.");
    device.FailWrite(0);
    SendSamples(*out, 4000, 3); // no stale error from the refused buffers
    ASSERT_TRUE(device.WaitForWritten(4));
    EXPECT_EQ(device.Written().back()[0], 3);
    device.CompleteAll();
}

// --- Teardown ----------------------------------------------------------------

TEST(OutSoundTeardown, QueuedBuffersAreReturnedAndTheDeviceClosed)
{
    TestWaveOut device(TestWaveOut::Completion::OnDemand);
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 2 * 4000 + 10, 1); // 2 queued on the device, 10 samples being filled
    ASSERT_TRUE(device.WaitForWritten(2));
    EXPECT_EQ(device.PendingCount(), 2u);
    out.reset();
    EXPECT_EQ(device.ResetCount(), 1);
    EXPECT_EQ(device.CloseCount(), 1);
    EXPECT_EQ(device.PendingCount(), 0u);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.WrittenCount(), 2u);
}

TEST(OutSoundTeardown, IdleComponentClosesWithoutWriting)
{
    TestWaveOut device;
    {
        auto out = ProgramOutSound(device);
        out->Initialize();
    }
    EXPECT_EQ(device.ResetCount(), 1);
    EXPECT_EQ(device.CloseCount(), 1);
    EXPECT_EQ(device.WrittenCount(), 0u);
    EXPECT_EQ(device.PrepareCount(), 0);
}

TEST(OutSoundTeardown, FailingResetIsReportedOnStandardError)
{
    TestWaveOut device(TestWaveOut::Completion::OnDemand);
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 2 * 4000, 1);
    ASSERT_TRUE(device.WaitForWritten(2));
    device.FailReset(MMSYSERR_NOMEM);

    ::testing::internal::CaptureStderr();
    EXPECT_NO_THROW(out.reset());
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, WaveOutErrorText(MMSYSERR_NOMEM) + "\n");
    EXPECT_EQ(device.CloseCount(), 0); // the steps after the failing call are skipped
    // The device still holds two buffers; finishing them must not touch freed
    // memory (the semaphores and the ring were left in place for it).
    EXPECT_EQ(device.CompleteAll(), 2u);
}

TEST(OutSoundTeardown, FailingCloseIsReportedOnStandardError)
{
    TestWaveOut device;
    auto out = ProgramOutSound(device);
    out->Initialize();
    SendSamples(*out, 4000, 1);
    ASSERT_TRUE(device.WaitForWritten(1));
    device.FailClose(MMSYSERR_INVALHANDLE);

    ::testing::internal::CaptureStderr();
    EXPECT_NO_THROW(out.reset());
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "The sound output device handle is invalid.\n");
    EXPECT_EQ(device.ResetCount(), 1);
}

// --- The done-callback -------------------------------------------------------

TEST(OutSoundCallback, OnlyDoneReleasesTheSemaphoreAndTellsOfIt)
{
    Semaphore free(0);
    int told = 0;
    BufferReturn returns{&free, [&] {
                             EXPECT_TRUE(free.try_acquire()); // released before the telling
                             free.release();
                             ++told;
                         }};
    auto instance = reinterpret_cast<std::uintptr_t>(&returns);
    WaveOutCallback(1, WOM_OPEN, instance, 0, 0);
    WaveOutCallback(1, WOM_CLOSE, instance, 0, 0);
    EXPECT_FALSE(free.try_acquire());
    EXPECT_EQ(told, 0);
    WaveOutCallback(1, WOM_DONE, instance, 0, 0);
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(free.try_acquire());
    EXPECT_FALSE(free.try_acquire());
    returns.Tell = {}; // no one to tell
    WaveOutCallback(1, WOM_DONE, instance, 0, 0);
    EXPECT_TRUE(free.try_acquire());
}

} // namespace
} // namespace kalvo
