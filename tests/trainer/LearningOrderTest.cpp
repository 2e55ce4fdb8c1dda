#include "trainer/LearningOrder.h"

#include "trainer/HistogramFeed.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kalvo {
namespace {

// Each course's list as it publishes it, and what comes last as it never teaches it.
TEST(LearningOrderTest, TheKnownOrdersAreTheCoursesListsCharacterByCharacter)
{
    const char* table[][3] = {
        {"Kalvo", "Q 7 Z G 0 9 8 O 1 J P W L R A M 6 B X D Y C K N 2 3 F U 4 5 V H S I T E . , ? /", ""},
        {"Koch (LCWO)", "K M U R E S N A P T L W I . J Z F O Y , V G 5 / Q 9 2 H 3 8 B ? 4 7 C 1 D 6 0 X", ""},
        {"Koch (G4FON)", "M K R S U A P T L O W I . N J E F 0 Y V , G 5 / Q 9 Z H 3 8 B ? 4 2 7 C 1 D 6 X", ""},
        {"LICW", "R E A T I N P S G L C D H O F U W B K M Y 5 9 Q X V 7 3 ? 1 6 . Z J / 2 8 4 0", ","},
        {"CW Academy", "A E N T S I O 1 4 R H D L 2 5 C U M W 3 6 ? F Y , G P Q 7 9 / B V J K 0 8 X Z .", ""},
    };
    ASSERT_EQ(KnownOrders().size(), std::size(table));
    for (std::size_t i = 0; i < std::size(table); ++i) {
        const std::string expected = ParseCustomSet(table[i][1]) + table[i][2];
        EXPECT_EQ(KnownOrders()[i].Characters, expected) << table[i][0];
        EXPECT_EQ(OrderName(expected), table[i][0]);
        EXPECT_TRUE(IsLearningOrder(expected) && expected.size() == 40) << table[i][0];
    }
    EXPECT_EQ(OrderName("kmr"), "Custom set (KMR)");
}

TEST(LearningOrderTest, ACustomSetIsTheLearnersCharactersOrAMessageNamingTheFault)
{
    const char* table[][2] = {
        {"K M R\tS U", "kmrsu"},
        {"km=r", "The character \"=\" is not one of the trainer's 40 characters (letters, digits and . , ? /)."},
        {"kmK", "The character \"K\" is given twice."},
        {"  ", "Type the characters of the custom set, in the order you learn them."},
    };
    for (const auto& row : table) {
        std::string result;
        try {
            result = ParseCustomSet(row[0]);
        } catch (const ELearningOrder& error) {
            result = error.what();
        }
        EXPECT_EQ(result, row[1]) << row[0];
    }
}

// A set of three holds the lesson to three; after the lesson another order
// rearranges the bars, each character keeping its weight.
TEST(LearningOrderTest, ACustomSetLimitsTheLessonAndWeightsBelongToCharacters)
{
    RandomGenerator random;
    Trainer t(random);
    t.SetOrder("etm");
    t.TrainMode = true;
    t.PrepareLesson(5);
    EXPECT_EQ(t.ActiveCount, 3);
    EXPECT_THROW(t.SetOrder(Trainer::DefaultLessonOrder), ELearningOrder);
    EXPECT_EQ(t.StartCount(10), 3);
    t.Weights[2] = 0.4;
    EXPECT_FALSE(t.AnswerTick(false).Added);
    EXPECT_EQ(t.Rating(), 7); // a mean of 0.8 / 3 over 3 characters: 6.875

    t.TrainMode = false;
    EXPECT_EQ(MakeHistogramFeed(t).TextAlternative, "E 0.2, T 0.4, M 0.2");
    t.SetOrder(KnownOrders()[1].Characters); // k m u r e s n a p t ...
    const HistogramFeed feed = MakeHistogramFeed(t);
    EXPECT_EQ(feed.Labels[4] + feed.Labels[9], "ET");
    EXPECT_EQ(feed.Values[9], 0.4);
    EXPECT_EQ(feed.Values[0], 1.0); // "k" was not in the lesson
    EXPECT_EQ(t.LessonOrder, "etm"); // the lesson as it was, for its record
}

} // namespace
} // namespace kalvo
