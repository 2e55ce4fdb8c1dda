#include "morse/TextSender.h"

#include "common/Errors.h"
#include "tests/support/Failure.h"
#include "tests/support/SoundRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalvo {
namespace {

using testing::Samples;

constexpr int BufferLength = EngineSetup::BufferLength;

class TextSenderTest : public ::testing::Test {
protected:
    TextSenderTest()
    {
        Table.CodeTableInitialize();
        Timing.SetSpeed(14, 5, 800);
        Synth.BuildStartupTable();
        Synth.ProcessEvents = [this] {
            ++SamplesPlayed;
            if (OnSample)
                OnSample(SamplesPlayed);
        };
        Sender.CurrentText = [this] { return Text; };
        Sender.ShowProgress = [this](const std::string& s) { Progress.push_back(s); };
        Sender.SetStatus = [this](const std::string& s) { Status.push_back(s); };
        Sender.Sending = true;
    }

    // What the sender should play, built from the timing model's current values.
    void Gap(double seconds)
    {
        testing::AppendNote(Expected, Synth.Wavetable, EngineSetup::SampRate, 5, Timing.ToneFreq, seconds, 0);
    }
    void Tone(int dots)
    {
        testing::AppendNote(Expected, Synth.Wavetable, EngineSetup::SampRate, 5, Timing.ToneFreq, dots * Timing.DotTime,
                            20000);
    }
    void LeadIn() { Gap(3 * Timing.DotTime); }
    // The flush when a pause begins: silence to the end of the buffer.
    void Flushed() { Expected.resize(testing::BuffersFor(Expected.size(), BufferLength) * BufferLength, 0); }
    void Char(const std::string& pattern, bool charGap = true)
    {
        for (char d : pattern) {
            Tone(d - '0');
            Gap(Timing.DotTime);
        }
        if (charGap)
            Gap(Timing.CharGapTime);
    }

    // The device must have received exactly Expected, then silence up to the
    // end of the last buffer, and nothing after it.
    void ExpectPlayed()
    {
        const std::size_t buffers = testing::BuffersFor(Expected.size(), BufferLength);
        const Samples recorded = Rig.Recorded(buffers);
        EXPECT_FALSE(Rig.Device.WaitForWritten(buffers + 1, std::chrono::milliseconds(50)));
        ASSERT_EQ(recorded.size(), buffers * BufferLength);
        const Samples head(recorded.begin(), recorded.begin() + Expected.size());
        ASSERT_EQ(head.size(), Expected.size());
        for (std::size_t i = 0; i < head.size(); ++i)
            ASSERT_EQ(head[i], Expected[i]) << "sample " << i << " of " << Expected.size();
        for (std::size_t i = Expected.size(); i < recorded.size(); ++i)
            ASSERT_EQ(recorded[i], 0) << "padding sample " << i;
    }

    testing::SoundRig Rig{BufferLength};
    MorseCodeTable Table;
    TimingModel Timing;
    ToneSynth Synth{Rig.Out};
    TextSender Sender{Table, Timing, Synth, Rig.Out};

    std::string Text;
    std::vector<std::string> Progress;
    std::vector<std::string> Status;
    std::int64_t SamplesPlayed = 0;
    std::function<void(std::int64_t)> OnSample;
    Samples Expected;
};

TEST_F(TextSenderTest, SingleEAtStartupSettings)
{
    Text = "E";
    Sender.Run();
    LeadIn();
    Char("1");
    // Lead-in 3 dots, a dot with its 39-sample fall, a dot of silence, CharGapTime.
    EXPECT_EQ(Expected.size(), 2057u + 686u + 39u + 686u + 11116u);
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "E");
    EXPECT_EQ(Sender.SendPos, 2);
    EXPECT_EQ(Status, std::vector<std::string>{"You can stop sending with the <Abort/Show Text. button"});
    EXPECT_EQ(Progress, std::vector<std::string>{"E"});
    EXPECT_TRUE(Sender.Sending); // the window's end steps clear it
    EXPECT_EQ(Rig.Out.FillCount(), 0);
}

TEST_F(TextSenderTest, Paris)
{
    Text = "PARIS";
    Sender.Run();
    LeadIn();
    for (const char* p : {"1331", "13", "131", "11", "111"})
        Char(p);
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "PARIS");
    EXPECT_EQ(Progress, (std::vector<std::string>{"P", "PA", "PAR", "PARI", "PARIS"}));
}

TEST_F(TextSenderTest, LowerCaseSoundsLikeUpperCase)
{
    Text = "paris";
    Sender.Run();
    LeadIn();
    for (const char* p : {"1331", "13", "131", "11", "111"})
        Char(p);
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "paris");
}

TEST_F(TextSenderTest, AtSignsRunWithoutCharacterGaps)
{
    Text = "@@E@";
    Sender.Run();
    LeadIn();
    Char(std::string(20, '1'), false);
    Char(std::string(20, '1'), false);
    Char("1");
    Char(std::string(20, '1'), false);
    ExpectPlayed();
}

TEST_F(TextSenderTest, SpacesLineBreaksAndUnknownCharacters)
{
    Text = "E !(\t\r\nT";
    Sender.Run();
    LeadIn();
    Char("1");
    Gap(Timing.WordGapTime); // space
    Gap(Timing.CharGapTime);
    Gap(Timing.CharGapTime); // '!'
    Gap(Timing.CharGapTime); // '('
    Gap(Timing.CharGapTime); // tab
    Gap(Timing.WordGapTime); // carriage return
    Gap(Timing.CharGapTime);
    Gap(Timing.CharGapTime); // line feed
    Char("3");
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, Text);
}

TEST_F(TextSenderTest, EmptyTextIsLeadInAndFlush)
{
    Sender.Run();
    LeadIn();
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "");
    EXPECT_EQ(Sender.SendPos, 1);
    EXPECT_TRUE(Progress.empty());
}

TEST_F(TextSenderTest, ProgressLineKeepsTheLast62Characters)
{
    Timing.SetSpeed(40, 40, 800);
    for (int i = 0; i < 70; ++i)
        Text += static_cast<char>('A' + i % 26);
    Sender.Run();
    ASSERT_EQ(Progress.size(), 70u);
    for (std::size_t i = 0; i < 70; ++i) {
        const std::size_t sent = i + 1;
        const std::size_t shown = std::min<std::size_t>(sent, 62);
        EXPECT_EQ(Progress[i], Text.substr(sent - shown, shown)) << i;
    }
    EXPECT_EQ(Progress[61].size(), 62u);
    EXPECT_EQ(Progress[62], Text.substr(1, 62)); // the 63rd character drops the first
    EXPECT_EQ(Sender.SentText, Text);
}

TEST_F(TextSenderTest, TextEditedDuringTheSendIsFollowed)
{
    Text = "EE";
    OnSample = [this](std::int64_t n) {
        if (n == 3000) // during the first character
            Text = "ETT";
    };
    Sender.Run();
    LeadIn();
    Char("1");
    Char("3");
    Char("3");
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "ETT");
    EXPECT_EQ(Sender.SendPos, 4);
}

TEST_F(TextSenderTest, TextShortenedDuringTheSendEndsIt)
{
    Text = "EEEE";
    OnSample = [this](std::int64_t n) {
        if (n == 3000)
            Text = "T";
    };
    Sender.Run();
    LeadIn();
    Char("1");
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "E");
}

TEST_F(TextSenderTest, AbortEndsAtTheNextCharacterBoundary)
{
    Text = "PARIS";
    // Cleared during the first element of "P": the character is finished,
    // gaps included, and nothing more is sent.
    OnSample = [this](std::int64_t n) {
        if (n == 2200)
            Sender.Sending = false;
    };
    Sender.Run();
    LeadIn();
    Char("1331");
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "P");
    EXPECT_EQ(Sender.SendPos, 2);
}

TEST_F(TextSenderTest, AbortDuringTheCharacterGapIncludesThatCharacter)
{
    Text = "EEE";
    OnSample = [this](std::int64_t n) {
        if (n == 2057 + 725 + 686 + 5000) // inside the first CharGapTime
            Sender.Sending = false;
    };
    Sender.Run();
    LeadIn();
    Char("1");
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "E");
}

TEST_F(TextSenderTest, SpeedChangeAppliesFromTheNextElement)
{
    Text = "II";
    OnSample = [this](std::int64_t n) {
        if (n == 2100) // inside the first dot
            Timing.SetSpeed(20, 20, 600);
    };
    Sender.Run();
    TimingModel old = Timing;
    Timing.SetSpeed(14, 5, 800);
    LeadIn();
    Tone(1);
    Timing = old;
    Gap(Timing.DotTime);
    Char("1");
    Char("11");
    ExpectPlayed();
}

TEST_F(TextSenderTest, PauseBeforeStartWaitsAfterTheLeadIn)
{
    Text = "E";
    Sender.Paused = true;
    int polls = 0;
    std::int64_t playedAtFirstPoll = -1;
    Sender.ProcessEvents = [&] {
        if (++polls == 1)
            playedAtFirstPoll = SamplesPlayed;
        if (polls == 3)
            Sender.Paused = false;
    };
    Sender.Run();
    EXPECT_EQ(polls, 3);
    EXPECT_EQ(playedAtFirstPoll, 2057); // the lead-in only
    LeadIn();
    Flushed();
    Char("1");
    ExpectPlayed();
}

TEST_F(TextSenderTest, PauseHoldsBeforeTheNextElement)
{
    Text = "I";
    std::int64_t playedAtPoll = -1;
    int pendingAtPoll = -1;
    OnSample = [this](std::int64_t n) {
        if (n == 2100) // inside the first dot
            Sender.Paused = true;
    };
    Sender.ProcessEvents = [&] {
        playedAtPoll = SamplesPlayed;
        pendingAtPoll = Rig.Out.FillCount();
        Sender.Paused = false;
    };
    Sender.Run();
    EXPECT_EQ(playedAtPoll, 2057 + 725 + 686); // after the first dot and its gap
    EXPECT_EQ(pendingAtPoll, 0); // all of it on its way to the device
    LeadIn();
    Char("1", false);
    Flushed();
    Char("1");
    ExpectPlayed();
}

TEST_F(TextSenderTest, AbortDuringPauseEndsTheWait)
{
    Text = "EEE";
    Sender.Paused = true;
    int polls = 0;
    Sender.ProcessEvents = [&] {
        if (++polls == 2)
            Sender.Sending = false;
    };
    Sender.Run();
    EXPECT_EQ(polls, 2);
    EXPECT_TRUE(Sender.Paused);
    LeadIn(); // the waiting character makes no sound and is not in the sent text
    Flushed();
    ExpectPlayed();
    EXPECT_EQ(Sender.SentText, "");
    EXPECT_EQ(Sender.SendPos, 2);
}

TEST_F(TextSenderTest, ErrorEndsTheSendWithoutFlush)
{
    Text = "E";
    Synth.RiseFall.Refused = std::make_exception_ptr(EConvertError("'fast' is not a valid floating point value"));
    EXPECT_EQ(testing::Failure<EConvertError>([&] { Sender.Run(); }), "'fast' is not a valid floating point value");
    EXPECT_TRUE(Sender.Sending);
    EXPECT_EQ(Sender.SendPos, 1);
    EXPECT_EQ(Rig.Device.WrittenCount(), 0u);
}

} // namespace
} // namespace kalvo
