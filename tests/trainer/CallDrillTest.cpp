#include "trainer/CallDrill.h"

#include "morse/CodeTable.h"

#include <gtest/gtest.h>

#include <map>
// GCC 12 warns, wrongly, of an uninitialised std::function inside <regex>
// when it optimises with the sanitizers.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#include <set>

namespace kalvo {
namespace {

// Speeds and score over runs of right (R), wrong (W) and repeated-then-right
// (r) answers: +1 wpm a right one, -1 a wrong one, within 5 and the ceiling;
// speed x length scored, half of it after a repeat.
TEST(DrillRun, SpeedFollowsTheAnswersAndTheScoreCountsRightOnes)
{
    const struct {
        const char* Answers;
        int Start, Ceiling;
        std::vector<int> Speeds; // after each answer
        double Score; // items of 3 characters
    } cases[] = {
        {"RRR", 20, 60, {21, 22, 23}, 3 * (20 + 21 + 22)},    {"WWW", 6, 60, {5, 5, 5}, 0},
        {"RWR", 59, 60, {60, 59, 60}, 3 * (59 + 59)},         {"RRR", 60, 60, {60, 60, 60}, 3 * 180},
        {"rRW", 25, 60, {26, 27, 26}, 3 * 25 / 2.0 + 3 * 26}, {"R", 3, 60, {6}, 3 * 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Answers);
        const std::string answers = c.Answers;
        DrillRun run(std::vector<std::string>(answers.size(), "dl1"), c.Start, c.Ceiling);
        for (std::size_t i = 0; i < answers.size(); ++i) {
            if (answers[i] == 'r') {
                EXPECT_TRUE(run.Repeat());
                EXPECT_FALSE(run.Repeat()); // once an item
            }
            run.Answer(answers[i] == 'W' ? " dl2 " : " DL1 ");
            EXPECT_EQ(run.Wpm(), c.Speeds[i]) << i;
        }
        EXPECT_TRUE(run.Done());
        EXPECT_DOUBLE_EQ(run.Score(), c.Score);
    }
    DrillRun run({"CQ", "PARIS"}, 20, 60);
    run.Answer("cx");
    run.Answer("par");
    EXPECT_EQ(run.Missed, (std::map<char, int>{{'Q', 1}, {'I', 1}, {'S', 1}}));
    EXPECT_EQ(run.Results[0].Typed, "CX");
    EXPECT_FALSE(run.Results[1].Right);
}

// Some three hundred words, each once, each with a code for every character.
TEST(DrillWords, AFewHundredDistinctCodableWords)
{
    MorseCodeTable table;
    table.CodeTableInitialize();
    const auto& words = DrillWords();
    EXPECT_GE(words.size(), 300u);
    EXPECT_EQ(std::set<std::string>(words.begin(), words.end()).size(), words.size());
    for (const std::string& word : words)
        for (char c : word)
            EXPECT_FALSE(table.LookupCode(std::string(1, c)).empty()) << word;
}

// Every call matches one of the patterns; the prefixes spread over the list.
TEST(MakeCall, CallsFollowTheWorldsPatterns)
{
    const std::regex patterns[] = {
        std::regex("^[A-Z]{1,2}[0-9][A-Z]{1,3}$"), // DL1ABC, K7Q
        std::regex("^(9A|S5|4X|4Z|2E)[0-9][A-Z]{1,3}$"), // prefixes with a digit of their own
        std::regex("^[A-Z0-9]{1,3}[0-9][A-Z]{1,3}/P$"), // portable
        std::regex("^(EA8|F|DL|I|OH0)/[A-Z0-9]{1,3}[0-9][A-Z]{1,3}$"), // abroad
    };
    RandomGenerator random;
    random.Seed = 7;
    std::map<std::string, int> prefixes;
    int portable = 0, abroad = 0;
    for (int i = 0; i < 10000; ++i) {
        const std::string call = MakeCall(random);
        ASSERT_TRUE(std::any_of(std::begin(patterns), std::end(patterns), [&](const std::regex& p) {
            return std::regex_match(call, p);
        })) << call;
        portable += call.ends_with("/P");
        abroad += call.find('/') != std::string::npos && !call.ends_with("/P");
        std::string home = call.ends_with("/P") ? call.substr(0, call.size() - 2) : call;
        home = home.substr(home.find('/') + 1); // npos + 1 is 0
        ++prefixes[home.substr(0, home.find_last_of("0123456789"))]; // before the call area's digit
    }
    EXPECT_NEAR(portable, 400, 80);
    EXPECT_NEAR(abroad, 300, 70);
    EXPECT_GE(prefixes.size(), 80u);
    for (const auto& [prefix, n] : prefixes)
        EXPECT_LT(n, 300) << prefix; // no prefix above 3 %
}

TEST(DrillList, OddLinesAreLeftOutAndNamed)
{
    MorseCodeTable table;
    table.CodeTableInitialize();
    const auto codable = [&](char c) { return !table.LookupCode(std::string(1, c)).empty(); };
    const DrillList list = ParseDrillList("dl1abc\r\n  ea8/g4xyz  \r\n\r\nCALL#1\n" + std::string(33, 'e') + "\rw1aw",
                                          codable);
    EXPECT_EQ(list.Items, (std::vector<std::string>{"DL1ABC", "EA8/G4XYZ", "W1AW"}));
    EXPECT_EQ(list.Message,
              "Line 5 left out: longer than 32 characters. Line 4 left out: characters Morse has no code for.");
    for (const std::string& text :
         {std::string(), std::string(" \r\n\r\n"), std::string("a\0b", 3), std::string("#")}) {
        try {
            ParseDrillList(text, codable);
            ADD_FAILURE() << "accepted";
        } catch (const EDrillList&) {
        }
    }
}

} // namespace
} // namespace kalvo
