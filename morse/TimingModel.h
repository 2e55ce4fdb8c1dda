// The speed and timing model: turns the character speed, the overall speed and
// the tone frequency (as typed in their boxes) plus the Farnsworth compression
// into DotTime, CharGapTime, WordGapTime and ToneFreq.
//
// SetSpeed reads the three texts in order (character speed, overall speed,
// frequency); each must be a decimal integer, else EConvertError and the fields
// from the failing one on, and the three timing values, keep their old values.
// An overall speed of 0 throws EZeroDivide with the speeds already stored.
// Plain timing when OverallSpeed >= CharSpeed; Farnsworth spacing otherwise.
// A compression that would make the dot, the character gap or the word gap
// endless or longer than MaxNoteSeconds throws ERangeError ("The speed
// settings make the word gap longer than one minute"), the timing unchanged.
//
// Fast mode doubles the overall-speed range: a slider position counts double,
// entering the mode doubles the speed in the box, leaving it halves the speed
// (an odd one rounded up, so the box keeps a whole number), and the slider's
// scale labels read twice their values. The arithmetic is that of the box's
// 32-bit integers: a doubled speed beyond their range wraps around.
#pragma once

#include <string>

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

    void SetSpeed(const std::string& speedText, const std::string& cspeedText, const std::string& freqText);

    // The overall speed a slider position stands for.
    int OverallSpeedFromSlider(int position) const;
    // Set or clear FastMode, then convert the overall speed as typed in its box
    // (an invalid text throws EConvertError with the mode already changed);
    // each returns the overall speed the box is to show.
    int EnterFastMode(const std::string& overallSpeedText);
    int LeaveFastMode(const std::string& overallSpeedText);
    // The practice library's access code: fast mode on with the speed kept, so
    // only the slider's next moves count double; the labels are not rescaled.
    void EnterFastModeKeepingSpeed() { FastMode = true; }
    // What the slider's scale labels are multiplied by.
    int SliderScale() const { return FastMode ? 2 : 1; }
};

} // namespace kalvo
