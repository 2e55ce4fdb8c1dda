// TForm1: the trainer's lesson, its two timers and the key hook that
// hands every typed key to it.
#include "app/Pravik.h"

#include "app/AnsiText.h"
#include "app/CustomSetDialog.h"
#include "app/ErrorBox.h"
#include "app/ErrorHistogram.h"
#include "app/LessonDetails.h"
#include "app/ProgressWindow.h"
#include "app/SendingPractice.h"
#include "common/Convert.h"
#include "common/Errors.h"
#include "texts/PracticeLibrary.h"
#include "trainer/HistogramFeed.h"
#include "trainer/LearningOrder.h"
#include "trainer/ProgressLog.h"

#include <QActionGroup>
#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

using namespace kalvo;

using ansi::FromAnsi;
using ansi::ToAnsi;

namespace {

// The character codes a key press types, as the program's key hook sees them.
std::string TypedCharacters(const QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return "\r";
    case Qt::Key_Backspace:
        return "\b";
    case Qt::Key_Tab:
        return "\t";
    case Qt::Key_Escape:
        return "\x1b";
    default:
        break;
    }
    if ((key->modifiers() & Qt::ControlModifier) && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
        return std::string(1, char(key->key() - Qt::Key_A + 1));
    std::string result;
    for (QChar c : key->text()) {
        if (c.unicode() >= 32 && c.unicode() <= 255 && c.unicode() != 127)
            result += char(c.unicode());
    }
    return result;
}

// When a key was pressed, from its event's time stamp: X and Wayland stamp input
// in milliseconds of the monotonic clock (as 32 bits, so it wraps), which is
// the steady clock here. It is taken only when it lies within the last two
// seconds, so a platform with another clock gets the handler's moment instead.
// The stamp does not wait for the window to be scheduled, as the handler does.
std::optional<std::chrono::steady_clock::time_point> PressedAt(quint64 stamp)
{
    using namespace std::chrono;
    const auto now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    const std::uint32_t age = static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(stamp);
    if (stamp == 0 || age > 2000)
        return std::nullopt;
    // Within its millisecond the key is taken to have come in the middle.
    return steady_clock::time_point(milliseconds(now - age)) + microseconds(500);
}

} // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Key presses reach the window before its widgets: that is where the
        // key hook sees every character exactly once, whatever has the focus.
        if (watched->isWindowType()) {
            const std::string typed = TypedCharacters(key);
            KeyPressedAt = PressedAt(key->timestamp());
            for (char c : typed)
                ErrorBox::Guard([&] { AppMessage(c); });
            KeyPressedAt.reset();
            return false;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (watched == SpeedEdit || watched == CSpeedEdit || watched == Freqedit)) {
            char c = '\r';
            ErrorBox::Guard([&] {
                if (watched == SpeedEdit)
                    SpeedEditKeyPress(c);
                else if (watched == CSpeedEdit)
                    CSpeedEditKeyPress(c);
                else
                    FreqeditKeyPress(c);
            });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::AppMessage(char key)
{
    Echo(Lesson.Key(key, KeyPressedAt));
}

void TForm1::CheckAnswer()
{
    Echo(Train.CheckAnswer());
}

void TForm1::Echo(const Trainer::AnswerOutcome& outcome)
{
    if (!outcome.Hit)
        return;
    AppendMemo1(std::string(1, outcome.Echo));
    Announce(AnswerNotice, FromAnsi(std::string(1, outcome.Echo)));
    if (SpeakRightAnswers1->isChecked())
        PendingAnswer = outcome.Echo;
}

void TForm1::ShowHistogram()
{
    const HistogramFeed feed = MakeHistogramFeed(Train);
    Chart1->ShowBars(feed.Values, feed.Labels);
    Chart1->setAccessibleDescription(FromAnsi(feed.TextAlternative));
}

void TForm1::StartQuestionTimer()
{
    using namespace std::chrono;
    const auto speaking = duration_cast<milliseconds>(SpeechEnds - steady_clock::now());
    Timer2->setInterval(WaitForSpeech ? int(std::max<milliseconds::rep>(speaking.count(), 100)) : 100);
    Timer2->start();
}

void TForm1::KalvobuttonClick()
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{SpinEdit1, Label14, Label12, Edit2, Button1, Memo1, CheckBox1, Label11, Edit1})
        control->hide();
    CheckBox1->setChecked(true);
    CheckBox1Click();
    StartNumLabel->show();
    StartNumEdit->show();
    KalvoSendButton->setEnabled(true);
    UsingEdit->setText(StartNumEdit->text());
    UnfoldHistogram();
    // Trainer mode is on even when the count cannot be read.
    Lesson.EnterTrainMode();
    LearningOrderGroup->setEnabled(false);
    Lesson.Prepare(StrToInt(ToAnsi(UsingEdit->text())));
    Memo1->clear();
    ShowHistogram();
    StartQuestionTimer();
    StartNumEdit->setFocus(Qt::OtherFocusReason);
    Kalvobutton->setEnabled(false);
    KalvoSendButton->setEnabled(true);
    LoadFile->setEnabled(false);
    Sendbutton->setEnabled(false);
    AbortButton->setEnabled(false);
    KalvoStopButton->setEnabled(true);
    SetStatusText(QStringLiteral("Enter number of characters to start, then press <Start Sending> button."));
}

void TForm1::KalvoSendButtonClick()
{
    // A count below one is refused before anything changes; a text that is no
    // number is reported only when the lesson starts, after the status line.
    int count = 0;
    bool isNumber = true;
    try {
        count = StrToInt(ToAnsi(StartNumEdit->text()));
    } catch (const EConvertError&) {
        isNumber = false;
    }
    if (isNumber)
        LessonRunner::RefuseStartCountBelowOne(count);
    SetStatusText(QStringLiteral("Type each character you hear, or wait:  Press <Stop Kalvo> button to stop."));
    // The text box about to take the focus is spoken too.
    QueueSpeech(Memo1->accessibleName().size());
    StartQuestionTimer();
    const LessonRunner::Started started = Lesson.Start(StrToInt(ToAnsi(StartNumEdit->text())));
    if (started.Capped)
        StartNumEdit->setText(QString::number(started.Count));
    StartBand();
    UsingEdit->setText(StartNumEdit->text());
    ShowHistogram();
    FocusTextBox(true);
    KalvoSendButton->setEnabled(false);
    UsingEdit->show();
    Label10->show();
}

void TForm1::KalvoStopButtonClick()
{
    Lesson.Stop();
    StopBandWhenPlayed();
    LearningOrderGroup->setEnabled(true);
    Label10->hide();
    StartNumEdit->hide();
    StartNumLabel->hide();
    Memo1->show();
    CheckBox1->show();
    Timer1->stop();
    Timer2->stop();
    ShowHistogram();
    Kalvobutton->setEnabled(true);
    Button1->show();
    Label11->show();
    Edit1->show();
    UsingEdit->hide();
    LoadFile->setEnabled(true);
    Sendbutton->setEnabled(true);
    AbortButton->setEnabled(true);
    FocusTextBox(false);
    KalvoStopButton->setEnabled(false);
    Memo1->clear();
    SetMemo1Text(Lesson.RatingText());
    HideQuickstart();
    const QString status = QStringLiteral("Here's how you did.  I'm Ready to go again.");
    // One announcement of the rating and the status: a second one would cut
    // the first short.
    Announce(Notice, FromAnsi(Lesson.RatingText()) + u'\n' + status);
    StatusText1->setText(status);
}

void TForm1::Timer2Timer()
{
    // One-shot: off before the question plays, so that only a new start can
    // arm it again while the character sounds.
    Timer2->stop();
    switch (Lesson.Ask()) {
    case LessonRunner::AfterAsk::AskLater:
        StartQuestionTimer();
        break;
    case LessonRunner::AfterAsk::CountDown:
        Timer1->start();
        break;
    case LessonRunner::AfterAsk::Nothing:
        break;
    }
}

void TForm1::PlayCharacter()
{
    Lesson.PlayCharacter();
}

void TForm1::Timer1Timer()
{
    const Trainer::TickOutcome outcome = Lesson.Tick(Sender.Paused);
    if (outcome.Shown) {
        AppendMemo1(std::string(1, outcome.Shown));
        Announce(AnswerNotice, FromAnsi(std::string(1, outcome.Shown)));
        if (SpeakAnswers1->isChecked())
            PendingAnswer = outcome.Shown;
    }
    if (!outcome.QuestionEnded)
        return;
    ShowHistogram();
    if (outcome.Added) {
        if (outcome.HideQuickstart)
            HideQuickstart();
        UsingEdit->setText(QString::number(Train.ActiveCount));
        Memo1->clear();
    }
    Timer1->stop();
    // Spoken between the questions, never inside a character's sound: the
    // next question is written after the voice, into the same stream.
    if (const char answer = std::exchange(PendingAnswer, '\0')) {
        SpeakAnswer(answer);
        if (!Train.TrainRunning)
            return; // stopped while the voice was written
    }
    StartQuestionTimer();
}

void TForm1::ToggleUppercase1Click()
{
    Train.ShowUppercase = !Train.ShowUppercase;
}

void TForm1::WaitForSpeech1Click()
{
    WaitForSpeech = WaitForSpeech1->isChecked();
}

void TForm1::LessonDetails1Click()
{
    if (!Details)
        Details = new TLessonDetails(Lesson, Train, this);
    Details->show();
    Details->raise();
    Details->activateWindow();
}

void TForm1::SaveProgress1Click()
{
    if (!Lesson.Record().HasStarted())
        throw EProgressLog("There is no lesson to save yet: press \"Start Kalvo\", then \"Start Sending\".");
    AppendProgressLog(
        MakeProgressEntry(Lesson.Record(), Train, LessonRecord::Clock::now(), std::chrono::system_clock::now()));
    SetStatusText(QStringLiteral("The lesson was added to %1.").arg(QString::fromLatin1(ProgressLogFileName)));
}

void TForm1::ShowProgress1Click()
{
    const ProgressLogContents log = ReadProgressLog();
    if (!Progress)
        Progress = new TProgressWindow(this);
    Progress->ShowLog(log);
    Progress->show();
    Progress->raise();
    Progress->activateWindow();
}

void TForm1::OrderItemClick(QAction* item)
{
    const auto at = std::find(OrderItems.begin(), OrderItems.end(), item);
    if (at != OrderItems.end())
        SetLearningOrder(KnownOrders()[static_cast<std::size_t>(at - OrderItems.begin())].Characters);
}

void TForm1::CustomSet1Click()
{
    const bool known = std::any_of(KnownOrders().begin(), KnownOrders().end(),
                                   [&](const LearningOrder& order) { return Train.Order == order.Characters; });
    // The group has already moved the check here; a cancel puts it back.
    ShowLearningOrder();
    if (const auto set = CustomSetDialog::Choose(this, known ? std::string() : Train.Order))
        SetLearningOrder(*set);
}

void TForm1::SetLearningOrder(const std::string& order)
{
    if (order != Train.Order) {
        Train.SetOrder(order);
        // The last lesson's bars follow the new order, each with its weight.
        if (Panel2->isVisible())
            ShowHistogram();
    }
    ShowLearningOrder();
}

void TForm1::ShowLearningOrder()
{
    for (std::size_t i = 0; i < OrderItems.size(); ++i) {
        if (Train.Order == KnownOrders()[i].Characters) {
            OrderItems[i]->setChecked(true);
            return;
        }
    }
    CustomSet1->setChecked(true);
}

void TForm1::SendingPractice1Click()
{
    if (!Practice) {
        const auto tone = [this] { return std::pair<double, double>(Timing.ToneFreq, Synth.RiseFall.Ms); };
        // Five characters drawn from those in use (or those the count in use
        // names in the chosen order, before the first lesson).
        const auto group = [this] {
            int count = Train.ActiveCount;
            if (count < 1) {
                try {
                    count = StrToInt(ToAnsi(UsingEdit->text()));
                } catch (const EConvertError&) {
                    count = 1;
                }
            }
            const std::string& order = Train.ActiveCount > 0 ? Train.LessonOrder : Train.Order;
            const std::string set = order.substr(0, static_cast<std::size_t>(std::clamp<int>(count, 1, order.size())));
            std::string text;
            for (int i = 0; i < 5; ++i)
                text += UpCase(set[static_cast<std::size_t>(Random.Random() * set.size()) % set.size()]);
            return text;
        };
        // The practice text the main window's number names, without moving the number on.
        const auto line = [this] {
            const PracticeLibrary::Result text = PracticeLibrary::Fetch(StrToInt(ToAnsi(Edit1->text())));
            return text.Loaded ? text.Text : std::string();
        };
        const auto sidetone = [this] {
            return MakeSidetone ? MakeSidetone() : std::unique_ptr<kalvo::SidetoneOutput>();
        };
        Practice = new TSendingPractice(Morse, sidetone, tone, group, line, this);
    }
    Practice->show();
    Practice->raise();
    Practice->activateWindow();
}
