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

HistogramFeed MakeHistogramFeed(const Trainer& trainer)
{
    // Before the first lesson there are no weights to show.
    const std::string& shown = trainer.TrainMode || trainer.LessonOrder.empty() ? trainer.LessonOrder : trainer.Order;
    HistogramFeed feed;
    for (int i = 0; i < Trainer::CharacterCount && i < static_cast<int>(shown.size()); ++i) {
        const double value = trainer.WeightOf(shown[i]);
        feed.Values[i] = value;
        const std::string character(1, UpCase(shown[i]));
        if (!trainer.TrainMode)
            feed.Labels[i] = character;
        // Weights move in steps of 0.2, so one decimal shows them exactly;
        // to_chars keeps the full stop whatever the locale.
        char weight[32];
        const auto written = std::to_chars(weight, weight + sizeof weight, value, std::chars_format::fixed, 1);
        if (!feed.TextAlternative.empty())
            feed.TextAlternative += ", ";
        feed.TextAlternative += SpokenName(character[0]) + " " + std::string(weight, written.ptr);
    }
    return feed;
}

} // namespace kalvo
