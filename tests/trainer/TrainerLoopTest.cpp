// The trainer's question cycle: asking, judging keys, the answer time, and
// bringing in characters as the ones in use are learnt.
#include "trainer/Trainer.h"

#include "tests/trainer/TrainerLesson.h"

#include <gtest/gtest.h>

using kalvo::Trainer;
using kalvo::testing::Lesson;

// --- The question cycle -----------------------------------------------------

TEST(TrainerLoop, StartCountOneLearnsTheFirstCharacterThenAddsTheSecond)
{
    Lesson l;
    l.Start(1);
    const double expected[] = {0.8, 0.6, 0.4};
    for (int q = 0; q < 3; ++q) {
        ASSERT_EQ(l.Ask(), 'q');
        const auto answer = l.Key('q');
        EXPECT_TRUE(answer.Hit);
        EXPECT_EQ(answer.Echo, 'q');
        EXPECT_NEAR(l.T.Weights[1], expected[q], 1e-9);
        const auto end = l.Tick();
        EXPECT_TRUE(end.QuestionEnded);
        EXPECT_EQ(end.Added, q == 2) << q;
        EXPECT_FALSE(end.HideQuickstart);
        EXPECT_EQ(end.Shown, 0);
    }
    EXPECT_EQ(l.T.ActiveCount, 2);
    EXPECT_EQ(l.T.CurrentIndex, 2);
    EXPECT_EQ(l.T.RepeatCount, 2.0);
    EXPECT_LT(l.T.MeanWeight, 0.5);
    EXPECT_NEAR(l.T.MeanWeight, 0.4, 1e-9); // the mean of the smaller set
    EXPECT_EQ(l.Ask(), '7');
    EXPECT_EQ(l.Ask(), '7');
}

TEST(TrainerLoop, StartCountFiveAsksTheFifthThenAddsTheSixth)
{
    Lesson l;
    l.Start(5);
    EXPECT_EQ(l.Ask(), '0');
    const auto end = l.Tick(); // unanswered yet: the countdown runs
    EXPECT_TRUE(end.Counted);
    EXPECT_FALSE(end.QuestionEnded);
    EXPECT_TRUE(l.Key('0').Hit);
    EXPECT_EQ(l.T.Weights[5], 0.2); // at the floor already
    const auto added = l.Tick();
    EXPECT_TRUE(added.QuestionEnded);
    EXPECT_TRUE(added.Added);
    EXPECT_TRUE(added.HideQuickstart);
    EXPECT_EQ(l.T.ActiveCount, 6);
    for (int q = 0; q < 2; ++q) {
        EXPECT_EQ(l.Ask(), '9') << q;
        l.Key('x'); // a miss: 1.0 cannot rise
        EXPECT_EQ(l.T.Weights[6], 1.0);
        l.FinishQuestion();
    }
}

TEST(TrainerLoop, FortyInUseNeverAddsACharacter)
{
    Lesson l;
    l.Start(55);
    for (int q = 0; q < 300; ++q) {
        const auto end = l.AskAndHit();
        ASSERT_FALSE(end.Added);
        ASSERT_EQ(l.T.ActiveCount, 40);
    }
    EXPECT_NEAR(l.T.MeanWeight, 0.2, 1e-9);
}

TEST(TrainerLoop, CountFromTwoToThreeHidesTheQuickStartBox)
{
    Lesson l;
    l.Start(2);
    const auto end = l.AskAndHit();
    EXPECT_TRUE(end.Added);
    EXPECT_TRUE(end.HideQuickstart);
    EXPECT_EQ(l.T.ActiveCount, 3);
    EXPECT_EQ(l.T.CurrentCharacter(), 'z');
}

TEST(TrainerLoop, CapAndFloorHoldTheWeights)
{
    Lesson l;
    l.Start(2);
    l.T.Weights[1] = 1.0; // keeps the mean high: no addition
    l.T.Weights[2] = 0.8;
    l.T.CurrentIndex = 2;
    l.Ask();
    EXPECT_FALSE(l.Key('a').Hit);
    EXPECT_EQ(l.T.Weights[2], 0.8); // 0.8 + 0.2 is not below the cap
    l.FinishQuestion(); // nor by a time-out
    EXPECT_EQ(l.T.Weights[2], 0.8);

    l.T.Weights[2] = 0.6;
    l.Ask();
    l.Key('a');
    EXPECT_NEAR(l.T.Weights[2], 0.8, 1e-9);

    l.T.Weights[2] = 0.2;
    l.Ask();
    EXPECT_TRUE(l.Key('7').Hit);
    EXPECT_EQ(l.T.Weights[2], 0.2); // not above the floor
    EXPECT_FALSE(l.T.AwaitingAnswer);
}

TEST(TrainerLoop, WrongKeyThenRightKey)
{
    Lesson l;
    l.Start(2);
    l.T.Weights[1] = 1.0;
    l.T.Weights[2] = 0.4;
    l.T.CurrentIndex = 2;
    l.Ask();
    l.Tick();
    const auto miss = l.Key('z');
    EXPECT_FALSE(miss.Hit);
    EXPECT_EQ(miss.Echo, 0);
    EXPECT_TRUE(l.T.AwaitingAnswer);
    EXPECT_NEAR(l.T.Weights[2], 0.6, 1e-9);
    const auto hit = l.Key('7');
    EXPECT_TRUE(hit.Hit);
    EXPECT_EQ(hit.Echo, '7');
    EXPECT_NEAR(l.T.Weights[2], 0.4, 1e-9);
    EXPECT_FALSE(l.T.AwaitingAnswer);
}

TEST(TrainerLoop, AnswerTimeShrinksTowardTheUsersTimeAndStopsAtFive)
{
    Lesson l;
    l.Start(1);
    const double expected[] = {7.25, 6.5, 5.75, 5.0, 5.0, 5.0};
    for (double answerTicks : expected) {
        l.Ask();
        for (int i = 0; i < 3; ++i)
            ASSERT_FALSE(l.Tick().QuestionEnded);
        ASSERT_TRUE(l.Key('q').Hit);
        EXPECT_DOUBLE_EQ(l.T.AnswerTicks, answerTicks);
        ASSERT_TRUE(l.Tick().QuestionEnded);
        l.T.Weights[1] = 1.0; // keep asking "q"
    }
}

TEST(TrainerLoop, ShorterAnswerTimeTimesOutSooner)
{
    Lesson l;
    l.Start(1);
    l.T.AnswerTicks = 6.5;
    l.Ask();
    int ticks = 0;
    const auto end = l.FinishQuestion(&ticks);
    EXPECT_EQ(ticks, 7);
    EXPECT_EQ(end.Shown, 'q');
    EXPECT_DOUBLE_EQ(l.T.AnswerTicks, 7.25);
}

TEST(TrainerLoop, NoKeyTimesOutAtTheEighthTick)
{
    Lesson l;
    l.Start(2);
    l.T.Weights[1] = 1.0;
    l.T.Weights[2] = 0.4;
    l.T.CurrentIndex = 2;
    l.T.RepeatCount = 0;
    // Find a pick of position 2 so that the time-out concerns a known weight.
    while (true) {
        l.T.PickCharacter();
        if (l.T.CurrentIndex == 2)
            break;
    }
    l.T.QuestionPlayed();
    for (int i = 1; i < 8; ++i) {
        const auto tick = l.Tick();
        ASSERT_TRUE(tick.Counted);
        ASSERT_FALSE(tick.QuestionEnded) << i;
        ASSERT_EQ(tick.Shown, 0);
    }
    const auto timeout = l.Tick();
    EXPECT_TRUE(timeout.QuestionEnded);
    EXPECT_EQ(timeout.Shown, '7');
    EXPECT_FALSE(timeout.Added);
    EXPECT_FALSE(l.T.AwaitingAnswer);
    EXPECT_NEAR(l.T.Weights[2], 0.6, 1e-9);
    EXPECT_EQ(l.T.AnswerTicks, 8.0);
    EXPECT_EQ(l.T.RepeatCount, 2.0);
    EXPECT_NEAR(l.T.MeanWeight, 0.8, 1e-9);
    EXPECT_EQ(l.Ask(), '7');
    l.FinishQuestion();
    EXPECT_NEAR(l.T.Weights[2], 0.8, 1e-9);
    EXPECT_EQ(l.Ask(), '7');
    l.FinishQuestion();
    EXPECT_NEAR(l.T.Weights[2], 0.8, 1e-9); // 1.0 is not reached
}

TEST(TrainerLoop, KeyAfterTimeOutRestoresTheFullAnswerTime)
{
    Lesson l;
    l.Start(1);
    l.T.AnswerTicks = 5.0;
    l.Ask();
    l.FinishQuestion();
    EXPECT_DOUBLE_EQ(l.T.AnswerTicks, 6.5);
    EXPECT_LE(l.T.TicksLeft, 0.0);
    const auto late = l.Key('q'); // still judged: "q" is asked again
    EXPECT_TRUE(late.Hit);
    EXPECT_EQ(l.T.AnswerTicks, 8.0);
}

TEST(TrainerLoop, HitBeforeTheFirstTickLeavesTheAnswerTime)
{
    Lesson l;
    l.Start(1);
    l.Ask();
    EXPECT_TRUE(l.Key('q').Hit);
    EXPECT_EQ(l.T.AnswerTicks, 8.0);

    l.T.AnswerTicks = 6.5;
    l.Tick();
    l.Ask();
    EXPECT_TRUE(l.Key('q').Hit);
    EXPECT_DOUBLE_EQ(l.T.AnswerTicks, 6.5);
}

TEST(TrainerLoop, CaseOfTheKeyAndOfTheEcho)
{
    Lesson l;
    l.Start(1);
    l.Ask();
    auto hit = l.Key('Q');
    EXPECT_TRUE(hit.Hit);
    EXPECT_EQ(hit.Echo, 'Q'); // as typed
    l.Tick();

    l.Ask();
    const auto timeout = l.FinishQuestion();
    EXPECT_EQ(timeout.Shown, 'q'); // as stored

    l.T.ShowUppercase = true;
    l.Ask();
    hit = l.Key('q');
    EXPECT_TRUE(hit.Hit);
    EXPECT_EQ(hit.Echo, 'Q');
    l.Tick();
    l.Ask();
    EXPECT_EQ(l.FinishQuestion().Shown, 'Q');

    l.Prepare(1);
    l.T.CurrentIndex = 2; // "7": upper-casing leaves digits alone
    l.T.QuestionPlayed();
    hit = l.Key('7');
    EXPECT_TRUE(hit.Hit);
    EXPECT_EQ(hit.Echo, '7');
}

TEST(TrainerLoop, SecondHitBeforeTheTickCountsAgain)
{
    Lesson l;
    l.Start(1);
    l.Ask();
    EXPECT_TRUE(l.Key('q').Hit);
    const auto again = l.Key('q');
    EXPECT_TRUE(again.Hit);
    EXPECT_EQ(again.Echo, 'q');
    EXPECT_NEAR(l.T.Weights[1], 0.6, 1e-9);
}

TEST(TrainerLoop, PreparedStateJudgesAgainstTheFirstCharacter)
{
    Lesson l;
    l.Prepare(3);
    l.T.LastKey = '3';
    EXPECT_FALSE(l.T.CheckAnswer().Hit); // digits typed into the count box
    EXPECT_EQ(l.T.Weights[1], 1.0);
    EXPECT_TRUE(l.Key('q').Hit);
    EXPECT_NEAR(l.T.Weights[1], 0.8, 1e-9);
}

TEST(TrainerLoop, PausedTicksDoNotMoveTheCountdown)
{
    Lesson l;
    l.Start(1);
    l.Ask();
    l.Tick();
    const double left = l.T.TicksLeft;
    for (int i = 0; i < 20; ++i) {
        const auto tick = l.T.AnswerTick(true);
        ASSERT_FALSE(tick.Counted);
        ASSERT_FALSE(tick.QuestionEnded);
    }
    EXPECT_EQ(l.T.TicksLeft, left);
    EXPECT_TRUE(l.T.AwaitingAnswer);
    EXPECT_TRUE(l.Key('q').Hit); // keys are still judged while paused
    EXPECT_FALSE(l.T.AnswerTick(true).QuestionEnded);
    EXPECT_TRUE(l.Tick().QuestionEnded);
}

TEST(TrainerLoop, TickWithoutAnAwaitedAnswerEndsTheQuestion)
{
    Lesson l;
    l.Start(1);
    const auto end = l.Tick();
    EXPECT_TRUE(end.Counted);
    EXPECT_TRUE(end.QuestionEnded);
    EXPECT_EQ(end.Shown, 0);
}
