// TForm1: the speed, frequency and tone controls, read into the timing
// model and the tone synthesis.
#include "app/Pravik.h"

#include "app/AnsiText.h"
#include "common/Convert.h"
#include "common/Errors.h"

#include <initializer_list>
#include <string>

using namespace kalvo;

using ansi::ToAnsi;

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
