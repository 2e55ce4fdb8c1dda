// BandSettings: the band conditions a learner chooses (noise, the receiver's
// filter, fading, a second station, static and a seed), their ranges, and
// the one-line text that keeps them in the settings file.
//
//  - Invalid() names the first value out of range, with the range, in a
//    message fit for the user; nothing when every value is in range.
//  - ToLine() writes every value, on or off, as words "key=value";
//    FromLine() reads such a line back. It accepts the words in any order,
//    takes a missing word as its default, and throws EBandSettings for an
//    unknown word, a value that is not a number or one out of range.
//  - The defaults are all conditions off: a program that never changes them
//    sounds exactly as it did without them.
#pragma once

#include "common/Errors.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kalvo {

class EBandSettings : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

struct BandSettings {
    enum class Fading { Off, Slow, Fast };

    bool Noise = false;
    // The keyed tone's power over the noise power in 2500 Hz.
    double SnrDb = 10.0;
    int FilterHz = 2700;
    Fading Qsb = Fading::Off;
    double QsbDepthDb = 15.0;
    bool Qrm = false;
    double QrmOffsetHz = 150.0; // from the tone, either sign
    double QrmLevelDb = -6.0; // relative to the signal
    bool Qrn = false;
    double QrnPerMinute = 10.0; // static crashes
    std::uint32_t Seed = 1;

    static constexpr double MinSnrDb = -10.0, MaxSnrDb = 30.0;
    static constexpr std::array<int, 4> Filters{250, 500, 1000, 2700};
    static constexpr double MinDepthDb = 3.0, MaxDepthDb = 30.0;
    static constexpr double MinOffsetHz = 50.0, MaxOffsetHz = 300.0;
    static constexpr double MinLevelDb = -30.0, MaxLevelDb = 10.0;
    static constexpr double MinCrashes = 1.0, MaxCrashes = 60.0;
    static constexpr std::uint32_t MaxSeed = 2147483647;
    // Fades a second: slow fading lies in 0.1-0.2, fast in 0.3-0.6.
    static constexpr double SlowFadesPerSecond = 0.15, FastFadesPerSecond = 0.45;

    bool AnyOn() const { return Noise || Qsb != Fading::Off || Qrm || Qrn; }
    double FadesPerSecond() const;
    std::optional<std::string> Invalid() const;
    std::string ToLine() const;
    static BandSettings FromLine(const std::string& line);

    bool operator==(const BandSettings&) const = default;
};

const char* FadingName(BandSettings::Fading fading); // "off", "slow", "fast"
std::optional<BandSettings::Fading> FadingFromName(const std::string& name);

} // namespace kalvo
