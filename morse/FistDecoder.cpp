#include "morse/FistDecoder.h"

#include <cmath>

namespace kalvo {

namespace {

// How much of each new element goes into the running lengths: enough to
// follow a change of speed within a character or two, little enough that one
// uneven element does not throw the next ones.
constexpr double Follow = 0.3;

} // namespace

FistDecoder::FistDecoder(const MorseCodeTable& table, double startWpm)
    : Table(table), Dot(1.2 / startWpm), Dash(3 * 1.2 / startWpm)
{
}

void FistDecoder::Mark(double seconds)
{
    if (seconds <= 0)
        return;
    FElements.push_back({seconds, seconds * seconds > Dot * Dash, Dot});
    // Nearer the dash than the dot on a log scale: above their geometric mean.
    if (seconds * seconds > Dot * Dash) {
        Pattern += '3';
        Dash += Follow * (seconds - Dash);
    } else {
        Pattern += '1';
        Dot += Follow * (seconds - Dot);
    }
    // A hand that keeps one kind for long (a run of dots) keeps the other in step.
    if (Dash < 2 * Dot)
        Dash = 2 * Dot;
}

std::string FistDecoder::Gap(double seconds)
{
    const auto kind = seconds < 2 * Dot ? KeyedElement::GapKind::Element
        : seconds > 5 * Dot             ? KeyedElement::GapKind::Word
                                        : KeyedElement::GapKind::Character;
    if (!FElements.empty() && FElements.back().Ends == KeyedElement::GapKind::None) {
        FElements.back().Gap = seconds;
        FElements.back().Ends = kind;
    }
    if (kind == KeyedElement::GapKind::Element) {
        Dot += Follow * (seconds - Dot);
        return {};
    }
    return Silence(seconds);
}

std::string FistDecoder::Silence(double seconds)
{
    std::string text;
    if (seconds >= 2 * Dot)
        text = Character();
    if (seconds > 5 * Dot && SpaceDue) {
        text += ' ';
        SpaceDue = false;
    }
    return text;
}

std::string FistDecoder::Flush()
{
    return Character();
}

std::string FistDecoder::Character()
{
    if (Pattern.empty())
        return {};
    std::string text = "*";
    for (std::size_t i = 0; i < Table.CodeTable.size(); ++i) {
        if (Table.CodeTable[i] == Pattern) {
            text = std::string(1, static_cast<char>(Table.CodeBase + static_cast<int>(i)));
            break;
        }
    }
    Pattern.clear();
    SpaceDue = true;
    return text;
}

} // namespace kalvo
