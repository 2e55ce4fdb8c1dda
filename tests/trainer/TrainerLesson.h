// Lesson: a trainer driven the way the main window drives it, with the
// generator seeded for repeatable draws, for the tests of the trainer's rules.
#pragma once

#include "trainer/Trainer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kalvo::testing {

constexpr std::uint32_t TestSeed = 20240611;

// Drives a trainer the way the main window does: "Start Kalvo", "Start Sending",
// question ticks that ask, typed keys, answer ticks.
struct Lesson {
    RandomGenerator Random;
    Trainer T{Random};

    void Prepare(int usingCount)
    {
        T.TrainMode = true;
        T.PrepareLesson(usingCount);
        Random.Seed = TestSeed; // repeatable instead of the clock
    }

    int Start(int count)
    {
        Prepare(count);
        const int n = T.StartCount(count);
        T.TrainRunning = true;
        return n;
    }

    // A question tick: pick, play, await the answer. Returns the character asked.
    char Ask()
    {
        T.PickCharacter();
        T.QuestionPlayed();
        return T.CurrentCharacter();
    }

    Trainer::AnswerOutcome Key(char c)
    {
        T.LastKey = c;
        return T.CheckAnswer();
    }

    Trainer::TickOutcome Tick() { return T.AnswerTick(false); }

    // Answer ticks until the question is over; counts them in *ticks.
    Trainer::TickOutcome FinishQuestion(int* ticks = nullptr)
    {
        int n = 0;
        for (;;) {
            ++n;
            const auto outcome = Tick();
            if (outcome.QuestionEnded) {
                if (ticks)
                    *ticks = n;
                return outcome;
            }
            if (n > 100) {
                ADD_FAILURE() << "the question never ended";
                return outcome;
            }
        }
    }

    // Asks one question and answers it at once; returns the end-of-question outcome.
    Trainer::TickOutcome AskAndHit()
    {
        const char asked = Ask();
        EXPECT_TRUE(Key(asked).Hit);
        return FinishQuestion();
    }
};

} // namespace kalvo::testing
