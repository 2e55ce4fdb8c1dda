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

TEST(ProgressLogTest, ALessonIsOneLineThatReadsBackWhole)
{
    EXPECT_EQ(FormatProgressEntry(Entry()), Line);
    const auto back = ParseProgressEntry(Line);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, Entry());
    EXPECT_EQ(back->Order, Trainer::DefaultLessonOrder);
    ProgressEntry custom = Entry();
    custom.Order = "q7zgk";
    EXPECT_EQ(FormatProgressEntry(custom), std::string(Line) + ";order=q7zgk");
    EXPECT_EQ(IsoUtc(std::chrono::system_clock::time_point(std::chrono::seconds(1'796'000'000))),
              "2026-11-30T00:53:20Z");
}

// Every field out of its range, and just inside it: a line outside is damaged,
// and every line read is written back as a line that reads the same.
TEST(ProgressLogTest, EveryNumberIsHeldToItsRangeAndEveryLineReadIsWrittenBackTheSame)
{
    const std::string head = "KalvoProgress1;2026-12-09T06:30:00Z;";
    const std::string lesson = head + "312;5;0.360;13";
    const std::string forty = "q7zg098o1jpwlram6bxdyckn23fu45vhsite.,?/";
    std::string fortyCharacters = lesson, fortyOneCharacters;
    for (char c : forty)
        fortyCharacters += std::string(";") + c + ":1:1:0:-";
    fortyOneCharacters = fortyCharacters + ";A:1:1:0:-";
    const struct {
        std::string line;
        bool read;
    } table[] = {
        {"", false},
        {"KalvoProgress1", false},
        {"KalvoProgress2;2026-12-09T06:30:00Z;312;5;0.360;13", false},
        {lesson + ";", false}, // cut off
        {lesson + "x", false},
        // the date and time
        {"KalvoProgress1;2026-12-09 06:30:00;312;5;0.360;13", false},
        {"KalvoProgress1;2026-13-09T06:30:00Z;312;5;0.360;13", false},
        {"KalvoProgress1;2026-02-29T06:30:00Z;312;5;0.360;13", false},
        {"KalvoProgress1;2028-02-29T23:59:59Z;312;5;0.360;13", true},
        {"KalvoProgress1;2026-12-00T06:30:00Z;312;5;0.360;13", false},
        {"KalvoProgress1;2026-12-09T24:00:00Z;312;5;0.360;13", false},
        {"KalvoProgress1;2026-12-09T06:60:00Z;312;5;0.360;13", false},
        {"KalvoProgress1;2026-12-09T06:30:60Z;312;5;0.360;13", false},
        {"KalvoProgress1;1969-12-31T23:59:59Z;312;5;0.360;13", false},
        {"KalvoProgress1;1970-01-01T00:00:00Z;312;5;0.360;13", true},
        // the lesson's length, characters in use, mean weight, rating
        {head + "-1;5;0.360;13", false},
        {head + "0;1;0.000;0", true}, // nothing asked yet
        {head + "86400;40;1.000;125", true},
        {head + "86401;5;0.360;13", false},
        {head + "99999999999999999999;5;0.360;13", false},
        {head + "312;0;0.360;13", false},
        {head + "312;41;0.360;13", false},
        {head + "312;5;0,360;13", false},
        {head + "312;5;-0.001;13", false},
        {head + "312;5;1.001;13", false},
        {head + "312;5;nan;13", false},
        {head + "312;5;0.3625;13", true}, // kept to three decimals
        {head + "312;5;0.360;-1", false},
        {head + "312;5;0.360;126", false},
        // per character
        {lesson + ";q:12:10:1", false},
        {lesson + ";qq:12:10:1:-", false},
        {lesson + ";;:1:1:0:-", false},
        {lesson + "; :1:1:0:-", false},
        {lesson + ";\x7f:1:1:0:-", false},
        {lesson + ";\xe4:1:1:0:-", true},
        {lesson + ";q:1:1:0:-;q:1:1:0:-", false}, // twice
        {fortyCharacters, true},
        {fortyOneCharacters, false},
        {lesson + ";q:12:10:3:-", false}, // more answers than questions
        {lesson + ";q:12:-1:0:-", false},
        {lesson + ";q:12:0:-1:-", false},
        {lesson + ";q:86401:86401:0:-", true},
        {lesson + ";q:86402:0:0:-", false},
        {lesson + ";q:02000321011:0:1:-", false},
        {lesson + ";q:12:10:1:fast", false},
        {lesson + ";q:12:10:1:-27.400", true},
        {lesson + ";q:12:10:1:-27.401", false},
        {lesson + ";q:12:10:1:313.000", true}, // paused past the answer time, within the lesson
        {lesson + ";q:12:10:1:313.001", false},
        {lesson + ";q:12:10:1:inf", false},
        {lesson + ";q:12:10:1:0.6435", true},
        {lesson + ";q:321011:0:1:5555555555555555555555555555555555555555555555555555555555502", false},
        // the learning order: none is the program's own; no fewer characters than are in use
        {fortyCharacters + ";order=kmuresnaptlwi.jzfoy,vg5/q92h38b?47c1d60x", true},
        {head + "312;3;0.360;13;k:1:1:0:-;order=kmr", true},
        {lesson + ";order=kmr", false},
        {lesson + ";order=kmrsuk", false},
        {lesson + ";order=KMRS=", false},
        {lesson + ";order=", false},
    };
    for (const auto& row : table) {
        const auto entry = ParseProgressEntry(row.line);
        EXPECT_EQ(entry.has_value(), row.read) << row.line;
        if (entry) {
            const std::string written = FormatProgressEntry(*entry);
            EXPECT_EQ(ParseProgressEntry(written), entry) << row.line << " written as " << written;
        }
    }
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
    // Full lessons add up beyond 32 bits.
    std::vector<ProgressEntry> full(25'000, Entry());
    for (ProgressEntry& e : full)
        e.Characters = {{'q', MaxLessonQuestions, MaxLessonQuestions, 0, std::nullopt}};
    EXPECT_EQ(RecentProgress(full, full.size())[0].Asked, 25'000LL * MaxLessonQuestions);

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

TEST(ProgressLogTest, ASendingSessionIsALineOfItsOwnAmongTheLessons)
{
    const std::string head = "KalvoSending1;2026-12-09T06:30:00Z;", sending = head + "95;18.6;96;26";
    const SendingEntry entry{"2026-12-09T06:30:00Z", 95, 18.6, 96, 26};
    EXPECT_EQ(FormatSendingEntry(entry), sending);
    EXPECT_EQ(ParseSendingEntry(sending), entry);
    const auto wallClock = std::chrono::system_clock::time_point(std::chrono::seconds(1'796'000'000));
    EXPECT_EQ(MakeSendingEntry(18.64, std::nullopt, 26, 94.6, wallClock),
              (SendingEntry{"2026-11-30T00:53:20Z", 95, 18.6, -1, 26}));
    const struct {
        std::string line;
        bool read;
    } table[] = {
        {head + "0;0.0;-;0", true},
        {head + "86400;100.0;100;86400", true},
        {head + "86401;18.6;96;26", false},
        {head + "95;100.1;96;26", false},
        {head + "95;-0.1;96;26", false},
        {head + "95;18.64;96;26", true}, // kept to one decimal
        {head + "95;18.6;101;26", false},
        {head + "95;18.6;-1;26", false},
        {head + "95;18.6;96;86401", false},
        {head + "95;18.6;96", false},
        {sending + ";", false},
        {"KalvoSending1;2026-02-29T06:30:00Z;95;18.6;96;26", false},
        {"KalvoSending2;2026-12-09T06:30:00Z;95;18.6;96;26", false},
    };
    for (const auto& row : table) {
        const auto read = ParseSendingEntry(row.line);
        EXPECT_EQ(read.has_value(), row.read) << row.line;
        if (read) {
            EXPECT_EQ(ParseSendingEntry(FormatSendingEntry(*read)), read) << row.line;
        }
    }

    const ProgressLogContents mixed = ParseProgressLog({Line, sending, head + "95;18.6", Line}, "x");
    EXPECT_EQ(mixed.Entries.size(), 2u);
    EXPECT_EQ(mixed.Sending, std::vector<SendingEntry>{entry});
    EXPECT_EQ(mixed.Damaged, 1);
    EXPECT_EQ(ParseProgressLog({head + "x", "notes"}, "x").Damaged, 2); // a log, if a damaged one

    TempFolder folder;
    AppendSendingEntry(entry);
    AppendProgressLog(Entry());
    EXPECT_EQ(ReadBytes(ProgressLogFileName), sending + "\r\n" + Line + "\r\n");
    SendingEntry tooFast = entry;
    tooFast.Wpm = 100.1;
    EXPECT_THROW(AppendSendingEntry(tooFast), EProgressLog);
    EXPECT_EQ(ReadProgressLog().Sending.size(), 1u);
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

    ProgressEntry tooLong = Entry();
    tooLong.LengthSeconds = MaxLessonSeconds + 1;
    EXPECT_THROW(AppendProgressLog(tooLong), EProgressLog);
    EXPECT_EQ(ReadBytes(ProgressLogFileName), saved);

    WriteBytes("other.txt", "Dear diary\r\n");
    EXPECT_THROW(AppendProgressLog(Entry(), "other.txt"), EProgressLog);
    EXPECT_EQ(ReadBytes("other.txt"), "Dear diary\r\n");

    std::filesystem::resize_file("other.txt", MaxTextFileBytes + 1);
    EXPECT_THROW(ReadProgressLog("other.txt"), EInOutError); // over 16 MB
}

// A drill's line reads back as written; out of range it is damaged; a kind of
// a later version is skipped without being counted.
TEST(ProgressLogDrills, DrillLinesAndLaterKinds)
{
    DrillEntry drill{"2026-12-09T06:30:00Z", "calls", 25, 2210.5, 20, 24, 26, {{'Q', 2}, {'5', 1}}};
    const std::string line = FormatDrillEntry(drill);
    EXPECT_EQ(line, "KalvoDrill1;2026-12-09T06:30:00Z;calls;25;2210.5;20;24;26;53:1 81:2");
    EXPECT_EQ(ParseDrillEntry(line), drill);
    for (const char* bad : {"KalvoDrill1;2026-12-09T06:30:00Z;calls;51;0.0;20;24;26;-",
                            "KalvoDrill1;2026-12-09T06:30:00Z;games;25;0.0;20;24;26;-",
                            "KalvoDrill1;2026-12-09T06:30:00Z;words;25;0.0;4;24;26;-",
                            "KalvoDrill1;2026-12-09T06:30:00Z;list;25;0.0;20;24;26;81:2 81:1"})
        EXPECT_FALSE(ParseDrillEntry(bad)) << bad;
    const ProgressLogContents log = ParseProgressLog(
        {line, "KalvoContest2;2027-01-01T00:00:00Z;whatever", "KalvoDrill1;garbled"}, "log");
    EXPECT_EQ(log.Drills, std::vector<DrillEntry>{drill});
    EXPECT_EQ(log.Damaged, 1);
}

} // namespace
} // namespace kalvo
