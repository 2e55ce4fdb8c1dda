// The 40 bars of the error histogram, taken from the trainer's state.
//
// Bar i (0-based) stands for position i+1 of the order shown and is as high as
// its character's weight. During a lesson the order shown is the lesson's own
// and the bars carry no labels. Otherwise it is the chosen learning order, so
// that a change of order rearranges the last lesson's bars, each character
// keeping its weight (WeightOf), and each label is its character, upper-cased
// (letters become capitals, digits and signs stay). Positions the order does
// not reach (a custom set, or before the first lesson) get an empty bar of
// height 0. Every character of the order gets its bar, also those not yet in use.
// TextAlternative says the same for a reader that cannot see the chart: each
// character of LessonOrder, upper-cased, with its weight to one decimal, in bar
// order ("Q 0.2, 7 1.0, ..., period 1.0, comma 1.0"), whether or not the bars
// carry labels; empty before the first lesson. Signs are named in words, since
// a screen reader does not speak them.
#pragma once

#include "trainer/Trainer.h"

#include <array>
#include <string>

namespace kalvo {

struct HistogramFeed {
    std::array<double, Trainer::CharacterCount> Values{};
    std::array<std::string, Trainer::CharacterCount> Labels{};
    std::string TextAlternative;
};

HistogramFeed MakeHistogramFeed(const Trainer& trainer);

// A character as a screen reader should say it: signs in words ("period",
// "comma", "question mark", "slash"), anything else as it is. A screen reader
// passes signs over.
std::string SpokenName(char character);

} // namespace kalvo
