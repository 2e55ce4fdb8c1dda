// The adaptive single-character trainer's state and rules, free of any window.
//
// The characters are introduced in LessonOrder, which "Start Kalvo" takes from
// the chosen learning order (Order: the program's own unless the learner chose
// another, which may hold fewer than 40 characters; MaxActiveCount is its
// length). Weights[1..40] hold the error weights by position of LessonOrder.
// PickCharacter chooses CurrentIndex among positions 1..ActiveCount, favouring
// high weights; CheckAnswer judges LastKey; AnswerTick counts the answer time
// down, handles the time-out, recomputes the statistics and brings in the
// next character when MeanWeight < 0.5 and MaxWeight < 0.6. The window calls
// these from its handlers and acts on the returned outcomes (echo text, chart
// redraw, hiding the quick-start box, counts shown).
// Invariant while asking: 1 <= CurrentIndex <= ActiveCount <= MaxActiveCount <= 40.
// The order changes only while no lesson is prepared or running (SetOrder
// throws ELearningOrder otherwise); the last lesson's weights stay by position
// of its own LessonOrder, and WeightOf finds a character's weight in it.
// A start count below 1 is refused with EStartCount before anything changes.
// LessonRunner sets and clears the flags TrainMode and TrainRunning for the
// window's buttons, and calls the methods below only when they allow it.
#pragma once

#include "common/Errors.h"
#include "common/Rng.h"
#include "trainer/LearningOrder.h"

#include <array>
#include <string>

namespace kalvo {

// A start count below 1: the lesson needs at least one character to ask.
class EStartCount : public EKalvoError {
public:
    EStartCount() : EKalvoError(Message) { }
    static constexpr const char* Message = "The number of characters to start with must be at least 1.";
};

class Trainer {
public:
    static constexpr const char* DefaultLessonOrder = "q7zg098o1jpwlram6bxdyckn23fu45vhsite.,?/";
    static constexpr int CharacterCount = 40;

    explicit Trainer(RandomGenerator& random);

    bool TrainMode = false;
    bool TrainRunning = false;
    bool AwaitingAnswer = false;
    std::array<double, CharacterCount + 1> Weights{}; // 1-based; [0] unused
    double TicksLeft = 0.0;
    double AnswerTicks = 0.0;
    double WeightCap = 0.0;
    double WeightFloor = 0.0;
    double MaxThreshold = 0.0;
    double MeanThreshold = 0.0;
    int ActiveCount = 0;
    int MaxActiveCount = 0;
    double WeightStep = 0.0;
    std::string LessonOrder;
    int CurrentIndex = 0;
    double MeanWeight = 0.0;
    double MaxWeight = 0.0;
    double RepeatCount = 0.0;
    char LastKey = 0;
    bool ShowUppercase = false;
    std::string Order = DefaultLessonOrder; // the chosen learning order, as stored

    // Chooses the learning order of the next lesson; `order` must satisfy
    // IsLearningOrder. Refused during a lesson.
    void SetOrder(const std::string& order);
    // The weight of `c` in the last lesson; 1.0 (not yet learnt) for a
    // character it did not hold.
    double WeightOf(char c) const;

    // "Start Kalvo", the lesson parameters: LessonOrder from Order, ActiveCount
    // from the count in use, answer time, thresholds, RepeatCount 2,
    // CurrentIndex 1, seeding the generator from the clock, all 40 weights 1.0.
    // A count below 1 throws EStartCount and changes nothing; a count above the
    // order's length becomes that length, so ActiveCount never leaves the order.
    void PrepareLesson(int usingCount);
    // "Start Sending", the count: N capped at MaxActiveCount (returns the capped N);
    // ActiveCount = CurrentIndex = N; weights 1..N = WeightStep when N >= 2;
    // ComputeStats. A count below 1 throws EStartCount and changes nothing.
    int StartCount(int n);

    void PickCharacter();
    void ComputeStats();

    // The character at CurrentIndex as stored (lower case for letters);
    // 0 when CurrentIndex lies outside LessonOrder (before the first lesson).
    char CurrentCharacter() const;

    struct AnswerOutcome {
        bool Hit = false;
        char Echo = 0; // the character to append to the text box on a hit
    };
    AnswerOutcome CheckAnswer();

    struct TickOutcome {
        bool Counted = false; // the tick was not ignored for a pause
        bool QuestionEnded = false; // stats computed; the chart is to be redrawn
        char Shown = 0; // time-out: the character to append to the box
        bool Added = false; // a character was added: the count in use is new, the typed text cleared
        bool HideQuickstart = false; // the count passed 2
    };
    // One tick of the answer time. Paused ticks change nothing.
    TickOutcome AnswerTick(bool paused);

    // After the playback of a question: AwaitingAnswer set, TicksLeft = AnswerTicks.
    void QuestionPlayed();

    // The mastery rating, round-half-even(((0.2 - MeanWeight) * 125 + 100) * ActiveCount / 40).
    int Rating() const;

private:
    RandomGenerator& Random;
};

} // namespace kalvo
