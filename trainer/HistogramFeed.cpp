#include "trainer/HistogramFeed.h"

#include "common/Convert.h"

#include <charconv>

namespace kalvo {

std::string SpokenName(char character)
{
    switch (character) {
    case '.':
        return "period";
    case ',':
        return "comma";
    case '?':
        return "question mark";
    case '/':
        return "slash";
    default:
        return std::string(1, character);
    }
}

HistogramFeed MakeHistogramFeed(const std::array<double, Trainer::CharacterCount + 1>& weights,
                                const std::string& lessonOrder, bool trainMode)
{
    HistogramFeed feed;
    for (int i = 0; i < Trainer::CharacterCount; ++i) {
        feed.Values[i] = weights[i + 1];
        if (i >= static_cast<int>(lessonOrder.size()))
            continue;
        const std::string character(1, UpCase(lessonOrder[i]));
        if (!trainMode)
            feed.Labels[i] = character;
        // Weights move in steps of 0.2, so one decimal shows them exactly;
        // to_chars keeps the full stop whatever the locale.
        char weight[32];
        const auto written = std::to_chars(weight, weight + sizeof weight, weights[i + 1], std::chars_format::fixed, 1);
        if (!feed.TextAlternative.empty())
            feed.TextAlternative += ", ";
        feed.TextAlternative += SpokenName(character[0]) + " " + std::string(weight, written.ptr);
    }
    return feed;
}

HistogramFeed MakeHistogramFeed(const Trainer& trainer)
{
    return MakeHistogramFeed(trainer.Weights, trainer.LessonOrder, trainer.TrainMode);
}

} // namespace kalvo
