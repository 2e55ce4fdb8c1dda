#include "texts/RandomString.h"

#include <gtest/gtest.h>

#include <algorithm>

using kalvo::DrawRandomString;
using kalvo::GenerateRandomString;
using kalvo::RandomGenerator;

namespace {

std::string Draw(const std::string& set, std::uint32_t seed)
{
    RandomGenerator rng;
    rng.Seed = seed;
    return DrawRandomString(set, rng);
}

std::string WithoutBlanks(const std::string& text)
{
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char c) { return c != ' '; });
    return out;
}

int LongestRun(const std::string& letters)
{
    int longest = 0, run = 0;
    char previous = '\0';
    for (const char c : letters) {
        run = (c == previous) ? run + 1 : 1;
        previous = c;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

TEST(RandomString, KnownOutputForASetOfTen)
{
    // Worked out by hand from the generator's sequence starting at seed 0.
    EXPECT_EQ(Draw("ABCDEFGHIJ", 0), "ADGAH HCGHD IHHEG JCHHD AECBG DHFDI IFHJH IJJDC EEACJ BHFHB GBIJG EAEIA JHA");
}

TEST(RandomString, TwoLettersGiveSixtyThreeWithShortRuns)
{
    const std::string text = Draw("AB", 12345);
    // 23 draws are dropped here, so several groups hold fewer than five.
    EXPECT_EQ(text, "BBABB AABA BAABB AA BBAA BB ABAAB AABAB AABB ABABA BB AA BBA BAAB ABABB ABA AB B");
    const std::string letters = WithoutBlanks(text);
    EXPECT_EQ(letters.size(), 63u);
    EXPECT_LE(LongestRun(letters), 2);
}

TEST(RandomString, BlankFollowsEveryFifthDraw)
{
    // With ten different characters nothing can be dropped before the third
    // equal draw in a row; count groups of the known string instead.
    const std::string text = Draw("ABCDEFGHIJ", 0);
    std::size_t groups = 0, start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') {
            EXPECT_EQ(i - start, 5u) << "group " << groups;
            start = i + 1;
            ++groups;
        }
    }
    EXPECT_EQ(groups, 12u); // 63 draws: twelve full groups, three left over
    EXPECT_EQ(text.size() - start, 3u);
}

TEST(RandomString, RunsNeverExceedTwoOverManySeeds)
{
    const std::vector<std::string> sets = {"AB", "AAB", "ABB", "EISH5", "AAAAAAAAAB", "0123456789"};
    for (const std::string& set : sets) {
        for (std::uint32_t seed = 0; seed < 3000; ++seed) {
            const std::string text = Draw(set, seed * 2654435761u);
            const std::string letters = WithoutBlanks(text);
            ASSERT_EQ(letters.size(), 63u) << set << " seed " << seed;
            ASSERT_LE(LongestRun(letters), 2) << set << " seed " << seed;
            for (std::size_t i = 0, group = 0; i < text.size(); ++i) {
                group = text[i] == ' ' ? 0 : group + 1;
                ASSERT_LE(group, 5u);
            }
        }
    }
}

TEST(RandomString, OneCharacterSetsEndWithSixtyThreeOfIt)
{
    const std::string expected = "EEEEE EEEEE EEEEE EEEEE EEEEE EEEEE EEEEE EEEEE EEEEE EEEEE EEEEE EEEEE EEE";
    EXPECT_EQ(Draw("E", 1), expected);
    EXPECT_EQ(Draw("EEE", 99), expected);
    EXPECT_TRUE(kalvo::IsSingleCharacterSet("AAA"));
    EXPECT_FALSE(kalvo::IsSingleCharacterSet("AAB"));
    EXPECT_FALSE(kalvo::IsSingleCharacterSet(""));
}

TEST(RandomString, CharactersBeyondTheDrawableReachDoNotCount)
{
    // Only positions 1 to 101 can be drawn, so the "B" here is never chosen;
    // the set still has to give a string.
    const std::string set = std::string(150, 'A') + "B";
    EXPECT_TRUE(kalvo::IsSingleCharacterSet(set));
    const std::string letters = WithoutBlanks(Draw(set, 5));
    EXPECT_EQ(letters, std::string(63, 'A'));
}

TEST(RandomString, BlankInTheSetIsAnOrdinaryCandidate)
{
    // A blank drawn first counts as a repeat of the starting blank but is
    // still accepted; a second one straight after is dropped.
    EXPECT_EQ(Draw(" A", 7), " AA   AA  AA AA  A A   A A   AA  A  A   A A  AA  A A   AA   A A  A A  A  AA   A");
}

TEST(RandomString, LowerCaseStaysLowerCase)
{
    const std::string letters = WithoutBlanks(Draw("ab", 3));
    EXPECT_EQ(letters.size(), 63u);
    EXPECT_TRUE(std::all_of(letters.begin(), letters.end(), [](char c) { return c == 'a' || c == 'b'; }));
}

TEST(RandomString, EmptySetGivesNothingAndLeavesTheGenerator)
{
    RandomGenerator rng;
    rng.Seed = 42;
    EXPECT_EQ(GenerateRandomString("", rng), "");
    EXPECT_EQ(DrawRandomString("", rng), "");
    EXPECT_EQ(rng.Seed, 42u);
}

TEST(RandomString, GenerateSeedsFromTheClock)
{
    RandomGenerator before;
    before.Randomize();
    RandomGenerator rng;
    rng.Seed = 0xFFFFFFFFu; // not a value the clock gives
    const std::string generated = GenerateRandomString("XYZ", rng);
    RandomGenerator after;
    after.Randomize();

    // Some millisecond between the two readings must reproduce the string.
    bool found = false;
    for (std::uint32_t seed = before.Seed; !found && seed != after.Seed + 1; ++seed) {
        if (seed >= 24u * 60 * 60 * 1000)
            seed = 0; // midnight passed
        found = Draw("XYZ", seed) == generated;
    }
    EXPECT_TRUE(found);
}

TEST(RandomString, InstructionLines)
{
    ASSERT_EQ(kalvo::RandomCharsInstructions.size(), 4u);
    EXPECT_STREQ(kalvo::RandomCharsInstructions[0], "Enter characters, no spaces, in the `Enter Characters' box.");
    EXPECT_STREQ(kalvo::RandomCharsInstructions[1], "Then click the button labelled `Generate'");
    EXPECT_STREQ(kalvo::RandomCharsInstructions[2], "A random string of them will appear in this box.");
    EXPECT_STREQ(kalvo::RandomCharsInstructions[3], "After they appear, click the `send text' button to send them");
}
