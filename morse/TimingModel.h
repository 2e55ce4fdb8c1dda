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

    void SetSpeed(const std::string& speedText, const std::string& cspeedText,
                  const std::string& freqText);
};

} // namespace kalvo
