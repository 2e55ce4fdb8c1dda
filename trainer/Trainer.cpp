#include "trainer/Trainer.h"

#include "common/Convert.h"

#include <algorithm>
#include <cmath>

namespace kalvo {

namespace {

// The longest answer time, in ticks of the answer timer; a time-out pulls AnswerTicks back toward it.
constexpr double FullAnswerTicks = 8.0;

} // namespace

Trainer::Trainer(RandomGenerator& random) : Random(random) { }

void Trainer::PrepareLesson(int usingCount)
{
    if (usingCount < 1)
        throw EStartCount();

    LessonOrder = Order;
    MaxActiveCount = static_cast<int>(LessonOrder.size());
    // The count comes from a box the environment file may have filled with
    // anything; the lesson has only its order's characters.
    ActiveCount = std::min(usingCount, MaxActiveCount);
    AnswerTicks = FullAnswerTicks;
    TicksLeft = AnswerTicks;
    WeightStep = 0.2;
    MeanThreshold = 0.5;
    MaxThreshold = 0.6;
    RepeatCount = 2.0;
    CurrentIndex = 1;
    WeightCap = 1.0;
    WeightFloor = 0.39;
    Random.Randomize();
    for (int i = 1; i <= CharacterCount; ++i)
        Weights[i] = 1.0;
}

void Trainer::SetOrder(const std::string& order)
{
    if (TrainMode)
        throw ELearningOrder("The learning order cannot change during a lesson: press \"Stop Kalvo\" first.");
    if (!IsLearningOrder(order))
        throw ELearningOrder("'" + order + "' is not a valid learning order.");
    Order = order;
}

double Trainer::WeightOf(char c) const
{
    const std::size_t at = LessonOrder.find(c);
    if (at == std::string::npos || at >= static_cast<std::size_t>(CharacterCount))
        return 1.0;
    return Weights[at + 1];
}

int Trainer::StartCount(int n)
{
    if (n < 1)
        throw EStartCount();
    const int most = MaxActiveCount > 0 ? MaxActiveCount : CharacterCount;
    if (n > most)
        n = most;

    ActiveCount = n;
    CurrentIndex = n; // the first character asked is the last of the starting set
    // Several starting characters count as known; a lone first character keeps
    // its full weight so that it is drilled until it is learnt.
    if (n >= 2) {
        for (int i = 1; i <= n; ++i)
            Weights[i] = WeightStep;
    }
    ComputeStats();
    return n;
}

void Trainer::PickCharacter()
{
    const int a = ActiveCount;
    if (a < 1 || a > CharacterCount)
        return; // no lesson started: nothing to choose from

    if (RepeatCount > 0) {
        RepeatCount -= 1;
        return;
    }

    CurrentIndex = static_cast<int>(std::floor(Random.Random() * a)) + 1;
    double threshold = Random.Random() * a;
    // Each rejection lowers the threshold by the rejected weight, so a heavy
    // character is accepted sooner and the loop always ends.
    while (Weights[CurrentIndex] <= threshold) {
        threshold -= Weights[CurrentIndex];
        const std::int64_t draw = RoundHalfEven(Random.Random() * 1000);
        CurrentIndex = static_cast<int>(draw % a) + 1;
    }
}

void Trainer::ComputeStats()
{
    MeanWeight = 0.0;
    MaxWeight = 0.0;
    for (int i = 1; i <= ActiveCount && i <= CharacterCount; ++i) {
        MeanWeight += Weights[i];
        if (Weights[i] > MaxWeight)
            MaxWeight = Weights[i];
    }
    MeanWeight = FDiv(MeanWeight, ActiveCount);
}

char Trainer::CurrentCharacter() const
{
    if (CurrentIndex < 1 || CurrentIndex > static_cast<int>(LessonOrder.size()) || CurrentIndex > CharacterCount)
        return 0;
    return LessonOrder[CurrentIndex - 1];
}

Trainer::AnswerOutcome Trainer::CheckAnswer()
{
    AnswerOutcome outcome;
    // A key typed after a time-out tells that the user is back: give the full time again.
    if (TicksLeft <= 0)
        AnswerTicks = FullAnswerTicks;

    const char asked = CurrentCharacter();
    if (asked == 0)
        return outcome;

    double& weight = Weights[CurrentIndex];
    if (LowCase(LastKey) == asked) {
        outcome.Hit = true;
        // An answer within the first second leaves the time as it is; a slower
        // one pulls the allowed time a quarter of the way toward the time used.
        if (TicksLeft > 2 && TicksLeft < FullAnswerTicks)
            AnswerTicks = (TicksLeft + 3 * AnswerTicks) / 4;
        outcome.Echo = ShowUppercase ? UpCase(LastKey) : LastKey;
        if (weight > WeightFloor)
            weight -= WeightStep;
        AwaitingAnswer = false;
    } else if (weight + WeightStep < WeightCap) {
        weight += WeightStep;
    }
    return outcome;
}

Trainer::TickOutcome Trainer::AnswerTick(bool paused)
{
    TickOutcome outcome;
    if (paused)
        return outcome;
    outcome.Counted = true;

    if (AwaitingAnswer) {
        TicksLeft -= 1;
        if (TicksLeft > 0)
            return outcome;

        // Time out: the allowed time moves halfway back toward the full time,
        // and the missed character is asked in the next two questions.
        AnswerTicks = (AnswerTicks + FullAnswerTicks) / 2;
        RepeatCount = 2.0;
        AwaitingAnswer = false;
        const char asked = CurrentCharacter();
        outcome.Shown = ShowUppercase ? UpCase(asked) : asked;
        if (asked != 0 && Weights[CurrentIndex] + WeightStep < WeightCap)
            Weights[CurrentIndex] += WeightStep;
    }

    outcome.QuestionEnded = true;
    ComputeStats();
    if (MeanWeight < MeanThreshold && MaxWeight < MaxThreshold && ActiveCount < MaxActiveCount) {
        ++ActiveCount;
        outcome.Added = true;
        outcome.HideQuickstart = ActiveCount > 2;
        // The new character is asked in the next two questions.
        CurrentIndex = ActiveCount;
        RepeatCount = 2.0;
    }
    return outcome;
}

void Trainer::QuestionPlayed()
{
    AwaitingAnswer = true;
    TicksLeft = AnswerTicks;
}

int Trainer::Rating() const
{
    return static_cast<int>(RoundHalfEven(((0.2 - MeanWeight) * 125 + 100) * ActiveCount / 40));
}

} // namespace kalvo
