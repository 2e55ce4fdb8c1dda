#include "morse/TimingModel.h"

#include "common/Convert.h"
#include "common/Errors.h"

#include <cstdint>
#include <string>

#include <cstdint>

namespace kalvo {

namespace {

int Wrapped(std::int64_t value)
{
    return static_cast<int>(static_cast<std::uint32_t>(value));
}

} // namespace

int TimingModel::OverallSpeedFromSlider(int position) const
{
    return FastMode ? Wrapped(2 * std::int64_t(position)) : position;
}

int TimingModel::DoubledSpeed(int overallSpeed)
{
    return Wrapped(2 * std::int64_t(overallSpeed));
}

int TimingModel::HalvedSpeed(int overallSpeed)
{
    // Division truncates toward zero, which already rounds a negative half up.
    return overallSpeed >= 0 ? Wrapped(std::int64_t(overallSpeed) + 1) / 2 : overallSpeed / 2;
}

void TimingModel::SetSpeed(int charSpeed, int overallSpeed, int frequency)
{
    CharSpeed = charSpeed;
    OverallSpeed = overallSpeed;
    ToneFreq = frequency;
    UpdateTiming();
}

void TimingModel::UpdateTiming()
{
    // The timing is worked out in locals and stored only at the end: a division
    // that fails leaves the previous timing in force.
    double dot = FDiv(1.2, OverallSpeed);
    double charGap = 2.0 * dot;
    double wordGap = 4.0 * dot;

    if (OverallSpeed < CharSpeed) {
        // Farnsworth: elements keep the character speed; the delay G that makes a
        // standard word (31 dots of elements and element gaps) last 60 / OverallSpeed
        // seconds is shared out in nineteenths between four character spaces and
        // one word space.
        const double g = FDiv(50.0 * CharSpeed, OverallSpeed) - 31.0;
        double charShare = 3.0;
        double wordShare = 7.0;
        double standardShare = StandardCharShare;
        if (Compression >= 1.0) {
            standardShare = FDiv(57.0, g);
            charShare = 3.0 - (3.0 - standardShare) * Compression / 10.0;
            wordShare = 19.0 - 4.0 * charShare;
        }
        dot = FDiv(1.2, CharSpeed);
        // The sender already plays one dot after the last element and a character
        // gap after a space too; those are taken off here.
        charGap = (g * charShare / 19.0 - 1.0) * dot;
        wordGap = g * (wordShare / 19.0) * dot - 2.0 * charGap - dot;

        // A gap cannot be cut short once it has begun, so a compression that
        // would make one endless (or hours long) is refused before it is used.
        const struct {
            double seconds;
            const char* name;
        } lengths[] = {{dot, "dot"}, {charGap, "character gap"}, {wordGap, "word gap"}};
        for (const auto& length : lengths) {
            if (!IsPlayableLength(length.seconds))
                throw ERangeError(std::string("The speed settings make the ") + length.name
                                  + " longer than one minute");
        }

        CharSpaceShare = charShare;
        WordSpaceShare = wordShare;
        StandardCharShare = standardShare;
    }

    DotTime = dot;
    CharGapTime = charGap;
    WordGapTime = wordGap;
}

} // namespace kalvo
