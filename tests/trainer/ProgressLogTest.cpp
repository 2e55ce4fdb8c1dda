#include "trainer/ProgressLog.h"

#include "common/TextFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvo {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const char* const Line = "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;q:12:10:1:0.643;7:8:6:0:-";

ProgressEntry Entry()
{
    ProgressEntry e;
    e.When = "2026-12-09T06:30:00Z";
    e.LengthSeconds = 312;
    e.InUse = 5;
    e.MeanWeight = 0.36;
    e.Rating = 13;
    e.Characters = {{'q', 12, 10, 1, 0.643}, {'7', 8, 6, 0, std::nullopt}};
    return e;
}

TEST(ProgressLogTest, ALessonIsOneLineThatReadsBackWholeAndADamagedLineIsRefused)
{
    EXPECT_EQ(FormatProgressEntry(Entry()), Line);
    const auto back = ParseProgressEntry(Line);
    ASSERT_TRUE(back);
    EXPECT_EQ(FormatProgressEntry(*back), Line);
    EXPECT_EQ(back->Characters.size(), 2u);
    EXPECT_EQ(IsoUtc(std::chrono::system_clock::time_point(std::chrono::seconds(1'796'000'000))),
              "2026-11-30T00:53:20Z");

    const char* damaged[] = {
        "",
        "KalvoProgress1",
        "KalvoProgress2;2026-12-09T06:30:00Z;312;5;0.360;13",
        "KalvoProgress1;2026-12-09 06:30:00;312;5;0.360;13",
        "KalvoProgress1;2026-12-09T06:30:00Z;312;0;0.360;13", // no character in use
        "KalvoProgress1;2026-12-09T06:30:00Z;312;41;0.360;13",
        "KalvoProgress1;2026-12-09T06:30:00Z;-1;5;0.360;13",
        "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0,360;13",
        "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13x",
        "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;q:12:10:1",
        "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;qq:12:10:1:-",
        "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;q:12:10:3:-", // more answers than questions
        "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;q:12:10:1:fast",
        "KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;q:12:10:1:0.643;7:8:6:0:-;", // cut off
    };
    for (const char* line : damaged)
        EXPECT_FALSE(ParseProgressEntry(line)) << line;
    EXPECT_TRUE(ParseProgressEntry("KalvoProgress1;2026-12-09T06:30:00Z;0;1;1.000;0")); // nothing asked yet
}

TEST(ProgressLogTest, DamagedLinesAreCountedAndAFileOfAnythingElseIsNoLog)
{
    // Per character over the last two lessons: the oldest of three is left out.
    std::vector<ProgressEntry> lessons(3, Entry());
    lessons[0].Characters = {{'z', 50, 0, 50, 9.0}};
    lessons[2].Characters[0].MedianReaction = 0.5;
    const auto recent = RecentProgress(lessons, 2);
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0].Name, 'q');
    EXPECT_EQ(recent[0].Lessons, 2);
    EXPECT_EQ(recent[0].Asked, 24);
    EXPECT_EQ(recent[0].Hits, 20);
    EXPECT_NEAR(recent[0].MedianReaction.value_or(0), (0.643 + 0.5) / 2, 1e-9);
    EXPECT_FALSE(recent[1].MedianReaction);

    const ProgressLogContents mixed = ParseProgressLog({Line, "KalvoProg", "", Line, "garbage"}, "x");
    EXPECT_EQ(mixed.Entries.size(), 2u);
    EXPECT_EQ(mixed.Damaged, 2);
    EXPECT_EQ(ParseProgressLog({}, "x").Entries.size(), 0u);
    try {
        ParseProgressLog({"Notes of mine", "more"}, "Kalvoprogress.txt");
        ADD_FAILURE() << "no error";
    } catch (const EProgressLog& error) {
        EXPECT_STREQ(error.what(), "Kalvoprogress.txt is not a Kalvo progress log.");
    }
}

TEST(ProgressLogTest, TheLogSurvivesASaveARestartADamagedLineAndAFailedWrite)
{
    TempFolder folder;
    EXPECT_THROW(ReadProgressLog(), EProgressLog); // none yet: the message says how to start it

    AppendProgressLog(Entry());
    EXPECT_EQ(ReadBytes(ProgressLogFileName), std::string(Line) + "\r\n");
    EXPECT_EQ(ReadProgressLog().Entries.size(), 1u); // read afresh, as after a restart

    WriteBytes(ProgressLogFileName, ReadBytes(ProgressLogFileName) + "KalvoProgress1;2026-12\r\n");
    AppendProgressLog(Entry());
    const std::string saved = ReadBytes(ProgressLogFileName);
    EXPECT_EQ(saved, std::string(Line) + "\r\nKalvoProgress1;2026-12\r\n" + Line + "\r\n");
    const ProgressLogContents contents = ReadProgressLog();
    EXPECT_EQ(contents.Entries.size(), 2u);
    EXPECT_EQ(contents.Damaged, 1);

    {
        testing::FileSizeLimit limit(8);
        EXPECT_THROW(AppendProgressLog(Entry()), EInOutError);
    }
    EXPECT_EQ(ReadBytes(ProgressLogFileName), saved);

    WriteBytes("other.txt", "Dear diary\r\n");
    EXPECT_THROW(AppendProgressLog(Entry(), "other.txt"), EProgressLog);
    EXPECT_EQ(ReadBytes("other.txt"), "Dear diary\r\n");

    std::filesystem::resize_file("other.txt", MaxTextFileBytes + 1);
    EXPECT_THROW(ReadProgressLog("other.txt"), EInOutError); // over 16 MB
}

} // namespace
} // namespace kalvo
