#include "texts/PracticeLibrary.h"

#include "common/Errors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using kalvo::PracticeLibrary;
using kalvo::testing::TempFolder;
using kalvo::testing::WriteBytes;

namespace {

// Writes P0..P9 where line j of file k reads "text <100k + j>".
void WriteNumberedLibrary(int fileLines = 100, int lastFileLines = 50)
{
    for (int k = 0; k <= 9; ++k) {
        std::string bytes;
        const int lines = k == 9 ? lastFileLines : fileLines;
        for (int j = 1; j <= lines; ++j)
            bytes += "text " + std::to_string(100 * k + j) + "\r\n";
        WriteBytes("P" + std::to_string(k), bytes);
    }
}

} // namespace

TEST(PracticeLibraryRules, AccessCodeIsExactlyLowerCaseWu)
{
    EXPECT_TRUE(PracticeLibrary::IsAccessCode("wu"));
    EXPECT_FALSE(PracticeLibrary::IsAccessCode("WU"));
    EXPECT_FALSE(PracticeLibrary::IsAccessCode("Wu"));
    EXPECT_FALSE(PracticeLibrary::IsAccessCode(" wu"));
    EXPECT_FALSE(PracticeLibrary::IsAccessCode("wu "));
    EXPECT_FALSE(PracticeLibrary::IsAccessCode(""));
}

TEST(PracticeLibraryRules, FileAndLineOfEachNumber)
{
    EXPECT_EQ(PracticeLibrary::FileName(1), "P0");
    EXPECT_EQ(PracticeLibrary::LineNumber(1), 1);
    EXPECT_EQ(PracticeLibrary::FileName(100), "P0");
    EXPECT_EQ(PracticeLibrary::LineNumber(100), 100);
    EXPECT_EQ(PracticeLibrary::FileName(101), "P1");
    EXPECT_EQ(PracticeLibrary::LineNumber(101), 1);
    EXPECT_EQ(PracticeLibrary::FileName(948), "P9");
    EXPECT_EQ(PracticeLibrary::LineNumber(948), 48);
    EXPECT_EQ(PracticeLibrary::FileName(950), "P9");
    EXPECT_EQ(PracticeLibrary::LineNumber(950), 50);
    for (int n = 1; n <= 950; ++n) {
        const int k = PracticeLibrary::FileIndex(n);
        ASSERT_GE(k, 0);
        ASSERT_LE(k, 9);
        ASSERT_EQ(100 * k + PracticeLibrary::LineNumber(n), n);
        ASSERT_GE(PracticeLibrary::LineNumber(n), 1);
        ASSERT_LE(PracticeLibrary::LineNumber(n), 100);
    }
}

TEST(PracticeLibraryRules, NextNumberStopsAt949)
{
    EXPECT_EQ(PracticeLibrary::NextNumber(1), 2);
    EXPECT_EQ(PracticeLibrary::NextNumber(948), 949);
    EXPECT_EQ(PracticeLibrary::NextNumber(949), 949);
    EXPECT_EQ(PracticeLibrary::NextNumber(950), 950);
    EXPECT_EQ(PracticeLibrary::NextNumber(0), 1);
    EXPECT_EQ(PracticeLibrary::NextNumber(-7), -6);
}

TEST(PracticeLibraryRules, LinePastTheEndIsEmpty)
{
    const std::vector<std::string> lines = {"one", "two"};
    EXPECT_EQ(PracticeLibrary::LineOf(lines, 1), "one");
    EXPECT_EQ(PracticeLibrary::LineOf(lines, 2), "two");
    EXPECT_EQ(PracticeLibrary::LineOf(lines, 3), "");
    EXPECT_EQ(PracticeLibrary::LineOf({}, 1), "");
}

TEST(PracticeLibraryFetch, LoadsTheNumberedLineAndAdvances)
{
    TempFolder folder;
    WriteNumberedLibrary();
    struct Case {
        int number;
        const char* text;
        bool advance;
        int next;
    };
    const Case cases[] = {
        {1, "text 1", true, 2},       {100, "text 100", true, 101}, {101, "text 101", true, 102},
        {948, "text 948", true, 949}, {949, "text 949", false, 0},  {950, "text 950", false, 0},
        {12, "text 12", true, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        const PracticeLibrary::Result r = PracticeLibrary::Fetch(c.number);
        EXPECT_TRUE(r.Loaded);
        EXPECT_EQ(r.Text, c.text);
        EXPECT_EQ(r.Advance, c.advance);
        if (c.advance) {
            EXPECT_EQ(r.Next, c.next);
        }
    }
}

TEST(PracticeLibraryFetch, GivesTheWholeFileForTheLineBuffer)
{
    TempFolder folder;
    WriteNumberedLibrary();
    const PracticeLibrary::Result r = PracticeLibrary::Fetch(250);
    ASSERT_EQ(r.FileLines.size(), 100u);
    EXPECT_EQ(r.FileLines.front(), "text 201");
    EXPECT_EQ(r.FileLines.back(), "text 300");
}

TEST(PracticeLibraryFetch, NumbersOutOfRangeLoadNothing)
{
    TempFolder folder; // no practice files at all: nothing may be read
    const PracticeLibrary::Result high = PracticeLibrary::Fetch(951);
    EXPECT_FALSE(high.Loaded);
    EXPECT_EQ(high.Text, "");
    EXPECT_FALSE(high.Advance);

    const PracticeLibrary::Result zero = PracticeLibrary::Fetch(0);
    EXPECT_FALSE(zero.Loaded);
    EXPECT_TRUE(zero.Advance);
    EXPECT_EQ(zero.Next, 1);

    const PracticeLibrary::Result negative = PracticeLibrary::Fetch(-5);
    EXPECT_FALSE(negative.Loaded);
    EXPECT_EQ(negative.Next, -4);
}

TEST(PracticeLibraryFetch, MissingFileReportsItsNameAndDoesNotAdvance)
{
    TempFolder folder;
    WriteNumberedLibrary();
    std::filesystem::remove("P3");
    try {
        PracticeLibrary::Fetch(305);
        FAIL() << "no error";
    } catch (const kalvo::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Cannot open file P3");
    }
    EXPECT_EQ(PracticeLibrary::Fetch(205).Text, "text 205");
}

TEST(PracticeLibraryFetch, ShortFileGivesAnEmptyTextAndAdvances)
{
    TempFolder folder;
    WriteBytes("P2", "only\nthree\rlines");
    const PracticeLibrary::Result third = PracticeLibrary::Fetch(203);
    EXPECT_EQ(third.Text, "lines");
    const PracticeLibrary::Result past = PracticeLibrary::Fetch(215);
    EXPECT_TRUE(past.Loaded);
    EXPECT_EQ(past.Text, "");
    EXPECT_TRUE(past.Advance);
    EXPECT_EQ(past.Next, 216);
}

TEST(PracticeLibraryFetch, ReadsTheFileAfreshOnEveryRequest)
{
    TempFolder folder;
    WriteBytes("P0", "first\r\n");
    EXPECT_EQ(PracticeLibrary::Fetch(1).Text, "first");
    WriteBytes("P0", "second\r\n");
    EXPECT_EQ(PracticeLibrary::Fetch(1).Text, "second");
}
