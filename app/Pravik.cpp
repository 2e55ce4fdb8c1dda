#include "app/Pravik.h"

#include "app/AnsiText.h"
#include "app/BrowserOpen.h"
#include "app/ErrorBox.h"
#include "app/ErrorHistogram.h"
#include "app/ExportDialog.h"
#include "app/LessonDetails.h"
#include "app/LineEditAccessible.h"
#include "app/ProgramFont.h"
#include "app/ProgressWindow.h"
#include "app/StatusNotice.h"
#include "app/TextBoxFocus.h"
#include "app/TextBoxWrap.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "audio/EngineSetup.h"
#include "common/Convert.h"
#include "common/Errors.h"
#include "common/TextFile.h"
#include "texts/EnvironmentFile.h"
#include "texts/HelpAddress.h"
#include "texts/PracticeLibrary.h"
#include "texts/RandomString.h"
#include "trainer/HistogramFeed.h"
#include "trainer/ProgressLog.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBasicTimer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QTextCursor>

#include <algorithm>
#include <array>

using namespace kalvo;

namespace {

const char* const WindowTitle = "Kalvo: Kalvo developers: Version 1.0: December 2026";

using ansi::FromAnsi;
using ansi::ToAnsi;

// The box text with CR LF line breaks, as the sender counts line breaks.
std::string WithCrLf(const QString& text)
{
    std::string result;
    const std::string bytes = ToAnsi(text);
    result.reserve(bytes.size() + std::size_t(std::count(bytes.begin(), bytes.end(), '\n')));
    for (char c : bytes) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

// Any CR LF, lone CR or lone LF as the box's own line break.
QString WithBoxBreaks(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            result += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += text[i];
        }
    }
    return FromAnsi(result);
}

template <class W>
W* Place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                        int height, const char* hint)
{
    auto* button = Place(new QPushButton(QString::fromLatin1(caption), parent), name, left, top, width, height);
    if (hint)
        button->setToolTip(QString::fromLatin1(hint));
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    return Place(new QLineEdit(parent), name, left, top, width, height);
}

QScrollBar* MakeSlider(QWidget* parent, const char* name, int left, int top, int width, int height, int minimum,
                       int maximum, int position, const char* hint)
{
    auto* slider = Place(new QScrollBar(Qt::Horizontal, parent), name, left, top, width, height);
    slider->setRange(minimum, maximum);
    slider->setValue(position);
    slider->setPageStep(1);
    slider->setToolTip(QString::fromLatin1(hint));
    return slider;
}

QAction* MakeAction(QMenu* menu, const char* name, const char* caption, const char* hint)
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    if (hint)
        action->setToolTip(QString::fromLatin1(hint));
    return action;
}

// A flag set for as long as a scope runs, however it is left.
class RaisedFlag {
public:
    explicit RaisedFlag(bool& flag) : Flag(flag) { Flag = true; }
    ~RaisedFlag() { Flag = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

private:
    bool& Flag;
};

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

void TForm1::BuildLayout()
{
    const QFont font = ProgramFont(8);
    setFont(font);

    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(Client);

    Panel1 = Place(new QFrame(Client), "Panel1", 0, 0, 633, 65);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    LoadFile = MakeButton(Panel1, "LoadFile", "Load any File", 8, 8, 73, 25, "Load a text file to send from disk");
    Button1 = MakeButton(Panel1, "Button1", "Load practice Text", 88, 8, 97, 25,
                         "Load a supplied practice text, numbered 1 - 950:  Enter number in box below.");
    CheckBox2 = Place(new QCheckBox(QStringLiteral("Show Quickscreen"), Panel1), "CheckBox2", 216, 8, 113, 17);
    CheckBox2->setChecked(true);
    CheckBox2->setToolTip(QStringLiteral("Clear to hide red instruction box"));
    CheckBox1 = Place(new QCheckBox(QStringLiteral("Show text"), Panel1), "CheckBox1", 216, 24, 97, 17);
    CheckBox1->setChecked(true);
    CheckBox1->setToolTip(QStringLiteral("Clear to hide text in window"));
    Sendbutton = MakeButton(Panel1, "Sendbutton", "Send Text", 328, 8, 65, 25,
                            "Send any text in the box, or the loaded practice text");
    Button2 = MakeButton(Panel1, "Button2", "Pause", 400, 8, 57, 25, "Pause and resume sending");
    AbortButton = MakeButton(Panel1, "AbortButton", "Abort/Show text", 464, 8, 89, 25,
                             "Stop sending text, show sent portion");
    Button4 = MakeButton(Panel1, "Button4", "Font", 560, 8, 41, 25, nullptr);
    Label11 = MakeLabel(Panel1, "Label11", "Practice Text Number (1 - 950)", 24, 48);
    Edit1 = MakeEdit(Panel1, "Edit1", 176, 40, 33, 21);
    Edit1->setText(QStringLiteral("1"));
    Edit1->setToolTip(QStringLiteral("Number of Practice Text to send: 1 - 950"));
    CheckBox3 = Place(new QCheckBox(QStringLiteral("SquareWave"), Panel1), "CheckBox3", 272, 48, 97, 17);
    SpinEdit3 = Place(new TSpinEdit(0, 3, 1, Panel1), "SpinEdit3", 368, 40, 33, 22);
    Label17 = MakeLabel(Panel1, "Label17", "Harmonics", 408, 48);
    Label16 = MakeLabel(Panel1, "Label16", "Rise/Fall time, msec", 528, 48);

    SpinEdit2 = Place(new TSpinEdit(1, 50, 5, Client), "SpinEdit2", 480, 40, 41, 22);
    SpinEdit2->setToolTip(QStringLiteral("Lower, makes elements \"clickier\":   higher, \"woolier\""));

    Label2 = MakeLabel(Client, "Label2", "3", 448, 72);
    Label9 = MakeLabel(Client, "Label9", "30", 600, 72);
    CspeedScrollbar = MakeSlider(Client, "CspeedScrollbar", 448, 88, 169, 17, 3, 30, 5, "Set the overall morse speed");
    Label1 = MakeLabel(Client, "Label1", "Code Speed", 488, 112);
    CSpeedEdit = MakeEdit(Client, "CSpeedEdit", 584, 112, 33, 21);
    Label3 = MakeLabel(Client, "Label3", "12", 456, 136);
    Label4 = MakeLabel(Client, "Label4", "35", 600, 136);
    SpeedScrollBar = MakeSlider(Client, "SpeedScrollBar", 448, 152, 169, 16, 12, 35, 14,
                                "Set the Farnsworth (character) speed");
    Label5 = MakeLabel(Client, "Label5", "Farnsworth Speed", 488, 176);
    SpeedEdit = MakeEdit(Client, "SpeedEdit", 584, 176, 33, 21);
    Label6 = MakeLabel(Client, "Label6", "500", 456, 201);
    Label7 = MakeLabel(Client, "Label7", "1000", 592, 200);
    Freqscrollbar = MakeSlider(Client, "Freqscrollbar", 448, 216, 169, 16, 500, 1000, 500,
                               "Set audio frequency for morse");
    Label8 = MakeLabel(Client, "Label8", "Audio Frequency", 472, 240);
    Freqedit = MakeEdit(Client, "Freqedit", 576, 240, 41, 21);

    Memo1 = Place(new QPlainTextEdit(Client), "Memo1", 32, 72, 401, 169);
    Memo1->setToolTip(QStringLiteral("Text to be sent appears here"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont = font;
    memoFont.setPointSize(10);
    Memo1->setFont(memoFont);
    // The quick-start box ends where the text box's scroll bar begins and is
    // wide enough for its longest line in the program's font, which would
    // otherwise wrap and push the last line out of sight.
    Memo2 = Place(new QPlainTextEdit(Client), "Memo2", 221, 144, 196, 89);
    Memo2->setToolTip(QStringLiteral("Get going in a hurry!"));
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setStyleSheet(QStringLiteral("color: red;"));
    Edit2 = MakeEdit(Client, "Edit2", 128, 224, 313, 21);
    QFont progressFont = font;
    progressFont.setPointSize(9);
    Edit2->setFont(progressFont);
    Label12 = MakeLabel(Client, "Label12", "Text as sent", 240, 296);
    Button3 = MakeButton(Client, "Button3", "Generate String", 168, 248, 89, 25,
                         "Click to generate a random string from the characters you've entered.");
    Button3->setStyleSheet(QStringLiteral("color: red;"));
    Edit3 = MakeEdit(Client, "Edit3", 264, 248, 73, 21);
    Label15 = MakeLabel(Client, "Label15", "Enter Characters", 392, 256);
    Memo3 = Place(new QPlainTextEdit(Client), "Memo3", 304, 272, 313, 81);
    Memo3->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo3->hide();
    SpinEdit1 = Place(new TSpinEdit(0, 10, 0, Client), "SpinEdit1", 128, 280, 41, 22);
    SpinEdit1->setToolTip(QStringLiteral("Set Farnsworth Compression"));
    Label14 = MakeLabel(Client, "Label14", "Fcompression", 176, 280);

    Kalvobutton = MakeButton(Client, "Kalvobutton", "Start Kalvo", 24, 256, 75, 25,
                             "Prepare for interactive learning process");
    KalvoSendButton = MakeButton(Client, "KalvoSendButton", "Start Sending", 24, 280, 75, 25,
                                 "Start the interactive training: characters are sent one at a time");
    KalvoStopButton = MakeButton(Client, "KalvoStopButton", "Stop Kalvo", 24, 312, 75, 25,
                                 "Stop the interactive training and show your progress");
    KalvoStopButton->setEnabled(false);
    StartNumEdit = MakeEdit(Client, "StartNumEdit", 136, 200, 57, 21);
    StartNumEdit->setText(QStringLiteral("1"));
    StartNumEdit->hide();
    StartNumLabel = MakeLabel(Client, "StartNumLabel", "Characters to Start", 200, 208);
    // To the right of its box the caption would lie under the quick-start box;
    // it stands to the left of the box instead, on the box's line.
    StartNumLabel->move(StartNumEdit->x() - 6 - StartNumLabel->width(), 204);
    StartNumLabel->hide();
    UsingEdit = MakeEdit(Client, "UsingEdit", 128, 312, 57, 21);
    UsingEdit->setReadOnly(true);
    UsingEdit->setText(QStringLiteral("1"));
    UsingEdit->hide();
    Label10 = MakeLabel(Client, "Label10", "Characters in use", 192, 312);
    Label10->hide();

    Panel2 = Place(new QFrame(Client), "Panel2", 0, 352, ClientWidth, Panel2Height);
    Chart1 = new ErrorHistogram(Panel2);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(0, 0, ClientWidth, Panel2Height);
    Panel2->hide();

    // The quick-start box lies over the text box's lower right corner.
    Memo2->raise();
    Memo2->setPlainText(QString());

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(StatusBarHeight);
    // The status text is a label of its own: the bar's temporary messages are
    // cleared whenever the pointer passes over a menu item.
    StatusText1 = new QLabel(StatusBar1);
    StatusText1->setObjectName(QStringLiteral("StatusText1"));
    StatusBar1->addWidget(StatusText1, 1);
    setStatusBar(StatusBar1);
    Notice = new StatusNotice(StatusBar1);
    AnswerNotice = new StatusNotice(StatusBar1);
    AnswerNotice->setObjectName(QStringLiteral("AnswerNotice"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);

    SetClientHeight(LayoutClientHeight);
}

void TForm1::BuildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    Advanced1 = bar->addMenu(QStringLiteral("&Advanced"));
    Advanced1->setObjectName(QStringLiteral("Advanced1"));
    Advanced1->setToolTip(QStringLiteral("Show advanced functions"));
    SaveEnv1 = MakeAction(Advanced1, "SaveEnv1", "SaveEnvironment", "Save the main operating parameters");
    LoadEnv1 = MakeAction(Advanced1, "LoadEnv1", "LoadEnvironment", "Re-load the mian operating parameters");
    FastMode1 = MakeAction(Advanced1, "FastMode1", "FastMode", "Set 6 - 40 WPM");
    SlowMode1 = MakeAction(Advanced1, "SlowMode1", "SlowMode", "Set 3 - 20 WPM");
    ToggleProgress1 = MakeAction(Advanced1, "ToggleProgress1", "ToggleProgress",
                                 "Toggle visibility of \"progress\" box");
    RandChars1 = MakeAction(Advanced1, "RandChars1", "RandomChars", "Random character handling");
    Dits1 = MakeAction(Advanced1, "Dits1", "Dits", nullptr);
    ToggleTone1 = MakeAction(Advanced1, "ToggleTone1", "Toggle Tone", nullptr);
    ToggleUppercase1 = MakeAction(Advanced1, "ToggleUppercase1", "Toggle Uppercase", nullptr);
    Fcompression1 = MakeAction(Advanced1, "Fcompression1", "Fcompression",
                               "Show or hide the Farnsworth compression box");
    WaitForSpeech1 = MakeAction(Advanced1, "WaitForSpeech1", "Wait for Speech",
                                "Let a screen reader finish speaking before the next character sounds");
    WaitForSpeech1->setCheckable(true);
    SaveAudio1 = Advanced1->addAction(QStringLiteral("Save Text as Audio File\u2026"));
    SaveAudio1->setObjectName(QStringLiteral("SaveAudio1"));
    SaveAudio1->setToolTip(QStringLiteral("Save the text as Morse code in a WAV, FLAC, Ogg, Opus or MP3 file"));
    LessonDetails1 = MakeAction(Advanced1, "LessonDetails1", "Lesson Details",
                                "Show each character's answers, reaction times and confusions");
    SaveProgress1 = MakeAction(Advanced1, "SaveProgress1", "Save Lesson to Progress Log",
                               "Add this lesson to Kalvoprogress.txt");
    ShowProgress1 = MakeAction(Advanced1, "ShowProgress1", "Show Progress", "Show the lessons of Kalvoprogress.txt");
    Notepad1 = bar->addAction(QStringLiteral("&Notepad"));
    Notepad1->setObjectName(QStringLiteral("Notepad1"));
    Notepad1->setToolTip(QStringLiteral("Show Notepad editor"));
    H1 = bar->addMenu(QStringLiteral("&Help"));
    H1->setObjectName(QStringLiteral("H1"));
    HelpFile1 = MakeAction(H1, "HelpFile1", "Help File", nullptr);
    About1 = MakeAction(H1, "About1", "About", nullptr);
}

void TForm1::ConnectHandlers()
{
    // Every handler runs guarded: an error it raises is shown in the error box
    // and the program carries on with the state the handler reached.
    const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { ErrorBox::Guard([&] { (this->*handler)(); }); });
    };
    on(LoadFile, &QPushButton::clicked, &TForm1::LoadFileClick);
    on(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    on(CheckBox2, &QCheckBox::toggled, &TForm1::CheckBox2Click);
    on(CheckBox1, &QCheckBox::toggled, &TForm1::CheckBox1Click);
    on(Sendbutton, &QPushButton::clicked, &TForm1::SendbuttonClick);
    on(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    on(AbortButton, &QPushButton::clicked, &TForm1::AbortButtonClick);
    on(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    on(CheckBox3, &QCheckBox::toggled, &TForm1::SpinEdit3Change);
    on(SpinEdit3, &TSpinEdit::Changed, &TForm1::SpinEdit3Change);
    on(SpinEdit2, &TSpinEdit::Changed, &TForm1::SpinEdit2Change);
    on(SpinEdit1, &TSpinEdit::Changed, &TForm1::SpinEdit1Change);
    on(CspeedScrollbar, &QScrollBar::valueChanged, &TForm1::CspeedScrollbarChange);
    on(SpeedScrollBar, &QScrollBar::valueChanged, &TForm1::SpeedScrollBarChange);
    on(Freqscrollbar, &QScrollBar::valueChanged, &TForm1::FreqscrollbarChange);
    on(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    on(Kalvobutton, &QPushButton::clicked, &TForm1::KalvobuttonClick);
    on(KalvoSendButton, &QPushButton::clicked, &TForm1::KalvoSendButtonClick);
    on(KalvoStopButton, &QPushButton::clicked, &TForm1::KalvoStopButtonClick);
    on(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    on(Timer2, &QTimer::timeout, &TForm1::Timer2Timer);
    on(SaveEnv1, &QAction::triggered, &TForm1::SaveEnv1Click);
    on(LoadEnv1, &QAction::triggered, &TForm1::LoadEnv1Click);
    on(FastMode1, &QAction::triggered, &TForm1::FastMode1Click);
    on(SlowMode1, &QAction::triggered, &TForm1::SlowMode1Click);
    on(ToggleProgress1, &QAction::triggered, &TForm1::ToggleProgress1Click);
    on(RandChars1, &QAction::triggered, &TForm1::RandChars1Click);
    on(Dits1, &QAction::triggered, &TForm1::Dits1Click);
    on(ToggleTone1, &QAction::triggered, &TForm1::ToggleTone1Click);
    on(ToggleUppercase1, &QAction::triggered, &TForm1::ToggleUppercase1Click);
    on(WaitForSpeech1, &QAction::triggered, &TForm1::WaitForSpeech1Click);
    on(Fcompression1, &QAction::triggered, &TForm1::Fcompression1Click);
    on(SaveAudio1, &QAction::triggered, &TForm1::SaveAudio1Click);
    on(LessonDetails1, &QAction::triggered, &TForm1::LessonDetails1Click);
    on(SaveProgress1, &QAction::triggered, &TForm1::SaveProgress1Click);
    on(ShowProgress1, &QAction::triggered, &TForm1::ShowProgress1Click);
    on(Notepad1, &QAction::triggered, &TForm1::Notepad1Click);
    on(HelpFile1, &QAction::triggered, &TForm1::HelpFile1Click);
    on(About1, &QAction::triggered, &TForm1::About1Click);

    connect(Memo1->document(), &QTextDocument::contentsChanged, this, [this] { Memo1CacheValid = false; });

    // The Enter key in the three speed boxes.
    SpeedEdit->installEventFilter(this);
    CSpeedEdit->installEventFilter(this);
    Freqedit->installEventFilter(this);
}

// ---------------------------------------------------------------------------
// Start-up

void TForm1::FormCreate()
{
    SpinEdit1->hide();
    Label14->hide();
    Timing.Compression = 0.0;
    Label15->hide();
    Edit3->hide();
    Button3->hide();
    Edit2->hide();
    Label12->hide();
    Sender.Paused = false;
    Timing.FastMode = false;
    SetClientHeight(CurrentClientHeight - Panel2Height);
    qApp->installEventFilter(this);
    StartNumLabel->hide();
    StartNumEdit->hide();
    UsingEdit->hide();
    Label10->hide();
    Morse.CodeTableInitialize();
    UsingEdit->setText(QStringLiteral("1"));
    StartNumEdit->setText(QStringLiteral("1"));
    SpinEdit2->hide();
    Label17->hide();
    SpinEdit3->hide();
    Label16->hide();
    CheckBox3->hide();
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

void TForm1::SetAccessibility()
{
    // Buttons, check boxes and menu items are named by their captions and
    // described by their hints without help. Boxes and sliders are named after
    // the label beside them (a slider shares its box's label), and the label
    // points at its box.
    const auto nameAfter = [](QLabel* label, std::initializer_list<QWidget*> controls) {
        label->setBuddy(*controls.begin());
        QString name = label->text();
        if (name.endsWith(u':'))
            name.chop(1);
        for (QWidget* control : controls) {
            control->setAccessibleName(name);
            if (auto* spin = qobject_cast<TSpinEdit*>(control))
                spin->lineEdit()->setAccessibleName(name);
        }
    };
    nameAfter(Label11, {Edit1});
    nameAfter(Label17, {SpinEdit3});
    nameAfter(Label16, {SpinEdit2});
    nameAfter(Label1, {CSpeedEdit, CspeedScrollbar});
    nameAfter(Label5, {SpeedEdit, SpeedScrollBar});
    nameAfter(Label8, {Freqedit, Freqscrollbar});
    nameAfter(Label12, {Edit2});
    nameAfter(Label15, {Edit3});
    nameAfter(Label14, {SpinEdit1});
    nameAfter(StartNumLabel, {StartNumEdit});
    nameAfter(Label10, {UsingEdit});
    Memo1->setAccessibleName(QStringLiteral("Text to be sent"));
    Memo2->setAccessibleName(QStringLiteral("Quickstart Instructions"));
    Memo3->setAccessibleName(QStringLiteral("Line buffer"));
    StatusBar1->setAccessibleName(QStringLiteral("Status"));

    auto* boxFocus = new TextBoxFocus(this);
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->installEventFilter(boxFocus);

    // The boxes pass Tab on as focus change, like every other control; the
    // sliders are reached by Tab (a click on them leaves the focus where it is).
    Memo1->setTabChangesFocus(true);
    Memo2->setTabChangesFocus(true);
    for (QScrollBar* slider : {CspeedScrollbar, SpeedScrollBar, Freqscrollbar})
        slider->setFocusPolicy(Qt::TabFocus);

    // Reading order: the command row, the text area, the speed column, the
    // trainer in the order of a lesson, the chart.
    QWidget* const order[] = {LoadFile,        Button1,      CheckBox2,       CheckBox1,       Sendbutton,    Button2,
                              AbortButton,     Button4,      Edit1,           CheckBox3,       SpinEdit3,     SpinEdit2,
                              Memo1,           Memo2,        Edit2,           Edit3,           Button3,       SpinEdit1,
                              CspeedScrollbar, CSpeedEdit,   SpeedScrollBar,  SpeedEdit,       Freqscrollbar, Freqedit,
                              Kalvobutton,     StartNumEdit, KalvoSendButton, KalvoStopButton, UsingEdit,     Chart1};
    // A spin box is linked by its own box, the control its focus goes to:
    // linking the compound widget moves whole stretches of the chain.
    const auto link = [](QWidget* control) -> QWidget* {
        if (auto* spin = qobject_cast<TSpinEdit*>(control))
            return spin->lineEdit();
        return control;
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(link(order[i - 1]), link(order[i]));
}

void TForm1::FocusTextBox(bool lessonRunning)
{
    Memo1->setReadOnly(lessonRunning);
    if (lessonRunning)
        Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setFocus(Qt::OtherFocusReason);
}

void TForm1::SetClientHeight(int height)
{
    CurrentClientHeight = height;
    Client->setFixedSize(ClientWidth, height - StatusBarHeight);
    Panel2->move(0, height - StatusBarHeight - Panel2Height);
    setFixedSize(ClientWidth, menuBar()->sizeHint().height() + height);
}

void TForm1::HideQuickstart()
{
    Memo2->hide();
    CheckBox2->setChecked(false);
}

void TForm1::FoldHistogram()
{
    if (Panel2->isHidden())
        return;
    SetClientHeight(CurrentClientHeight - Panel2Height);
    Panel2->hide();
}

void TForm1::UnfoldHistogram()
{
    if (!Panel2->isHidden())
        return;
    SetClientHeight(CurrentClientHeight + Panel2Height);
    Panel2->show();
}

QString TForm1::StatusText() const
{
    return StatusText1->text();
}
// A label without an accessible name of its own announces every new text as a
// name change, so screen readers hear each status; the text box likewise
// reports every echo and the rating as inserted text.
void TForm1::SetStatusText(const QString& text)
{
    // A send that ends after an abort shows the abort's text once more; it is
    // heard once.
    if (text != StatusText1->text())
        Announce(Notice, text);
    StatusText1->setText(text);
}

void TForm1::Announce(StatusNotice* notice, const QString& text)
{
    notice->Announce(text);
    QueueSpeech(text.size());
}

void TForm1::QueueSpeech(qsizetype characters)
{
    // A screen reader starts within half a second and speaks about 15
    // characters a second at its usual rate.
    using namespace std::chrono_literals;
    SpeechEnds = std::max(SpeechEnds, std::chrono::steady_clock::now() + 500ms) + characters * 1000ms / 15;
}

void TForm1::StartQuestionTimer()
{
    using namespace std::chrono;
    const auto speaking = duration_cast<milliseconds>(SpeechEnds - steady_clock::now());
    Timer2->setInterval(WaitForSpeech ? int(std::max<milliseconds::rep>(speaking.count(), 100)) : 100);
    Timer2->start();
}

std::string TForm1::Memo1Text() const
{
    if (!Memo1CacheValid) {
        Memo1Cache = WithCrLf(Memo1->toPlainText());
        Memo1CacheValid = true;
    }
    return Memo1Cache;
}

void TForm1::SetMemo1Text(const std::string& text)
{
    const QString boxText = WithBoxBreaks(text);
    FitWrapMode(Memo1, boxText, true);
    Memo1->setPlainText(boxText);
}

void TForm1::AppendMemo1(const std::string& text)
{
    const QString boxText = WithBoxBreaks(text);
    FitWrapMode(Memo1, boxText, Memo1->document()->isEmpty());
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(boxText);
}

// ---------------------------------------------------------------------------
// Window commands

void TForm1::LoadFileClick()
{
    SetStatusText(QStringLiteral("Choose a test (ASCII) file to load"));
    UsingEdit->hide();
    HideQuickstart();
    Label10->hide();
    FoldHistogram();
    const std::optional<QString> chosen = ChooseFile();
    if (chosen) {
        SetMemo1Text(ReadTextFile(QFile::encodeName(*chosen).toStdString(), ToAnsi(*chosen)));
        Kalvobutton->setEnabled(false);
    }
    Sender.SendPos = 1;
    Sender.SentText.clear();
    SetStatusText(QStringLiteral("Press <Send Text> to start sending"));
}

void TForm1::CheckBox2Click()
{
    Memo2->setVisible(CheckBox2->isChecked());
}

void TForm1::Button4Click()
{
    if (const std::optional<QFont> font = ChooseFont(Memo1->font()))
        Memo1->setFont(*font);
}

// ---------------------------------------------------------------------------
// Speed, frequency and tone controls

void TForm1::SetSpeed()
{
    // Each value is stored as soon as its box converts, so a failing box leaves
    // the earlier ones applied and the later ones, and the timing, as they were.
    Timing.CharSpeed = StrToInt(ToAnsi(SpeedEdit->text()));
    Timing.OverallSpeed = StrToInt(ToAnsi(CSpeedEdit->text()));
    Timing.ToneFreq = StrToInt(ToAnsi(Freqedit->text()));
    Timing.UpdateTiming();
}

void TForm1::SpeedScrollBarChange()
{
    SpeedEdit->setText(QString::number(SpeedScrollBar->value()));
    SetSpeed();
}

void TForm1::CspeedScrollbarChange()
{
    CSpeedEdit->setText(QString::number(Timing.OverallSpeedFromSlider(CspeedScrollbar->value())));
    SetSpeed();
}

void TForm1::FreqscrollbarChange()
{
    Freqedit->setText(QString::number(Freqscrollbar->value()));
    SetSpeed();
}

void TForm1::EnterMovesSlider(QLineEdit* box, QScrollBar* slider, char& Key)
{
    // Only Enter acts: the slider takes the typed value (clamped; its change
    // handler runs only when the position really changes), the key is
    // swallowed, and the timing is recomputed from the boxes.
    if (Key != '\r')
        return;
    MoveSlider(slider, StrToInt(ToAnsi(box->text())));
    Key = 0;
    SetSpeed();
}

void TForm1::MoveSlider(QScrollBar* slider, int position)
{
    // The change handler runs here rather than through the slider's signal, so
    // that an error in it ends the command that moved the slider (one error
    // box) instead of being shown inside it while the command carries on.
    const int before = slider->value();
    {
        const QSignalBlocker quiet(slider);
        slider->setValue(position);
    }
    if (slider->value() == before)
        return;
    if (slider == SpeedScrollBar)
        SpeedScrollBarChange();
    else if (slider == CspeedScrollbar)
        CspeedScrollbarChange();
    else if (slider == Freqscrollbar)
        FreqscrollbarChange();
}

void TForm1::SpeedEditKeyPress(char& Key)
{
    EnterMovesSlider(SpeedEdit, SpeedScrollBar, Key);
}
void TForm1::CSpeedEditKeyPress(char& Key)
{
    EnterMovesSlider(CSpeedEdit, CspeedScrollbar, Key);
}
void TForm1::FreqeditKeyPress(char& Key)
{
    EnterMovesSlider(Freqedit, Freqscrollbar, Key);
}

void TForm1::FastMode1Click()
{
    // The mode changes even when the box holds no number.
    Timing.EnterFastMode();
    CSpeedEdit->setText(QString::number(TimingModel::DoubledSpeed(StrToInt(ToAnsi(CSpeedEdit->text())))));
    ShowSliderScale();
    SetSpeed();
}

void TForm1::SlowMode1Click()
{
    Timing.LeaveFastMode();
    CSpeedEdit->setText(QString::number(TimingModel::HalvedSpeed(StrToInt(ToAnsi(CSpeedEdit->text())))));
    ShowSliderScale();
    SetSpeed();
}

void TForm1::ShowSliderScale()
{
    Label2->setText(QString::number(3 * Timing.SliderScale()));
    Label9->setText(QString::number(30 * Timing.SliderScale()));
}

void TForm1::SpinEdit1Change()
{
    Timing.Compression = StrToFloat(ToAnsi(SpinEdit1->text()));
    SetSpeed();
}

void TForm1::Fcompression1Click()
{
    SpinEdit1->setVisible(SpinEdit1->isHidden());
    Label14->setVisible(Label14->isHidden());
}

void TForm1::SaveAudio1Click()
{
    // The settings as they are now; the window may change them while the file
    // is rendered.
    const std::optional<ExportChoice> choice = ExportDialog::Choose(this);
    if (!choice)
        return;
    kalvo::RenderJob job;
    job.Text = Memo1Text();
    job.Timing = Timing;
    job.Wavetable = Synth.Wavetable;
    job.RiseFall = Synth.RiseFall;
    AudioExport::Start(this, std::move(job), *choice);
}

void TForm1::SpinEdit3Change()
{
    Synth.RebuildTable(StrToInt(ToAnsi(SpinEdit3->text())), CheckBox3->isChecked());
}

void TForm1::SpinEdit2Change()
{
    // The time is read when the box changes; one that cannot be used fails
    // every note played with it, before its first sample, and nothing else.
    const std::string text = ToAnsi(SpinEdit2->text());
    RiseFallTime riseFall;
    try {
        riseFall.Ms = StrToFloat(text);
        // A negative time counts as 1 ms and is always playable.
        if (!(riseFall.Ms < 0.0) && !IsPlayableLength(riseFall.Ms / 1000.0))
            throw ERangeError("A rise/fall time of '" + text + "' msec is longer than one minute");
    } catch (const EKalvoError&) {
        riseFall.Refused = std::current_exception();
    }
    Synth.RiseFall = riseFall;
}

void TForm1::ToggleTone1Click()
{
    for (QWidget* control : std::initializer_list<QWidget*>{SpinEdit2, Label17, SpinEdit3, Label16, CheckBox3})
        control->setVisible(control->isHidden());
}

void TForm1::PlayNote(double Frequency, double Seconds, double Amplitude)
{
    Synth.PlayNote(Frequency, Seconds, Amplitude);
}

// ---------------------------------------------------------------------------
// Text sender

void TForm1::SendbuttonClick()
{
    // A send never starts inside another one that is still finishing.
    if (InSendLoop)
        return;
    Sender.SentText.clear();
    Sender.Sending = true;
    LoadFile->setEnabled(false);
    Sendbutton->setEnabled(false);
    AbortButton->setEnabled(true);
    // The trainer would share the sound output with the send, so it cannot be
    // started until the send has ended.
    Kalvobutton->setEnabled(false);
    SetStatusText(QString());
    SendText(Sendbutton);
    Timer1->stop();
}

void TForm1::SendText(QObject*)
{
    const RaisedFlag inLoop(InSendLoop);
    try {
        Sender.Run();
    } catch (...) {
        // A send that failed (a typed value the timing refuses, a sound device
        // that went away) still ends as a send: the buttons come back, so that
        // the next one can start once the fault is mended.
        EndSendSteps();
        throw;
    }
    EndSendSteps();
}

void TForm1::EndSendSteps()
{
    InSendLoop = false;
    ShowSentText();
}

void TForm1::AbortButtonClick()
{
    Sender.Sending = false;
    ShowSentText();
}

void TForm1::ShowSentText()
{
    CheckBox1->setChecked(true);
    CheckBox1Click();
    Sender.Sending = false;
    Timer1->stop();
    SetMemo1Text(Sender.SentText);
    Memo1->show();
    // While the sending loop is still finishing its character, its own end
    // steps enable the buttons; enabling them here would let a second send
    // start inside the first.
    if (!InSendLoop) {
        Sendbutton->setEnabled(true);
        Kalvobutton->setEnabled(true);
        LoadFile->setEnabled(true);
    }
    SetStatusText(QStringLiteral("The box shows only the text that was sent."));
}

void TForm1::Button2Click()
{
    Sender.Paused = !Sender.Paused;
    Button2->setText(Sender.Paused ? QStringLiteral("Unpause") : QStringLiteral("Pause"));
}

void TForm1::CheckBox1Click()
{
    Memo1->setVisible(CheckBox1->isChecked());
}

void TForm1::Dits1Click()
{
    SetMemo1Text("@@@@@@@@@@");
}

void TForm1::ToggleProgress1Click()
{
    Edit2->setVisible(Edit2->isHidden());
    Label12->setVisible(Label12->isHidden());
}

void TForm1::FormClose()
{
    Sender.Sending = false;
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

// ---------------------------------------------------------------------------
// Trainer

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
}

void TForm1::ShowHistogram()
{
    const HistogramFeed feed = MakeHistogramFeed(Train);
    Chart1->ShowBars(feed.Values, feed.Labels);
    Chart1->setAccessibleDescription(FromAnsi(feed.TextAlternative));
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

// ---------------------------------------------------------------------------
// Text sources and files

void TForm1::SetLineBuffer(const std::vector<std::string>& lines)
{
    QStringList text;
    for (const std::string& line : lines)
        text << FromAnsi(line);
    Memo3->setPlainText(text.join(u'\n'));
}

void TForm1::Button1Click()
{
    const std::string text = ToAnsi(Edit1->text());
    if (PracticeLibrary::IsAccessCode(text)) {
        Timing.EnterFastMode();
        SetSpeed();
        return;
    }
    HideQuickstart();
    Label10->hide();
    FoldHistogram();
    Memo1->clear();
    const PracticeLibrary::Result result = PracticeLibrary::Fetch(StrToInt(text));
    if (result.Loaded) {
        SetLineBuffer(result.FileLines);
        AppendMemo1(result.Text + "\r\n");
    }
    if (result.Advance)
        Edit1->setText(QString::number(result.Next));
}

void TForm1::RandChars1Click()
{
    Button3->show();
    Memo2->hide();
    Edit3->show();
    Label15->show();
    CheckBox2->setChecked(false);
    Memo1->clear();
    std::string instructions;
    for (const char* line : RandomCharsInstructions)
        instructions += std::string(line) + "\r\n";
    SetMemo1Text(instructions);
}

void TForm1::Button3Click()
{
    Button3->show();
    Label15->show();
    Edit3->show();
    RandomCharSet = ToAnsi(Edit3->text());
    if (RandomCharSet.empty())
        return;
    Memo1->clear();
    SetMemo1Text(GenerateRandomString(RandomCharSet, Random));
    Button3->hide();
    Label15->hide();
    Edit3->hide();
}

void TForm1::SaveEnv1Click()
{
    EnvironmentSettings settings;
    settings.PracticeNumber = ToAnsi(Edit1->text());
    settings.OverallSpeedPosition = CspeedScrollbar->value();
    settings.CharSpeedPosition = SpeedScrollBar->value();
    settings.FrequencyPosition = Freqscrollbar->value();
    settings.CharactersInUse = ToAnsi(UsingEdit->text());
    SetLineBuffer(EnvironmentLines(settings));
    SaveEnvironment(settings);
}

void TForm1::LoadEnv1Click()
{
    // Each slider moves only when its position really changes, and only then
    // does its change handler rewrite its box and recompute the timing.
    EnvironmentTarget target;
    target.LineBuffer = [this](const std::vector<std::string>& lines) { SetLineBuffer(lines); };
    target.PracticeNumber = [this](const std::string& text) { Edit1->setText(FromAnsi(text)); };
    target.OverallSpeed = [this](int position) { MoveSlider(CspeedScrollbar, position); };
    target.CharSpeed = [this](int position) { MoveSlider(SpeedScrollBar, position); };
    target.Frequency = [this](int position) { MoveSlider(Freqscrollbar, position); };
    target.CharactersInUse = [this](const std::string& text) {
        StartNumEdit->setText(FromAnsi(text));
        UsingEdit->setText(FromAnsi(text));
    };
    LoadEnvironment(target);
}

void TForm1::Notepad1Click()
{
    if (!Form2)
        return;
    Form2->show();
    Form2->raise();
    Form2->activateWindow();
    if (Form2->LoadNotes())
        Form2->move(frameGeometry().left() - 50, frameGeometry().top() + 75);
}

void TForm1::HelpFile1Click()
{
    // Without the page a browser would show an error page of its own, and with
    // no browser nothing would show at all.
    const QString page = QDir::current().absoluteFilePath(QString::fromLatin1(HelpFileName));
    if (!QFileInfo(page).isFile()) {
        ErrorBox::Show(QStringLiteral("Cannot open file %1").arg(page));
        return;
    }
    OpenAddress(QString::fromLatin1(HelpFileAddress(QDir::currentPath().toStdString())));
}

void TForm1::About1Click()
{
    if (!AboutBox)
        return;
    AboutBox->show();
    AboutBox->raise();
    AboutBox->activateWindow();
}
