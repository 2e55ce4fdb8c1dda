// BandConditions: what the band does to a signal, sample by sample, for the
// live sound and for files alike: the signal fades (QSB), and the band adds
// noise, a second station (QRM) and static crashes (QRN), all three heard
// through the receiver's filter (ReceiverFilter, centred on the tone).
//
//  - Noise: white Gaussian noise whose density at the tone makes the keyed
//    tone's power (Signal::TonePower) SnrDb over the noise power in 2500 Hz,
//    the measure of the program's files; a narrow filter passes less of it.
//  - Fading: a Rayleigh envelope (two Gaussian processes, low-passed to the
//    fading rate, as a sum of paths of changing phase behaves), in decibels,
//    mapped so that the strongest 11% of the time holds 0 dB and the weakest
//    2% the full depth below: the depth is what a listener hears between peak
//    and trough. Its median crossings come at FadesPerSecond on average.
//  - The second station sends overs of calls and words with the timing of
//    the program's own Morse (its patterns come from `patterns`), each over at
//    20 to 35 wpm, 2 to 6 s apart, at QrmOffsetHz from the tone and
//    QrmLevelDb relative to the signal's power.
//  - Static: crashes at random times, QrnPerMinute on average, each 50 ms to
//    1 s of decaying noise with crackles, up to 6 dB above the signal.
//
// Each part draws on its own stream of numbers from Seed, so that one part
// switched on or off leaves the others as they were. Next-calls belong to
// one thread; Peak() tells how loud the mixture can get, so that the caller
// scales it clear of the 16-bit limits.
#pragma once

#include "audio/BandSettings.h"
#include "audio/Gaussian.h"
#include "audio/ReceiverFilter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kalvo {

class SecondStation;
class StaticCrashes;

class BandConditions {
public:
    struct Signal {
        double Rate = 8000.0;
        double ToneHz = 800.0;
        double TonePower = 0.0; // mean square of a steady tone, sample units
        double TonePeak = 0.0;

        bool operator==(const Signal&) const = default;
    };
    // A character's Morse pattern as the code table gives it ("13" for a).
    using PatternOf = std::function<std::string(char)>;

    BandConditions(const BandSettings& settings, const Signal& signal, const PatternOf& patterns);
    ~BandConditions();
    BandConditions(const BandConditions&) = delete;
    BandConditions& operator=(const BandConditions&) = delete;

    // The fading's gain for the next sample of the signal (1 without fading).
    double NextFade();
    // The next sample of what the band adds to the signal.
    double NextBand();
    double Mix(double signal) { return signal * NextFade() + NextBand(); }
    // A level the mixture rarely passes (four standard deviations of noise).
    double Peak() const;
    const ReceiverFilter& Filter() const { return Receiver; }

    // Samples between updates of the fading's envelope.
    static constexpr int FadeStep = 32;

private:
    void StepFade();
    double FadeTarget(); // the envelope's next gain

    BandSettings Settings;
    Signal Sig;
    ReceiverFilter Receiver;
    GaussianSource Noise;
    double NoiseSigma = 0.0;
    std::unique_ptr<SecondStation> Qrm;
    std::unique_ptr<StaticCrashes> Qrn;
    // Fading: two low-passed Gaussian processes, the gain and its step.
    GaussianSource FadeSource;
    double FadeState[2][2]{};
    double FadeCoeff[5]{};
    double FadeNorm = 1.0;
    double Gain = 1.0;
    double GainStep = 0.0;
    int FadeLeft = 0;
};

} // namespace kalvo
