#include "texts/NotesFile.h"

#include "common/Errors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using kalvo::testing::ReadBytes;
using kalvo::testing::TempFolder;
using kalvo::testing::WriteBytes;

TEST(NotesFile, EveryLineEndsWithCrLf)
{
    TempFolder folder;
    kalvo::SaveNotes("first day\nE and T fine\n\nneed work on Q");
    EXPECT_EQ(ReadBytes("Notepad.txt"), "first day\r\nE and T fine\r\n\r\nneed work on Q\r\n");
}

TEST(NotesFile, EmptyNotesGiveAnEmptyFile)
{
    TempFolder folder;
    WriteBytes("Notepad.txt", "old notes\r\n");
    kalvo::SaveNotes("");
    EXPECT_TRUE(std::filesystem::exists("Notepad.txt"));
    EXPECT_EQ(ReadBytes("Notepad.txt"), "");
}

TEST(NotesFile, LoadingGivesTheTextBackUnchangedOnSave)
{
    TempFolder folder;
    WriteBytes("Notepad.txt", "a\r\nb\rc\n\r\n");
    const auto notes = kalvo::LoadNotes();
    ASSERT_TRUE(notes.has_value());
    EXPECT_EQ(*notes, "a\nb\nc\n\n");
    kalvo::SaveNotes(*notes);
    EXPECT_EQ(ReadBytes("Notepad.txt"), "a\r\nb\r\nc\r\n\r\n");
}

TEST(NotesFile, NoFileGivesNothing)
{
    TempFolder folder;
    EXPECT_FALSE(kalvo::LoadNotes().has_value());
}

TEST(NotesFile, NameIsMatchedWithoutRegardToCase)
{
    TempFolder folder;
    WriteBytes("notepad.TXT", "lower\r\n");
    const auto notes = kalvo::LoadNotes();
    ASSERT_TRUE(notes.has_value());
    EXPECT_EQ(*notes, "lower\n");
}

TEST(NotesFile, TheSavedNameWinsOverOtherSpellings)
{
    TempFolder folder;
    WriteBytes("notepad.txt", "stale\r\n");
    WriteBytes("Notepad.txt", "saved\r\n");
    EXPECT_EQ(kalvo::LoadNotes().value(), "saved\n");
}

TEST(NotesFile, FolderOfThatNameIsNoNotesFile)
{
    TempFolder folder;
    std::filesystem::create_directory("Notepad.txt");
    EXPECT_FALSE(kalvo::LoadNotes().has_value());
    try {
        kalvo::SaveNotes("text");
        FAIL() << "no error";
    } catch (const kalvo::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Cannot create file Notepad.txt");
    }
}
