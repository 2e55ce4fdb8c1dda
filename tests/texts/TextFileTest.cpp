#include "common/TextFile.h"

#include "TempFolder.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

using kalvo::ReadTextLines;
using kalvo::test::ReadBytes;
using kalvo::test::TempFolder;
using kalvo::test::WriteBytes;
using Lines = std::vector<std::string>;

TEST(TextFileRead, EveryKindOfLineBreakEndsALine)
{
    TempFolder folder;
    WriteBytes("crlf", "one\r\ntwo\r\n");
    EXPECT_EQ(ReadTextLines("crlf"), (Lines{"one", "two"}));
    WriteBytes("cr", "one\rtwo\r");
    EXPECT_EQ(ReadTextLines("cr"), (Lines{"one", "two"}));
    WriteBytes("lf", "one\ntwo\n");
    EXPECT_EQ(ReadTextLines("lf"), (Lines{"one", "two"}));
    WriteBytes("mixed", "a\r\r\nb\n\rc");
    EXPECT_EQ(ReadTextLines("mixed"), (Lines{"a", "", "b", "", "c"}));
}

TEST(TextFileRead, LastLineWithoutBreakCounts)
{
    TempFolder folder;
    WriteBytes("f", "one\r\ntwo");
    EXPECT_EQ(ReadTextLines("f"), (Lines{"one", "two"}));
}

TEST(TextFileRead, EmptyFileHasNoLinesAndBlankLinesStay)
{
    TempFolder folder;
    WriteBytes("empty", "");
    EXPECT_TRUE(ReadTextLines("empty").empty());
    WriteBytes("blank", "\r\n");
    EXPECT_EQ(ReadTextLines("blank"), (Lines{""}));
    WriteBytes("blanks", "\n\n\n");
    EXPECT_EQ(ReadTextLines("blanks"), (Lines{"", "", ""}));
}

TEST(TextFileRead, EightBitBytesPassUnchanged)
{
    TempFolder folder;
    WriteBytes("f", std::string("caf\xE9\r\n\x01\x7F\xFF", 9));
    EXPECT_EQ(ReadTextLines("f"), (Lines{"caf\xE9", std::string("\x01\x7F\xFF", 3)}));
}

TEST(TextFileRead, MissingFileReportsItsName)
{
    TempFolder folder;
    try {
        ReadTextLines("P7");
        FAIL() << "no error";
    } catch (const kalvo::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Cannot open file P7");
    }
}

TEST(TextFileWrite, CrLfAfterEveryLine)
{
    TempFolder folder;
    kalvo::WriteTextLines("f", {"a", "", "b"});
    EXPECT_EQ(ReadBytes("f"), "a\r\n\r\nb\r\n");
    kalvo::WriteTextLines("f", {});
    EXPECT_EQ(ReadBytes("f"), "");
}

TEST(TextFileFind, NameWithoutRegardToCase)
{
    TempFolder folder;
    WriteBytes("Notepad.txt", "x");
    EXPECT_EQ(kalvo::FindFileIgnoringCase("notepad.txt").value_or("none"), "Notepad.txt");
    EXPECT_EQ(kalvo::FindFileIgnoringCase("NOTEPAD.TXT").value_or("none"), "Notepad.txt");
    EXPECT_FALSE(kalvo::FindFileIgnoringCase("notes.txt").has_value());
}
