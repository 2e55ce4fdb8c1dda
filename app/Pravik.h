// TForm1: Kalvo's main window. It owns every piece of run-time state: the code
// table, the timing model, the tone synthesiser, the sound output, the text
// sender, the trainer with its lesson cycle and the one random generator,
// and binds them to the controls. Each handler keeps its conventional name
// (SendbuttonClick, Timer1Timer, ...) and is a thin entry point into those
// classes: it reads the boxes (StrToInt, StrToFloat, with their messages) and
// hands numbers on. The definitions are split by concern: Pravik.cpp
// (construction, start-up, closing), PravikLayout, PravikMenus, PravikAccess,
// PravikSpeed, PravikSender, PravikTrainer and PravikFiles.
//
// Every handler runs on the user-interface thread. Sending a text is one long
// handler that offers the interface its events after every sample (Pump looks
// at them at most once a millisecond), so the other handlers run nested inside
// it; each one leaves the state consistent for the sample that follows.
#pragma once

#include "app/EventPump.h"
#include "app/SpinEdit.h"
#include "app/StatusNotice.h"
#include "audio/BandSettings.h"
#include "audio/LiveBand.h"
#include "audio/SidetoneOutput.h"
#include "audio/SpeechVoice.h"
#include "audio/TOutSound1.h"
#include "audio/ToneSynth.h"
#include "audio/WaveOut.h"
#include "common/Rng.h"
#include "morse/CodeTable.h"
#include "morse/TextRender.h"
#include "morse/TextSender.h"
#include "morse/TimingModel.h"
#include "trainer/LessonRunner.h"
#include "trainer/Trainer.h"

#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ErrorHistogram;
class QActionGroup;
class TForm2;
class TLessonDetails;
class TProgressWindow;
class TSendingPractice;
class TAboutBox;
class TBandConditions;
class TCallDrills;
struct ExportChoice;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 673;
    static constexpr int LayoutClientHeight = 471;
    static constexpr int StatusBarHeight = 19;
    static constexpr int Panel2Height = 100;

    // The window uses `device` for its sound output and owns it.
    explicit TForm1(std::unique_ptr<kalvo::WaveOutDevice> device);
    ~TForm1() override;

    // The notepad and the about box, created after the main window.
    void AttachWindows(TForm2* notepad, TAboutBox* aboutBox);

    // Run-time state, in the order of its subsystems.
    std::unique_ptr<kalvo::WaveOutDevice> WaveOut;
    kalvo::TOutSound OutSound1;
    kalvo::MorseCodeTable Morse;
    kalvo::TimingModel Timing;
    kalvo::ToneSynth Synth;
    kalvo::EventPump Pump; // the synthesizer's look at the window's events
    kalvo::TextSender Sender;
    kalvo::RandomGenerator Random;
    kalvo::Trainer Train;
    kalvo::LessonRunner Lesson;
    std::string RandomCharSet;

    // Window steps shared by several commands.
    void HideQuickstart();
    void FoldHistogram();
    void UnfoldHistogram();
    int ClientHeight() const { return CurrentClientHeight; }

    // Replaceable dialogs, so that tests can answer them.
    std::function<std::optional<QString>()> ChooseFile;
    std::function<std::optional<QFont>(const QFont&)> ChooseFont;
    std::function<void(const QString&)> OpenAddress;
    // A sound stream of its own: the sidetone's, made when "Sending Practice"
    // opens, and the band's, made when a send or a lesson starts with band
    // conditions on.
    std::function<std::unique_ptr<kalvo::SidetoneOutput>()> MakeSidetone;

    // Band conditions: kept while the program runs, heard from the start of a
    // send or a lesson until its last sound has played.
    kalvo::BandSettings Band;
    kalvo::LiveBand BandSound;

    // Spoken answers: the voice (and its speed) that speaks them in a lesson
    // and in practice files.
    std::string AnswerVoice = kalvo::SpeechVoice::DefaultVoice;
    int AnswerVoiceWpm = kalvo::SpeechVoice::DefaultWpm;

    // Morse engine.
    void SetSpeed();
    void SendText(QObject* sender);
    void PlayNote(double Frequency, double Seconds, double Amplitude);

    // Trainer.
    void PlayCharacter();
    void ShowHistogram();
    void CheckAnswer();
    // The application-wide key hook: every character typed anywhere in the
    // program, as its 8-bit code.
    void AppMessage(char key);

    // Controls, named as the program's layout names them.
    QFrame* Panel1;
    QPushButton* LoadFile;
    QPushButton* Button1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox1;
    QPushButton* Sendbutton;
    QPushButton* Button2;
    QPushButton* AbortButton;
    QPushButton* Button4;
    QLabel* Label11;
    QLineEdit* Edit1;
    QCheckBox* CheckBox3;
    TSpinEdit* SpinEdit3;
    QLabel* Label17;
    QLabel* Label16;
    TSpinEdit* SpinEdit2;
    QLabel* Label2;
    QLabel* Label9;
    QScrollBar* CspeedScrollbar;
    QLabel* Label1;
    QLineEdit* CSpeedEdit;
    QLabel* Label3;
    QLabel* Label4;
    QScrollBar* SpeedScrollBar;
    QLabel* Label5;
    QLineEdit* SpeedEdit;
    QLabel* Label6;
    QLabel* Label7;
    QScrollBar* Freqscrollbar;
    QLabel* Label8;
    QLineEdit* Freqedit;
    QPlainTextEdit* Memo1;
    QPlainTextEdit* Memo2;
    QLineEdit* Edit2;
    QLabel* Label12;
    QPushButton* Button3;
    QLineEdit* Edit3;
    QLabel* Label15;
    QPlainTextEdit* Memo3;
    TSpinEdit* SpinEdit1;
    QLabel* Label14;
    QPushButton* Kalvobutton;
    QPushButton* KalvoSendButton;
    QPushButton* KalvoStopButton;
    QLineEdit* StartNumEdit;
    QLabel* StartNumLabel;
    QLineEdit* UsingEdit;
    QLabel* Label10;
    QFrame* Panel2;
    ErrorHistogram* Chart1;
    QStatusBar* StatusBar1;
    QLabel* StatusText1;
    StatusNotice* Notice; // speaks each new status text to a screen reader
    StatusNotice* AnswerNotice; // speaks each answer the box shows, and the rating
    QTimer* Timer1;
    QTimer* Timer2;

    QMenu* Advanced1;
    QAction* SaveEnv1;
    QAction* LoadEnv1;
    QAction* FastMode1;
    QAction* SlowMode1;
    QAction* ToggleProgress1;
    QAction* RandChars1;
    QAction* Dits1;
    QAction* ToggleTone1;
    QAction* ToggleUppercase1;
    QAction* Fcompression1;
    QAction* WaitForSpeech1;
    QAction* SaveAudio1;
    QAction* LessonDetails1;
    QAction* SaveProgress1;
    QAction* ShowProgress1;
    // "Learning Order": one checkable item per known order, then "Custom Set...",
    // exactly one checked; all disabled from "Start Kalvo" to "Stop Kalvo".
    QMenu* LearningOrder1;
    QActionGroup* LearningOrderGroup;
    std::vector<QAction*> OrderItems; // in the order of kalvo::KnownOrders()
    QAction* CustomSet1;
    QAction* SendingPractice1;
    QAction* BandConditions1;
    // "Speak Answers": after a time-out the voice says the character, in the
    // lesson's own sound, before the next question; with "Speak Right
    // Answers" after a right key too. Both off at start.
    QAction* SpeakAnswers1;
    QAction* SpeakRightAnswers1;
    QAction* AnswerVoice1;
    QAction* CallDrills1;
    QAction* Notepad1;
    QMenu* H1;
    QAction* HelpFile1;
    QAction* About1;

    // Text helpers for tests and handlers: the text box as 8-bit text with
    // CR LF line breaks, and back.
    std::string Memo1Text() const;
    void SetMemo1Text(const std::string& text);
    void AppendMemo1(const std::string& text);
    QString StatusText() const;
    void SetStatusText(const QString& text);
    bool SendLoopActive() const { return InSendLoop; }

public slots:
    void FormCreate();

    // Main window commands.
    void LoadFileClick();
    void CheckBox2Click();
    void Button4Click();

    // Speed and tone controls.
    void SpeedScrollBarChange();
    void CspeedScrollbarChange();
    void FreqscrollbarChange();
    void SpeedEditKeyPress(char& Key);
    void CSpeedEditKeyPress(char& Key);
    void FreqeditKeyPress(char& Key);
    void FastMode1Click();
    void SlowMode1Click();
    void SpinEdit1Change();
    void Fcompression1Click();
    void SaveAudio1Click();
    void SpinEdit3Change();
    void SpinEdit2Change();
    void ToggleTone1Click();

    // Text sender.
    void SendbuttonClick();
    void AbortButtonClick();
    void Button2Click();
    void CheckBox1Click();
    void Dits1Click();
    void ToggleProgress1Click();

    // Trainer.
    void KalvobuttonClick();
    void KalvoSendButtonClick();
    void KalvoStopButtonClick();
    void Timer1Timer();
    void Timer2Timer();
    void ToggleUppercase1Click();
    void WaitForSpeech1Click();
    // The lesson's record in a window of its own, kept up to date while shown.
    void LessonDetails1Click();
    // Appends the running or last lesson to the progress log (Kalvoprogress.txt).
    void SaveProgress1Click();
    // Reads the progress log and shows it in a window of its own.
    void ShowProgress1Click();
    // The learning order of the next lesson: a known one, or the learner's set.
    void OrderItemClick(QAction* item);
    void CustomSet1Click();
    // The learner keys in a window of its own, with a sidetone and the fist read.
    void SendingPractice1Click();
    // Noise, fading, a second station and static, set in a window of their own.
    void BandConditions1Click();
    void SetBand(const kalvo::BandSettings& settings);
    void SpeakAnswers1Click();
    void AnswerVoice1Click();
    // Callsigns and words at a speed that follows the learner, in a window of their own.
    void CallDrills1Click();
    // Chooses `order` (as stored) for the next lesson: the menu's check moves
    // to it and the last lesson's chart follows it.
    void SetLearningOrder(const std::string& order);

    // Text sources and files.
    void Button1Click();
    void RandChars1Click();
    void Button3Click();
    void SaveEnv1Click();
    void LoadEnv1Click();
    void Notepad1Click();
    void HelpFile1Click();
    void About1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void BuildMenu();
    void ConnectHandlers();
    // Names and descriptions for screen readers, the Tab order, and which
    // controls take the keyboard; nothing visible changes.
    void SetAccessibility();
    // Gives the text box the focus; while a lesson runs it takes no typing, so
    // that answer keys are only judged and never reach a button.
    void FocusTextBox(bool lessonRunning);
    bool WaitForSpeech = false;
    // When a screen reader will have spoken what it was given, at its usual
    // rate: the next question waits for it with "Wait for Speech" on.
    std::chrono::steady_clock::time_point SpeechEnds;
    void QueueSpeech(qsizetype characters);
    // Gives a screen reader a text to speak, and counts it toward the wait
    // before the next question.
    void Announce(StatusNotice* notice, const QString& text);
    // Arms Timer2 for the next question: at once, or with "Wait for Speech" on
    // once the screen reader has spoken (SpeechEnds).
    void StartQuestionTimer();
    void SetClientHeight(int height);
    void FormClose();
    void EndSendSteps();
    // What a send's end and "Abort/Show text" both do: the box shows the text
    // sent, the buttons come back (once the sending loop has returned).
    void ShowSentText();
    void EnterMovesSlider(QLineEdit* box, QScrollBar* slider, char& Key);
    // Sets a slider's position and, when it really changed, runs its change
    // handler within the calling command.
    void MoveSlider(QScrollBar* slider, int position);
    // The overall-speed slider's scale labels, for the current mode.
    void ShowSliderScale();
    void Echo(const kalvo::Trainer::AnswerOutcome& outcome);
    // Checks the menu item of the chosen order.
    void ShowLearningOrder();
    // The hidden line buffer through which the practice and settings files pass.
    void SetLineBuffer(const std::vector<std::string>& lines);
    // The band's sound starts with a send or a lesson (a stream that cannot
    // start is reported and the send or lesson goes on without it), and stops
    // once the sound written before the end has played, or within the
    // buffers' length when the device does not tell.
    void StartBand();
    void StopBandWhenPlayed();
    void BandStopTimerTimer();
    // Writes the voice saying `c` into the lesson's sound; a voice that fails
    // is reported on the status line once and the lesson goes on without it.
    void SpeakAnswer(char c);
    std::unique_ptr<kalvo::SpeechVoice> Voice; // made on the first answer spoken
    char PendingAnswer = '\0'; // to be spoken when the question has ended
    // Sends one drill item through the window's sound, at its own speed.
    void SendDrillItem(const std::string& item, int wpm);
    // A drill's items into a sound file with spoken answers, at its speed.
    void ExportDrill(const std::vector<std::string>& items, int wpm);
    // What "Save Text as Audio File" renders for a text: the window's timing,
    // tone and rise, and the band conditions and spoken answers (in the
    // answer voice) when chosen.
    kalvo::RenderJob ExportJob(std::string text, const ExportChoice& choice) const;
    QTimer* BandStopTimer;
    std::optional<kalvo::SoundMark> BandEndMark;
    std::chrono::steady_clock::time_point BandStopBy;

    // The moment of the key being handed to AppMessage, from its event's time
    // stamp when the platform's clock is the steady one; empty otherwise.
    std::optional<std::chrono::steady_clock::time_point> KeyPressedAt;
    TForm2* Form2 = nullptr;
    TAboutBox* AboutBox = nullptr;
    // Made on their first command: nothing of them is needed before.
    TLessonDetails* Details = nullptr;
    TProgressWindow* Progress = nullptr;
    TSendingPractice* Practice = nullptr;
    TBandConditions* BandWindow = nullptr;
    TCallDrills* Drills = nullptr;
    QWidget* Client;
    int CurrentClientHeight = LayoutClientHeight;
    bool InSendLoop = false;
    // The text box as the sender reads it, rebuilt only after an edit.
    mutable std::string Memo1Cache;
    mutable bool Memo1CacheValid = false;
};
