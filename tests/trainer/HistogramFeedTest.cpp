#include "trainer/HistogramFeed.h"

#include <gtest/gtest.h>

using kalvo::MakeHistogramFeed;
using kalvo::RandomGenerator;
using kalvo::Trainer;

TEST(HistogramFeed, TrainModeBarsCarryNoLabels)
{
    RandomGenerator random;
    Trainer t(random);
    t.TrainMode = true;
    t.PrepareLesson(1);
    t.StartCount(5);
    const auto feed = MakeHistogramFeed(t);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(feed.Values[i], i < 5 ? 0.2 : 1.0) << i;
        EXPECT_TRUE(feed.Labels[i].empty()) << i;
    }
    // The text alternative names the characters even while the bars do not.
    EXPECT_EQ(feed.TextAlternative.rfind("Q 0.2, 7 0.2, Z 0.2, G 0.2, 0 0.2, 9 1.0, 8 1.0, ", 0), 0u);
    const std::string end = "E 1.0, period 1.0, comma 1.0, question mark 1.0, slash 1.0";
    ASSERT_GT(feed.TextAlternative.size(), end.size());
    EXPECT_EQ(feed.TextAlternative.substr(feed.TextAlternative.size() - end.size()), end);
}

TEST(HistogramFeed, AfterStopEveryBarIsLabelledWithItsCapital)
{
    RandomGenerator random;
    Trainer t(random);
    t.PrepareLesson(1);
    t.Weights[40] = 0.4;
    t.TrainMode = false;
    const auto feed = MakeHistogramFeed(t);
    const char* expected[] = {"Q", "7", "Z", "G", "0", "9", "8", "O", "1", "J"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(feed.Labels[i], expected[i]) << i;
    EXPECT_EQ(feed.Labels[36], ".");
    EXPECT_EQ(feed.Labels[37], ",");
    EXPECT_EQ(feed.Labels[38], "?");
    EXPECT_EQ(feed.Labels[39], "/");
    EXPECT_EQ(feed.Values[0], 1.0);
    EXPECT_EQ(feed.Values[39], 0.4); // bar 40 is position 40, not 39
    std::string all;
    for (const auto& label : feed.Labels) {
        EXPECT_EQ(label.size(), 1u);
        all += label;
    }
    EXPECT_EQ(all, "Q7ZG098O1JPWLRAM6BXDYCKN23FU45VHSITE.,?/");
}

TEST(HistogramFeed, BeforeAnyLessonBarsAreEmpty)
{
    RandomGenerator random;
    Trainer t(random);
    const auto feed = MakeHistogramFeed(t);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(feed.Values[i], 0.0);
        EXPECT_TRUE(feed.Labels[i].empty());
    }
    EXPECT_EQ(feed.TextAlternative, "");
}
