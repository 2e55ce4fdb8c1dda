// TForm1: what a screen reader is given (names, descriptions, Tab order,
// the status line spoken and the time it takes), and the text saved as a
// sound file.
#include "app/Pravik.h"

#include "app/ErrorHistogram.h"
#include "app/ExportDialog.h"
#include "app/StatusNotice.h"
#include "app/TextBoxFocus.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <optional>

using namespace kalvo;

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

void TForm1::SaveAudio1Click()
{
    // The settings as they are now; the window may change them while the file
    // is rendered.
    const std::optional<ExportChoice> choice = ExportDialog::Choose(this, Band.AnyOn());
    if (!choice)
        return;
    AudioExport::Start(this, ExportJob(Memo1Text(), *choice), *choice);
}

kalvo::RenderJob TForm1::ExportJob(std::string text, const ExportChoice& choice) const
{
    kalvo::RenderJob job;
    job.Text = std::move(text);
    job.Timing = Timing;
    job.Wavetable = Synth.Wavetable;
    job.RiseFall = Synth.RiseFall;
    if (choice.Band && Band.AnyOn())
        job.File.Band = Band;
    if (choice.Answers) {
        job.Answers = choice.Answers;
        job.Answers->Voice = AnswerVoice;
        job.Answers->VoiceWpm = AnswerVoiceWpm;
    }
    return job;
}
