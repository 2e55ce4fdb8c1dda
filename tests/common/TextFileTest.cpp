#include "common/TextFile.h"

#include "common/Errors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using kalvo::ReadTextLines;
using kalvo::testing::ReadBytes;
using kalvo::testing::TempFolder;
using kalvo::testing::WriteBytes;
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

// Anything but a regular file is refused at once: a FIFO without a writer would
// block a plain open(), a device would be read without end.
TEST(TextFileRead, OnlyRegularFilesWithinTheLimitAreRead)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    std::filesystem::create_directory("folder");
    WriteBytes("huge", "");
    std::filesystem::resize_file("huge", kalvo::MaxTextFileBytes + 1);
    WriteBytes("full", "");
    std::filesystem::resize_file("full", kalvo::MaxTextFileBytes);
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"fifo", "Cannot open file fifo"},
        {"/dev/zero", "Cannot open file /dev/zero"},
        {"/dev/null", "Cannot open file /dev/null"},
        {"folder", "Cannot open file folder"},
        {"missing", "Cannot open file missing"},
        {"huge", "File huge is too large to open (over 16 MB)"},
        {"full", "no error"},
    };
    for (const auto& c : cases) {
        std::string message = "no error";
        try {
            kalvo::ReadTextFile(c.name);
        } catch (const kalvo::EInOutError& error) {
            message = error.what();
        }
        EXPECT_EQ(message, c.message) << c.name;
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

// Saving replaces the file's content only: its permissions stay, a link keeps
// naming it, and what is not a regular writable file is refused untouched.
TEST(TextFileWrite, KeepsPermissionsAndLinksAndRefusesOddTargets)
{
    TempFolder folder;
    const auto mode = [](const char* name) {
        struct stat info { };
        ::stat(name, &info);
        return info.st_mode & 07777;
    };
    WriteBytes("private", "old");
    ::chmod("private", 0600);
    kalvo::WriteTextLines("private", {"new"});
    EXPECT_EQ(mode("private"), 0600u);
    EXPECT_EQ(ReadBytes("private"), "new\r\n");

    const mode_t previous = ::umask(027);
    kalvo::WriteTextLines("fresh", {"x"});
    ::umask(previous);
    EXPECT_EQ(mode("fresh"), 0640u);

    std::filesystem::create_symlink("private", "link");
    kalvo::WriteTextLines("link", {"through"});
    EXPECT_TRUE(std::filesystem::is_symlink("link"));
    EXPECT_EQ(ReadBytes("private"), "through\r\n");

    ASSERT_EQ(::mkfifo("fifo", 0600), 0);
    WriteBytes("readonly", "kept");
    ::chmod("readonly", 0400);
    std::vector<std::string> refused{"fifo"};
    if (::geteuid() != 0) // root may write anything
        refused.push_back("readonly");
    for (const std::string& name : refused) {
        try {
            kalvo::WriteTextLines(name, {"x"});
            ADD_FAILURE() << name << ": no error";
        } catch (const kalvo::EInOutError& error) {
            EXPECT_EQ(error.what(), "Cannot create file " + name);
        }
    }
    EXPECT_FALSE(std::filesystem::is_regular_file("fifo"));
    EXPECT_EQ(ReadBytes("readonly"), "kept");
}
