// The speed and timing model: turns the character speed, the overall speed and
// the tone frequency (words per minute and hertz) plus the Farnsworth
// compression into DotTime, CharGapTime, WordGapTime and ToneFreq.
//
// The three values are stored one by one (CharSpeed, OverallSpeed, ToneFreq),
// so that whoever reads them from elsewhere can store each as soon as it has
// it; UpdateTiming then works the timing out from what is stored, and
// SetSpeed does both at once. An overall speed of 0 throws EZeroDivide with
// the speeds already stored and the timing unchanged.
// Plain timing when OverallSpeed >= CharSpeed; Farnsworth spacing otherwise.
// A compression that would make the dot, the character gap or the word gap
// endless or longer than MaxNoteSeconds throws ERangeError ("The speed
// settings make the word gap longer than one minute"), the timing unchanged.
//
// Fast mode doubles the overall-speed range: a slider position counts double,
// entering the mode doubles the overall speed shown, leaving it halves the
// speed (an odd one rounded up, so that it stays a whole number), and the
// slider's scale labels read twice their values. The arithmetic is that of
// 32-bit integers: a doubled speed beyond their range wraps around.
#pragma once

namespace kalvo {

class TimingModel {
public:
    double DotTime = 0.0;
    double CharSpeed = 0.0;
    double CharGapTime = 0.0;
    double WordGapTime = 0.0;
    double ToneFreq = 0.0;
    double OverallSpeed = 0.0;
    bool FastMode = false;
    double Compression = 0.0;
    double CharSpaceShare = 0.0;
    double WordSpaceShare = 0.0;
    double StandardCharShare = 0.0;

    void SetSpeed(int charSpeed, int overallSpeed, int frequency);
    void UpdateTiming();

    // The overall speed a slider position stands for.
    int OverallSpeedFromSlider(int position) const;
    // The mode alone: the overall speed in force is not touched, so after the
    // practice library's access code only the slider's next moves count double.
    void EnterFastMode() { FastMode = true; }
    void LeaveFastMode() { FastMode = false; }
    // The overall speed to show on entering and on leaving fast mode.
    static int DoubledSpeed(int overallSpeed);
    static int HalvedSpeed(int overallSpeed);
    // What the slider's scale labels are multiplied by.
    int SliderScale() const { return FastMode ? 2 : 1; }
};

} // namespace kalvo
