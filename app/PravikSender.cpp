// TForm1: the text box as the sender reads it, and sending it.
#include "app/Pravik.h"

#include "app/AnsiText.h"
#include "app/TextBoxWrap.h"

#include <QTextCursor>

#include <algorithm>
#include <optional>
#include <string>

using namespace kalvo;

using ansi::FromAnsi;
using ansi::ToAnsi;

namespace {

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

} // namespace

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

void TForm1::Button4Click()
{
    if (const std::optional<QFont> font = ChooseFont(Memo1->font()))
        Memo1->setFont(*font);
}

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
    StartBand();
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
    StopBandWhenPlayed();
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
