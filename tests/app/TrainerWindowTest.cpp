// A whole lesson through the window: "Start Kalvo", "Start Sending", questions
// asked by the timers (driven here by the test), answers typed at the window,
// time-outs, a character brought in, the chart, and "Stop Kalvo" with the rating.
#include "WindowFixture.h"

#include "app/CustomSetDialog.h"
#include "app/ErrorHistogram.h"
#include "app/StatusNotice.h"
#include "trainer/LearningOrder.h"

#include <QLineEdit>

namespace {

std::array<std::string, 40> StoppedLabels()
{
    std::array<std::string, 40> labels;
    const std::string order = "Q7ZG098O1JPWLRAM6BXDYCKN23FU45VHSITE.,?/";
    for (int i = 0; i < 40; ++i)
        labels[i] = std::string(1, order[i]);
    return labels;
}

} // namespace

class TrainerWindowTest : public WindowTest {
protected:
    // One question: the Timer2 tick plays the character, then the test answers.
    void Ask()
    {
        ASSERT_TRUE(Form->Timer2->isActive());
        Form->Timer2Timer();
        ASSERT_FALSE(Form->Timer2->isActive());
        ASSERT_TRUE(Form->Timer1->isActive());
    }
    void Type(char c) { QTest::keyClick(Form->windowHandle(), c); }
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i)
            Form->Timer1Timer();
    }
};

TEST_F(TrainerWindowTest, AWholeLessonFromStartToStop)
{
    TForm1& form = MakeForm();
    ShowForm();
    const int foldedHeight = form.height();

    form.Kalvobutton->click();
    EXPECT_TRUE(form.Train.TrainMode);
    EXPECT_FALSE(form.Panel2->isHidden());
    EXPECT_EQ(form.ClientHeight(), TForm1::LayoutClientHeight);
    EXPECT_EQ(form.height(), foldedHeight + 100);
    EXPECT_EQ(form.StatusText(),
              QStringLiteral("Enter number of characters to start, then press <Start Sending> button."));
    for (double v : form.Chart1->Values())
        EXPECT_EQ(v, 1.0);
    for (const std::string& label : form.Chart1->Labels())
        EXPECT_EQ(label, "");
    EXPECT_FALSE(form.Kalvobutton->isEnabled());
    EXPECT_FALSE(form.Sendbutton->isEnabled());
    EXPECT_FALSE(form.LoadFile->isEnabled());
    EXPECT_FALSE(form.AbortButton->isEnabled());
    EXPECT_TRUE(form.KalvoStopButton->isEnabled());
    EXPECT_TRUE(form.Button1->isHidden());
    EXPECT_FALSE(form.StartNumEdit->isHidden());

    // The first tick before "Start Sending" only switches itself off.
    form.Timer2Timer();
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(Device->WrittenCount(), 0u);

    form.KalvoSendButton->click();
    EXPECT_EQ(form.StatusText(),
              QStringLiteral("Type each character you hear, or wait:  Press <Stop Kalvo> button to stop."));
    EXPECT_TRUE(form.Train.TrainRunning);
    EXPECT_FALSE(form.UsingEdit->isHidden());
    EXPECT_EQ(form.UsingEdit->text(), QStringLiteral("1"));
    EXPECT_FALSE(form.KalvoSendButton->isEnabled());

    // "q" is the only character: three hits bring its weight from 1.0 to 0.4.
    const double expected[] = {0.8, 0.6, 0.4};
    for (double weight : expected) {
        Ask();
        EXPECT_EQ(form.Train.CurrentIndex, 1);
        Type('q');
        EXPECT_NEAR(form.Train.Weights[1], weight, 1e-9);
        EXPECT_FALSE(form.Train.AwaitingAnswer);
        Tick();
        EXPECT_FALSE(form.Timer1->isActive());
        EXPECT_NEAR(form.Chart1->Values()[0], weight, 1e-9); // redrawn at the question's end
    }
    // The end of the third question brought in "7".
    EXPECT_EQ(form.Train.ActiveCount, 2);
    EXPECT_EQ(form.UsingEdit->text(), QStringLiteral("2"));
    EXPECT_EQ(form.Memo1Text(), "");
    EXPECT_FALSE(form.Memo2->isHidden()); // the quick-start box goes only past two

    // "7" is asked next; nobody answers: the eighth tick shows it.
    Ask();
    EXPECT_EQ(form.Train.CurrentIndex, 2);
    Tick(7);
    EXPECT_EQ(form.Memo1Text(), "");
    Tick();
    EXPECT_EQ(form.Memo1Text(), "7");
    EXPECT_EQ(form.Train.Weights[2], 1.0); // already at the cap
    EXPECT_TRUE(form.Timer2->isActive());

    // While paused the countdown stands still, and keys are still judged.
    Ask();
    form.Button2->click();
    const double ticksLeft = form.Train.TicksLeft;
    Tick(3);
    EXPECT_EQ(form.Train.TicksLeft, ticksLeft);
    Type('7');
    EXPECT_EQ(form.Memo1Text(), "77");
    EXPECT_NEAR(form.Train.Weights[2], 0.8, 1e-9);
    form.Button2->click();
    Tick();

    form.KalvoStopButton->click();
    EXPECT_FALSE(form.Train.TrainMode);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(form.Timer2->isActive());
    EXPECT_EQ(form.Chart1->Labels(), StoppedLabels());
    EXPECT_NEAR(form.Chart1->Values()[0], 0.4, 1e-9);
    EXPECT_NEAR(form.Chart1->Values()[1], 0.8, 1e-9);
    EXPECT_FALSE(form.Panel2->isHidden());
    EXPECT_EQ(form.ClientHeight(), TForm1::LayoutClientHeight);
    // Mean 0.6 over 2 characters: ((0.2 - 0.6) * 125 + 100) * 2 / 40 = 2.5, rounded to even.
    EXPECT_EQ(form.Memo1Text(),
              "Your current mastery rating is 2 \r\n"
              "When this is 100, you will have mastered all of the characters.");
    EXPECT_EQ(form.StatusText(), QStringLiteral("Here's how you did.  I'm Ready to go again."));
    EXPECT_TRUE(form.Memo2->isHidden());
    EXPECT_FALSE(form.CheckBox2->isChecked());
    EXPECT_TRUE(form.Kalvobutton->isEnabled());
    EXPECT_TRUE(form.Sendbutton->isEnabled());
    EXPECT_FALSE(form.KalvoStopButton->isEnabled());
    EXPECT_FALSE(form.Button1->isHidden());
    EXPECT_TRUE(form.UsingEdit->isHidden());

    // A second "Start Kalvo" does not grow the window again; loading folds it once.
    form.Kalvobutton->click();
    EXPECT_EQ(form.ClientHeight(), TForm1::LayoutClientHeight);
    form.ChooseFile = [] { return std::optional<QString>(); };
    form.LoadFile->setEnabled(true);
    form.LoadFileClick();
    form.LoadFileClick();
    EXPECT_EQ(form.ClientHeight(), TForm1::LayoutClientHeight - TForm1::Panel2Height);
    EXPECT_EQ(form.height(), foldedHeight);
}

TEST_F(TrainerWindowTest, EveryTypedCharacterReachesTheHookOnceWhateverHasTheFocus)
{
    TForm1& form = MakeForm();
    ShowForm();
    form.Kalvobutton->click();
    form.StartNumEdit->setFocus();
    // In the prepared state keys are judged against position 1, "q".
    Type('q');
    EXPECT_EQ(form.Train.LastKey, 'q');
    EXPECT_NEAR(form.Train.Weights[1], 0.8, 1e-9);
    Type('x');
    EXPECT_NEAR(form.Train.Weights[1], 0.8, 1e-9); // at 0.8 a miss cannot raise it to the cap
    QTest::keyClick(form.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(form.Train.LastKey, '\r');
    QTest::keyClick(form.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(form.Train.LastKey, '\x1b');
    QTest::keyClick(form.windowHandle(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(form.Train.LastKey, '\x03');
    // The key is not swallowed: the box got its characters.
    EXPECT_EQ(form.StartNumEdit->text(), QStringLiteral("1qx"));
}

TEST_F(TrainerWindowTest, StartCountsAreCappedAndACountBelowOneIsRefused)
{
    TForm1& form = MakeForm();
    // A refused count, then a new lesson: the count box is there to correct it.
    form.StartNumEdit->setText(QStringLiteral("0"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        form.Kalvobutton->click();
        EXPECT_TRUE(form.Train.TrainMode);
        EXPECT_FALSE(form.StartNumEdit->isHidden());
        form.KalvoSendButton->click();
        ASSERT_EQ(Errors.size(), attempt + 1u);
        EXPECT_EQ(Errors.back(), QStringLiteral("The number of characters to start with must be at least 1."));
        EXPECT_FALSE(form.Train.TrainRunning);
        EXPECT_EQ(form.StatusText(),
                  QStringLiteral("Enter number of characters to start, then press <Start Sending> button."));
        if (attempt == 0)
            form.KalvoStopButton->click();
    }
    form.StartNumEdit->setText(QStringLiteral("3"));
    form.KalvoSendButton->click();
    EXPECT_TRUE(form.Train.TrainRunning);
    EXPECT_EQ(form.Train.ActiveCount, 3);
    form.KalvoStopButton->click();
    form.Kalvobutton->click();

    form.StartNumEdit->setText(QStringLiteral("55"));
    form.KalvoSendButton->click();
    EXPECT_EQ(form.StartNumEdit->text(), QStringLiteral("40"));
    EXPECT_EQ(form.UsingEdit->text(), QStringLiteral("40"));
    EXPECT_EQ(form.Train.ActiveCount, 40);
    for (double v : form.Chart1->Values())
        EXPECT_NEAR(v, 0.2, 1e-9);
}

// A count that is no number keeps trainer mode on and is reported when the
// lesson would start, after the status line has changed.
TEST_F(TrainerWindowTest, AStartCountThatIsNoNumberIsReportedWhenTheLessonStarts)
{
    TForm1& form = MakeForm();
    form.StartNumEdit->setText(QStringLiteral("x"));
    form.Kalvobutton->click();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'x' is not a valid integer value."));
    EXPECT_TRUE(form.Train.TrainMode);
    form.KalvoSendButton->click();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], QStringLiteral("'x' is not a valid integer value."));
    EXPECT_EQ(form.StatusText(),
              QStringLiteral("Type each character you hear, or wait:  Press <Stop Kalvo> button to stop."));
    EXPECT_FALSE(form.Train.TrainRunning);
}

TEST_F(TrainerWindowTest, StopDuringAPlaybackLeavesNoCountdownBehind)
{
    TForm1& form = MakeForm();
    form.StartNumEdit->setText(QStringLiteral("5"));
    form.Kalvobutton->click();
    form.KalvoSendButton->click();
    long emitted = 0;
    form.Synth.ProcessEvents = [&] {
        if (++emitted == 1000)
            form.KalvoStopButton->click();
        QCoreApplication::processEvents();
    };
    form.Timer2Timer();
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(form.Train.AwaitingAnswer);
    EXPECT_TRUE(form.Memo1Text().rfind("Your current mastery rating is ", 0) == 0);
}

TEST_F(TrainerWindowTest, ANewLessonStartedDuringAPlaybackAsksOnlyAfterIt)
{
    TForm1& form = MakeForm();
    form.Kalvobutton->click();
    form.KalvoSendButton->click();
    long emitted = 0;
    long nested = 0;
    form.Synth.ProcessEvents = [&] {
        if (++emitted == 1000) {
            form.KalvoStopButton->click();
            form.Kalvobutton->click();
            form.KalvoSendButton->click();
        }
        if (emitted == 1400) { // what the event loop does when Timer2 comes due now
            const long before = emitted;
            form.Timer2Timer();
            nested = emitted - before;
        }
    };
    form.Timer2Timer();
    EXPECT_EQ(nested, 0); // no question sounded inside the first
    EXPECT_FALSE(form.Timer1->isActive()); // nor did the old one start a countdown
    EXPECT_TRUE(form.Timer2->isActive()); // the new lesson's first question comes next
    form.Synth.ProcessEvents = {};
    form.Timer2Timer();
    EXPECT_TRUE(form.Timer1->isActive());
}

TEST_F(TrainerWindowTest, TheTrainerCannotStartWhileATextIsSent)
{
    TForm1& form = MakeForm();
    form.SetMemo1Text("EE");
    bool enabledDuringSend = true;
    form.Synth.ProcessEvents = [&] {
        enabledDuringSend = enabledDuringSend && form.Kalvobutton->isEnabled();
        QCoreApplication::processEvents();
    };
    form.Sendbutton->click();
    EXPECT_FALSE(enabledDuringSend);
    EXPECT_TRUE(form.Kalvobutton->isEnabled());
}

TEST_F(TrainerWindowTest, UppercaseEchoAndPlayedCharacterSound)
{
    TForm1& form = MakeForm();
    ShowForm();
    form.ToggleUppercase1->trigger();
    form.Kalvobutton->click();
    form.KalvoSendButton->click();
    Ask();
    // "q" is --.- : three dashes and a dot after three dots of silence, flushed.
    // The transfer thread may still be handing the last buffers over.
    const auto end = form.OutSound1.Mark();
    ASSERT_TRUE(end);
    ASSERT_EQ(end->Offset, kalvo::EngineSetup::BufferLength);
    const auto samples = Samples(end->Buffer + 1);
    const auto runs = ToneRuns(samples);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].Start, 4000u + 1); // the lead-in is flushed in a buffer of its own
    Type('q');
    EXPECT_EQ(form.Memo1Text(), "Q");
}

// What a screen reader is given to speak: each answer the box shows (after a
// time-out, and the echo of a hit), and the rating with the status in one
// announcement. With "Wait for Speech" the next question waits until about
// as long as that takes; without it, the usual tenth of a second.
TEST_F(TrainerWindowTest, AnswersAndTheRatingAreSpokenAndMayBeWaitedFor)
{
    for (const bool waitForSpeech : {false, true}) {
        SCOPED_TRACE(waitForSpeech);
        TForm1& form = MakeForm();
        ShowForm();
        auto spoken = [&](const char* name) {
            return form.findChild<QWidget*>(QString::fromLatin1(name))->accessibleName();
        };
        if (waitForSpeech)
            form.WaitForSpeech1->trigger();
        form.Kalvobutton->click();
        form.KalvoSendButton->click();
        // The status (77 characters) and the text box's name (15) at least.
        if (waitForSpeech)
            EXPECT_GE(form.Timer2->interval(), 500 + (77 + 15) * 1000 / 15);
        else
            EXPECT_EQ(form.Timer2->interval(), 100);
        Ask();
        Tick(8);
        EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("q"));
        EXPECT_EQ(spoken("AnswerNotice"), QStringLiteral("q"));
        if (waitForSpeech)
            EXPECT_GE(form.Timer2->interval(), 500);
        else
            EXPECT_EQ(form.Timer2->interval(), 100);
        Ask();
        form.AnswerNotice->setAccessibleName({});
        Type('q');
        EXPECT_EQ(spoken("AnswerNotice"), QStringLiteral("q"));
        form.KalvoStopButton->click();
        EXPECT_TRUE(spoken("StatusNotice").startsWith(QStringLiteral("Your current mastery rating is ")));
        EXPECT_TRUE(spoken("StatusNotice").endsWith(QStringLiteral("\nHere's how you did.  I'm Ready to go again.")));
    }
}

// Each order of the menu: the lesson asks the last of its starting characters,
// then brings in the next of the order. The menu is closed during a lesson.
TEST_F(TrainerWindowTest, EachLearningOrderAsksItsFirstCharactersFirst)
{
    TForm1& form = MakeForm();
    ShowForm();
    EXPECT_TRUE(form.OrderItems[0]->isChecked());
    for (std::size_t i = 0; i < form.OrderItems.size(); ++i) {
        const std::string order = kalvo::KnownOrders()[i].Characters;
        form.OrderItems[i]->trigger();
        EXPECT_TRUE(form.OrderItems[i]->isChecked());
        form.Kalvobutton->click();
        EXPECT_FALSE(form.OrderItems[i]->isEnabled());
        EXPECT_FALSE(form.CustomSet1->isEnabled());
        form.StartNumEdit->setText(QStringLiteral("2"));
        form.KalvoSendButton->click();
        Ask();
        Type(order[1]);
        Tick();
        Ask();
        const auto& questions = form.Lesson.Record().Questions();
        ASSERT_EQ(questions.size(), 2u);
        EXPECT_EQ(std::string() + questions[0].Asked + questions[1].Asked, order.substr(1, 2)) << order;
        form.KalvoStopButton->click();
        EXPECT_TRUE(form.OrderItems[i]->isEnabled());
    }
}

TEST_F(TrainerWindowTest, ACustomSetOfThreeIsAllTheLessonAsks)
{
    TForm1& form = MakeForm();
    ShowForm();
    // The dialog refuses a bad set and says why, to a screen reader too.
    CustomSetDialog dialog(&form, "");
    dialog.findChild<QLineEdit*>()->setText(QStringLiteral("e t e"));
    dialog.accept();
    EXPECT_EQ(dialog.findChild<StatusNotice*>()->accessibleName(),
              QStringLiteral("The character \"E\" is given twice."));
    dialog.findChild<QLineEdit*>()->setText(QStringLiteral("E T M"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    CustomSetDialog::SetChooser([](QWidget*) { return std::optional<std::string>("etm"); });
    form.CustomSet1->trigger();
    CustomSetDialog::SetChooser({});
    EXPECT_TRUE(form.CustomSet1->isChecked());
    form.StartNumEdit->setText(QStringLiteral("5"));
    form.Kalvobutton->click();
    form.KalvoSendButton->click();
    EXPECT_EQ(form.UsingEdit->text(), QStringLiteral("3"));
    std::string asked;
    for (int question = 0; question < 30; ++question) {
        Ask();
        asked += form.Train.CurrentCharacter();
        Type(form.Train.CurrentCharacter());
        Tick();
    }
    EXPECT_EQ(asked.find_first_not_of("etm"), std::string::npos) << asked;
}

// "Speak Answers": after a time-out the voice says the character between the
// questions, in the lesson's own sound, and the next question follows it; a
// voice that cannot speak is reported once and the lesson goes on.
TEST_F(TrainerWindowTest, SpokenAnswersComeBetweenTheQuestions)
{
    TForm1& form = MakeForm();
    EXPECT_FALSE(form.SpeakAnswers1->isChecked());
    form.SpeakAnswers1->trigger();
    EXPECT_TRUE(form.SpeakRightAnswers1->isEnabled());
    form.Kalvobutton->click();
    form.KalvoSendButton->click();
    Ask();
    Tick(8);
    Ask();
    const auto runs = ToneRuns(Samples(form.OutSound1.Mark()->Buffer + 1));
    // q, the voice (some 0.3 s or more of sound that is no tone of the
    // trainer's), q again.
    ASSERT_GT(runs.size(), 8u);
    const auto& first = runs[4];
    const auto& last = runs[runs.size() - 5];
    EXPECT_GT(double(last.Start + last.Length - first.Start) / form.OutSound1.SampRate(), 0.3);
    EXPECT_GT(runs[4].Start, runs[3].Start + runs[3].Length + form.OutSound1.SampRate() / 10);
    EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("q"));

    form.AnswerVoice = "xx-none";
    Tick(8);
    EXPECT_EQ(form.StatusText(),
              QStringLiteral("The voice \"xx-none\" is not installed. The lesson goes on without speech."));
    EXPECT_FALSE(form.SpeakAnswers1->isChecked());
    EXPECT_TRUE(form.Timer2->isActive());
}
