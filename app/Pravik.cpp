// The main window: construction, the start-up state (FormCreate) and closing.
// The other concerns of TForm1 are defined beside it, one file each.
#include "app/Pravik.h"

#include "app/AnsiText.h"
#include "app/BrowserOpen.h"
#include "app/ErrorBox.h"
#include "app/LessonDetails.h"
#include "app/LineEditAccessible.h"
#include "app/ProgressWindow.h"
#include "app/StatusNotice.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "audio/EngineSetup.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBasicTimer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QScreen>

#include <initializer_list>
#include <optional>
#include <string>

using namespace kalvo;

using ansi::FromAnsi;

namespace {

const char* const WindowTitle = "Kalvo: Kalvo developers: Version 1.0: December 2026";

} // namespace

TForm1::TForm1(std::unique_ptr<WaveOutDevice> device)
    : WaveOut(std::move(device)), OutSound1(*WaveOut), Synth(OutSound1), Sender(Morse, Timing, Synth, OutSound1),
      Train(Random), Lesson(Train, Morse, Timing, Synth, OutSound1)
{
    // The sound output as the window describes it (audio/EngineSetup.h).
    ConfigureEngine(OutSound1);

    // Before any box exists, so that every one is described by it.
    InstallLineEditAccessible();
    InstallStatusNoticeAccessible();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(WindowTitle));
    BuildLayout();
    BuildMenu();
    ConnectHandlers();
    SetAccessibility();

    ChooseFile = [this]() -> std::optional<QString> {
        const QString name = QFileDialog::getOpenFileName(this, QStringLiteral("Load any File"), QStringLiteral("."));
        if (name.isEmpty())
            return std::nullopt;
        return name;
    };
    ChooseFont = [this](const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, current, this);
        if (!ok)
            return std::nullopt;
        return font;
    };
    OpenAddress = BrowserOpen::Show;

    Synth.ProcessEvents = [this] { Pump(); };
    OutSound1.Shape = [this](std::int16_t* values, int count) { BandSound.Shape(values, count); };
    // The sound card paces the writer, half a second at a time; meanwhile the
    // window waits for its own events (a click, a screen reader's query) and
    // answers each at once. A buffer that comes back wakes the wait, and a
    // timer ends it after WaitSlice, so that a device that stopped is noticed.
    OutSound1.BufferBack = [dispatcher = QAbstractEventDispatcher::instance()] { dispatcher->wakeUp(); };
    OutSound1.WhileWaiting = [this] {
        QBasicTimer slice;
        slice.start(int(TOutSound::WaitSlice.count()), Qt::CoarseTimer, this);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    Sender.CurrentText = [this] { return Memo1Text(); };
    Sender.ShowProgress = [this](const std::string& text) { Edit2->setText(FromAnsi(text)); };
    Sender.SetStatus = [this](const std::string& text) { SetStatusText(FromAnsi(text)); };
    Sender.ProcessEvents = [] { QCoreApplication::processEvents(); };

    ErrorBox::Guard([this] { FormCreate(); });

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
}

void TForm1::AttachWindows(TForm2* notepad, TAboutBox* aboutBox)
{
    Form2 = notepad;
    AboutBox = aboutBox;
}

void TForm1::FormCreate()
{
    // Controls that come up with a command of their own. All of them hide
    // before the first step that can fail, the sound output's start.
    for (QWidget* control : std::initializer_list<QWidget*>{SpinEdit1, Label14, Label15, Edit3, Button3, Edit2, Label12,
                                                            StartNumLabel, StartNumEdit, UsingEdit, Label10, SpinEdit2,
                                                            Label17, SpinEdit3, Label16, CheckBox3})
        control->hide();
    Timing.Compression = 0.0;
    Sender.Paused = false;
    Timing.FastMode = false;
    SetClientHeight(CurrentClientHeight - Panel2Height);
    qApp->installEventFilter(this);
    Morse.CodeTableInitialize();
    UsingEdit->setText(QStringLiteral("1"));
    StartNumEdit->setText(QStringLiteral("1"));
    Synth.BuildStartupTable();
    OutSound1.Initialize();
    Timing.CharSpeed = 14.0;
    SpeedEdit->setText(QStringLiteral("14"));
    Timing.OverallSpeed = 5.0;
    CSpeedEdit->setText(QStringLiteral("5"));
    Timing.ToneFreq = 800.0;
    Freqedit->setText(QStringLiteral("800"));
    MoveSlider(Freqscrollbar, 800);
    SetSpeed();
    Train.TrainMode = false;
    Train.TrainRunning = false;
    Timer1->stop();
    KalvoSendButton->setEnabled(false);
    SetStatusText(QStringLiteral("Load text into the text box, or press <Start Kalvo.>"));
    Memo2->setPlainText(QStringLiteral("---Quickstart Instructions---\n"
                                       "Press <Start Kalvo> button,\n"
                                       "Press <Start Sending> button,\n"
                                       "Type each character you hear,\n"
                                       "If it's unknown, wait.  You'll be shown.\n"
                                       "Stop with <Stop Kalvo> button"));
}

void TForm1::FormClose()
{
    Sender.Sending = false;
    BandStopTimer->stop();
    BandSound.Stop();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FormClose();
    if (Form2)
        Form2->hide();
    if (AboutBox)
        AboutBox->hide();
    if (Details)
        Details->hide();
    if (Progress)
        Progress->hide();
    event->accept();
}
