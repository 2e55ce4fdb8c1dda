#include "trainer/HistogramFeed.h"

#include "common/Convert.h"

namespace kalvo {

HistogramFeed MakeHistogramFeed(const std::array<double, Trainer::CharacterCount + 1>& weights,
                                const std::string& lessonOrder, bool trainMode)
{
    HistogramFeed feed;
    for (int i = 0; i < Trainer::CharacterCount; ++i) {
        feed.Values[i] = weights[i + 1];
        if (!trainMode && i < static_cast<int>(lessonOrder.size()))
            feed.Labels[i] = std::string(1, UpCase(lessonOrder[i]));
    }
    return feed;
}

HistogramFeed MakeHistogramFeed(const Trainer& trainer)
{
    return MakeHistogramFeed(trainer.Weights, trainer.LessonOrder, trainer.TrainMode);
}

} // namespace kalvo
