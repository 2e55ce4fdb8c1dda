// Sending the text box through the window, checked sample by sample against the
// timing model at the start-up settings (character speed 14, overall 5, 800 Hz).
#include "WindowFixture.h"
#include "tests/support/SoundRig.h"

#include <QCloseEvent>

namespace {

// Start-up timing in samples at 8000 per second.
constexpr int LeadIn = 2057; // 3 dots
constexpr int Dot = 686; // one dot, tone or silence
constexpr int Fall = 39; // a tone sounds this much longer than its nominal length
constexpr int DotTone = Dot + Fall;
constexpr int DashTone = 2057 + Fall;
constexpr int CharGap = 11116; // 1.389474 s
constexpr int WordGap = 4620; // 0.577444 s

std::size_t BuffersFor(std::size_t samples)
{
    return kalvo::testing::BuffersFor(samples, kalvo::EngineSetup::BufferLength);
}

} // namespace

TEST_F(WindowTest, SendingEIsLeadInToneDotGapAndCharacterGap)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("E");
    form.Sendbutton->click();

    const std::size_t total = LeadIn + DotTone + Dot + CharGap;
    const auto samples = Samples(BuffersFor(total));
    ASSERT_EQ(samples.size(), 16000u); // the last buffer padded with silence by the flush
    for (int i = 0; i <= LeadIn; ++i)
        ASSERT_EQ(samples[i], 0) << i; // the tone's own first sample is 0 too
    const auto runs = ToneRuns(samples);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Start, std::size_t(LeadIn + 1));
    EXPECT_EQ(runs[0].Start + runs[0].Length, std::size_t(LeadIn + DotTone - 1)); // the fall ends on 0
    for (std::size_t i = LeadIn + DotTone; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], 0) << i;

    EXPECT_EQ(form.Memo1Text(), "E");
    EXPECT_EQ(form.StatusText(), QStringLiteral("The box shows only the text that was sent."));
    EXPECT_TRUE(form.Sendbutton->isEnabled());
    EXPECT_TRUE(form.LoadFile->isEnabled());
    EXPECT_TRUE(form.Kalvobutton->isEnabled());
    EXPECT_FALSE(form.Sender.Sending);
}

TEST_F(WindowTest, SendingParisGivesItsFourteenElementsWithTheirGaps)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("paris");
    form.Sendbutton->click();

    // P .--.  A .-  R .-.  I ..  S ...
    const std::vector<int> elements{1, 3, 3, 1, 1, 3, 1, 3, 1, 1, 1, 1, 1, 1};
    const std::vector<int> lastOfCharacter{3, 5, 8, 10, 13};
    std::size_t expectedStart = LeadIn + 1;
    std::vector<std::size_t> starts;
    std::size_t end = LeadIn;
    for (std::size_t k = 0; k < elements.size(); ++k) {
        starts.push_back(end + 1);
        end += (elements[k] == 1 ? DotTone : DashTone) + Dot;
        if (std::find(lastOfCharacter.begin(), lastOfCharacter.end(), int(k)) != lastOfCharacter.end())
            end += CharGap;
    }
    const auto samples = Samples(BuffersFor(end));
    const auto runs = ToneRuns(samples);
    ASSERT_EQ(runs.size(), elements.size());
    for (std::size_t k = 0; k < runs.size(); ++k) {
        EXPECT_EQ(runs[k].Start, starts[k]) << "element " << k;
        const int nominal = elements[k] == 1 ? DotTone : DashTone;
        EXPECT_EQ(int(runs[k].Length), nominal - 2) << "element " << k; // first and last samples are 0
    }
    (void)expectedStart;
    EXPECT_EQ(form.Memo1Text(), "paris");
}

TEST_F(WindowTest, DotRunsUnknownCharactersAndSpaces)
{
    TForm1& form = MakeForm();
    // Ten "@" are 200 dots with nothing but the one-dot gap between them.
    form.Dits1Click();
    EXPECT_EQ(form.Memo1Text(), "@@@@@@@@@@");
    form.SetMemo1Text("@@");
    form.Sendbutton->click();
    std::size_t total = LeadIn + 40 * (DotTone + Dot);
    auto samples = Samples(BuffersFor(total));
    auto runs = ToneRuns(samples);
    ASSERT_EQ(runs.size(), 40u);
    for (std::size_t k = 1; k < runs.size(); ++k)
        EXPECT_EQ(runs[k].Start - runs[k - 1].Start, std::size_t(DotTone + Dot)) << k;
    EXPECT_EQ(samples.size(), BuffersFor(total) * 4000);
}

TEST_F(WindowTest, AnUnknownCharacterCostsOnlyTheCharacterGapAndASpaceTheWordGapToo)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("!E E");
    form.Sendbutton->click();
    const std::size_t firstE = LeadIn + CharGap;
    const std::size_t secondE = firstE + DotTone + Dot + CharGap + WordGap + CharGap;
    const std::size_t total = secondE + DotTone + Dot + CharGap;
    const auto runs = ToneRuns(Samples(BuffersFor(total)));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Start, firstE + 1);
    EXPECT_EQ(runs[1].Start, secondE + 1);
}

TEST_F(WindowTest, TheSynthesizerLooksAtTheWindowsEventsAtMostOnceAMillisecond)
{
    TForm1& form = MakeForm();
    kalvo::EventPump::Clock::time_point now{std::chrono::seconds(100)};
    int looks = 0;
    form.Pump.Now = [&] { return now; };
    form.Pump.Handle = [&] { ++looks; };
    std::vector<int> seen; // after each of ten samples, 0.3 ms apart
    for (int i = 0; i < 10; ++i) {
        form.Synth.ProcessEvents();
        seen.push_back(looks);
        now += std::chrono::microseconds(300);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 3, 3}));
}

TEST_F(WindowTest, AbortDuringALongCharacterGapEndsAfterThatGap)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("EEEE");
    long emitted = 0;
    const long abortAt = LeadIn + DotTone + Dot + 5000; // in the middle of the first character gap
    form.Synth.ProcessEvents = [&] {
        if (++emitted == abortAt)
            form.AbortButton->click();
        QCoreApplication::processEvents();
    };
    form.Sendbutton->click();

    const std::size_t total = LeadIn + DotTone + Dot + CharGap;
    EXPECT_EQ(emitted, long(total));
    const auto samples = Samples(BuffersFor(total));
    EXPECT_EQ(samples.size(), BuffersFor(total) * 4000);
    EXPECT_EQ(form.Memo1Text(), "E"); // the character whose gap was playing
    EXPECT_TRUE(form.Sendbutton->isEnabled());
    EXPECT_EQ(form.StatusText(), QStringLiteral("The box shows only the text that was sent."));
}

TEST_F(WindowTest, AbortWhileTheSendIsFinishingDoesNotLetASecondSendStartInsideIt)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("EE");
    long emitted = 0;
    bool sendEnabledAfterAbort = true;
    form.Synth.ProcessEvents = [&] {
        if (++emitted == LeadIn + 100) {
            form.AbortButton->click();
            sendEnabledAfterAbort = form.Sendbutton->isEnabled();
            form.Sendbutton->click(); // ignored: the button is disabled
        }
        QCoreApplication::processEvents();
    };
    form.Sendbutton->click();
    EXPECT_FALSE(sendEnabledAfterAbort);
    EXPECT_EQ(emitted, long(LeadIn + DotTone + Dot + CharGap));
    EXPECT_TRUE(form.Sendbutton->isEnabled());
}

TEST_F(WindowTest, PauseBeforeSendPlaysTheLeadInThenWaitsUntilUnpause)
{
    TForm1& form = MakeForm();
    form.Button2->click();
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Unpause"));
    form.SetMemo1Text("E");

    long emitted = 0;
    long emittedWhenUnpaused = -1;
    int polls = 0;
    form.Synth.ProcessEvents = [&] {
        ++emitted;
        QCoreApplication::processEvents();
    };
    form.Sender.ProcessEvents = [&] {
        if (++polls == 20) {
            emittedWhenUnpaused = emitted;
            form.Button2->click();
        }
        QCoreApplication::processEvents();
    };
    form.Sendbutton->click();
    EXPECT_EQ(emittedWhenUnpaused, long(LeadIn));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Pause"));
    // The lead-in was flushed when the pause began; the dot starts the next buffer.
    const auto runs = ToneRuns(Samples(1 + BuffersFor(DotTone + Dot + CharGap)));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Start, std::size_t(4000 + 1));
}

TEST_F(WindowTest, AbortEndsAPauseWait)
{
    TForm1& form = MakeForm();
    form.Button2->click();
    form.SetMemo1Text("EEE");
    int polls = 0;
    form.Sender.ProcessEvents = [&] {
        if (++polls == 5)
            form.AbortButton->click();
        QCoreApplication::processEvents();
    };
    form.Sendbutton->click();
    EXPECT_FALSE(form.SendLoopActive());
    EXPECT_EQ(form.Memo1Text(), ""); // the waiting E never sounded
    EXPECT_TRUE(form.Sendbutton->isEnabled());
    EXPECT_TRUE(form.Sender.Paused); // still paused: only the wait ended
}

TEST_F(WindowTest, ABoxEditedDuringTheSendIsFollowedFromTheCurrentPosition)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("EEE");
    long emitted = 0;
    form.Synth.ProcessEvents = [&] {
        if (++emitted == LeadIn + 10)
            form.SetMemo1Text("ETT");
        QCoreApplication::processEvents();
    };
    form.Sendbutton->click();
    EXPECT_EQ(form.Memo1Text(), "ETT");
    const std::size_t total = LeadIn + 3 * (Dot + CharGap) + Dot + 2 * 2057;
    const auto runs = ToneRuns(Samples(BuffersFor(total)));
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Length, std::size_t(DotTone - 2));
    EXPECT_EQ(runs[1].Length, std::size_t(DashTone - 2));
    EXPECT_EQ(runs[2].Length, std::size_t(DashTone - 2));
}

TEST_F(WindowTest, ClosingTheWindowDuringASendEndsItAtTheNextCharacter)
{
    TForm1& form = MakeForm();
    ShowForm();
    form.SetMemo1Text("EEEE");
    long emitted = 0;
    form.Synth.ProcessEvents = [&] {
        if (++emitted == LeadIn + 50)
            form.close();
        QCoreApplication::processEvents();
    };
    form.Sendbutton->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Sender.SentText, "E");
    EXPECT_EQ(emitted, long(LeadIn + DotTone + Dot + CharGap));
}

TEST_F(WindowTest, ProgressLineShowsTheLastSixtyTwoCharactersSent)
{
    TForm1& form = MakeForm();
    std::string text;
    for (int i = 0; i < 70; ++i)
        text += char('0' + i % 10) == '0' ? '!' : '(';
    form.SetMemo1Text(text); // characters without a pattern: only gaps, quick to send
    form.ToggleProgress1Click();
    EXPECT_FALSE(form.Edit2->isHidden());
    EXPECT_FALSE(form.Label12->isHidden());
    form.Sendbutton->click();
    EXPECT_EQ(form.Edit2->text().toStdString(), text.substr(70 - 62));
}

TEST_F(WindowTest, HidingTheTextKeepsSendingAndTheEndShowsTheBoxAgain)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("E");
    form.CheckBox1->setChecked(false);
    EXPECT_TRUE(form.Memo1->isHidden());
    form.Sendbutton->click();
    EXPECT_FALSE(form.Memo1->isHidden());
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_EQ(ToneRuns(Samples(BuffersFor(LeadIn + DotTone + Dot + CharGap))).size(), 1u);
}

// The rise/fall box is read when it changes; a time that cannot be used is
// reported by the send that would play with it, before its first sample.
TEST_F(WindowTest, AnUnusableRiseTimeFailsTheSendBeforeAnySample)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("E");
    form.SpinEdit2->setText(QStringLiteral("5ms"));
    EXPECT_TRUE(Errors.empty());
    form.Sendbutton->click();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'5ms' is not a valid floating point value."));
    form.SpinEdit2->setText(QStringLiteral("60001"));
    form.Sendbutton->click();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], QStringLiteral("A rise/fall time of '60001' msec is longer than one minute."));
    EXPECT_EQ(Device->WrittenCount(), 0u);
}
