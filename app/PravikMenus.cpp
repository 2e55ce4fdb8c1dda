// TForm1: the menu bar and the wiring of every control to its handler.
#include "app/Pravik.h"

#include "app/ErrorBox.h"
#include "trainer/LearningOrder.h"

#include <QActionGroup>
#include <QMenuBar>

using namespace kalvo;

namespace {

// Captions and hints are UTF-8 ("Band Conditions\u2026").
QAction* MakeAction(QMenu* menu, const char* name, const char* caption, const char* hint, bool checkable = false)
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    if (hint)
        action->setToolTip(QString::fromUtf8(hint));
    action->setCheckable(checkable);
    return action;
}

} // namespace

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
    SaveAudio1 = MakeAction(Advanced1, "SaveAudio1", "Save Text as Audio File\u2026",
                            "Save the text as Morse code in a WAV, FLAC, Ogg, Opus or MP3 file");
    LessonDetails1 = MakeAction(Advanced1, "LessonDetails1", "Lesson Details",
                                "Show each character's answers, reaction times and confusions");
    SaveProgress1 = MakeAction(Advanced1, "SaveProgress1", "Save Lesson to Progress Log",
                               "Add this lesson to Kalvoprogress.txt");
    ShowProgress1 = MakeAction(Advanced1, "ShowProgress1", "Show Progress", "Show the lessons of Kalvoprogress.txt");
    SendingPractice1 = MakeAction(Advanced1, "SendingPractice1", "Sending Practice\u2026",
                                  "Key Morse yourself: hear the sidetone, see what was read and how");
    LearningOrder1 = Advanced1->addMenu(QStringLiteral("Learning &Order"));
    LearningOrder1->setObjectName(QStringLiteral("LearningOrder1"));
    LearningOrder1->setToolTip(QStringLiteral("The order in which the trainer brings in its characters"));
    LearningOrderGroup = new QActionGroup(this);
    static const char* const itemNames[] = {"OrderKalvo1", "OrderKochLcwo1", "OrderKochG4fon1", "OrderLicw1",
                                            "OrderCwAcademy1"};
    for (std::size_t i = 0; i < KnownOrders().size(); ++i) {
        const LearningOrder& order = KnownOrders()[i];
        QAction* item = MakeAction(LearningOrder1, itemNames[i], order.Name, nullptr);
        item->setToolTip(
            QStringLiteral("Bring in the characters in the order %1").arg(QString::fromLatin1(order.Name)));
        item->setCheckable(true);
        LearningOrderGroup->addAction(item);
        OrderItems.push_back(item);
    }
    LearningOrder1->addSeparator();
    CustomSet1 = MakeAction(LearningOrder1, "CustomSet1", "Custom Set\u2026",
                            "Learn only the characters you type, in your order", true);
    LearningOrderGroup->addAction(CustomSet1);
    ShowLearningOrder();
    BandConditions1 = MakeAction(Advanced1, "BandConditions1", "Band Conditions\u2026",
                                 "Noise, fading, a second station and static while Morse sounds");
    SpeakAnswers1 = MakeAction(Advanced1, "SpeakAnswers1", "Speak Answers",
                               "After a time-out a voice says the character before the next question", true);
    SpeakRightAnswers1 = MakeAction(Advanced1, "SpeakRightAnswers1", "Speak Right Answers",
                                    "The voice also says the character after a right key", true);
    SpeakRightAnswers1->setEnabled(false);
    AnswerVoice1 = MakeAction(Advanced1, "AnswerVoice1", "Answer Voice\u2026",
                              "The voice and the speed that speak the answers");
    CallDrills1 = MakeAction(Advanced1, "CallDrills1", "Call and Word Drills\u2026",
                             "Whole callsigns and words at a speed that follows you");
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
    on(BandStopTimer, &QTimer::timeout, &TForm1::BandStopTimerTimer);
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
    on(CustomSet1, &QAction::triggered, &TForm1::CustomSet1Click);
    on(SendingPractice1, &QAction::triggered, &TForm1::SendingPractice1Click);
    on(BandConditions1, &QAction::triggered, &TForm1::BandConditions1Click);
    on(SpeakAnswers1, &QAction::triggered, &TForm1::SpeakAnswers1Click);
    on(AnswerVoice1, &QAction::triggered, &TForm1::AnswerVoice1Click);
    on(CallDrills1, &QAction::triggered, &TForm1::CallDrills1Click);
    for (QAction* item : OrderItems)
        connect(item, &QAction::triggered, this, [this, item] { ErrorBox::Guard([&] { OrderItemClick(item); }); });
    on(Notepad1, &QAction::triggered, &TForm1::Notepad1Click);
    on(HelpFile1, &QAction::triggered, &TForm1::HelpFile1Click);
    on(About1, &QAction::triggered, &TForm1::About1Click);

    connect(Memo1->document(), &QTextDocument::contentsChanged, this, [this] { Memo1CacheValid = false; });

    // The Enter key in the three speed boxes.
    SpeedEdit->installEventFilter(this);
    CSpeedEdit->installEventFilter(this);
    Freqedit->installEventFilter(this);
}
