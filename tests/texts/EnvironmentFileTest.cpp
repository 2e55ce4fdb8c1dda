#include "texts/EnvironmentFile.h"

#include "common/Errors.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using kalvo::EnvironmentReader;
using kalvo::EnvironmentSettings;
using kalvo::EnvironmentTarget;
using kalvo::testing::ReadBytes;
using kalvo::testing::TempFolder;
using kalvo::testing::WriteBytes;

namespace {

EnvironmentSettings StartUpSettings()
{
    return {"1", 5, 14, 800, "1", "", ""};
}

// Records every step the window would take, in order.
struct RecordingWindow {
    std::vector<std::string> steps;

    EnvironmentTarget Target()
    {
        EnvironmentTarget t;
        t.LineBuffer = [this](const std::vector<std::string>& lines) {
            steps.push_back("buffer " + std::to_string(lines.size()));
        };
        t.PracticeNumber = [this](const std::string& s) { steps.push_back("Edit1 " + s); };
        t.OverallSpeed = [this](int v) { steps.push_back("CspeedScrollbar " + std::to_string(v)); };
        t.CharSpeed = [this](int v) { steps.push_back("SpeedScrollBar " + std::to_string(v)); };
        t.Frequency = [this](int v) { steps.push_back("Freqscrollbar " + std::to_string(v)); };
        t.CharactersInUse = [this](const std::string& s) { steps.push_back("UsingEdit " + s); };
        t.LearningOrder = [this](const std::string& s) { steps.push_back("order " + s); };
        return t;
    }
};

using kalvo::testing::FileSizeLimit;

std::string SaveError(const EnvironmentSettings& settings, const std::string& name)
{
    try {
        kalvo::SaveEnvironment(settings, name);
    } catch (const kalvo::EInOutError& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(EnvironmentSave, StartUpValuesGiveFiveLinesWithCrLf)
{
    TempFolder folder;
    EXPECT_EQ(kalvo::EnvironmentLines(StartUpSettings()), (std::vector<std::string>{"1", "5", "14", "800", "1"}));
    kalvo::SaveEnvironment(StartUpSettings());
    EXPECT_EQ(ReadBytes("Kalvoinit.txt"), "1\r\n5\r\n14\r\n800\r\n1\r\n");
}

TEST(EnvironmentSave, TextsAreWrittenUnchanged)
{
    TempFolder folder;
    kalvo::SaveEnvironment({" 12 ", 30, 35, 1000, "", "", ""});
    EXPECT_EQ(ReadBytes("Kalvoinit.txt"), " 12 \r\n30\r\n35\r\n1000\r\n\r\n");
}

TEST(EnvironmentSave, ReplacesAnOlderFile)
{
    TempFolder folder;
    WriteBytes("Kalvoinit.txt", "old\r\nfile\r\nwith\r\nmore\r\nthan\r\nfive\r\nlines\r\n");
    kalvo::SaveEnvironment(StartUpSettings());
    EXPECT_EQ(ReadBytes("Kalvoinit.txt"), "1\r\n5\r\n14\r\n800\r\n1\r\n");
}

TEST(EnvironmentSave, FailedWriteKeepsTheOldFile)
{
    TempFolder folder;
    WriteBytes("Kalvoinit.txt", "7\r\n9\r\n20\r\n600\r\n3\r\n");
    std::string message;
    {
        FileSizeLimit limit(4); // the new file needs 21 bytes
        message = SaveError(StartUpSettings(), "Kalvoinit.txt");
    }
    EXPECT_EQ(message, "Cannot create file Kalvoinit.txt");
    EXPECT_EQ(ReadBytes("Kalvoinit.txt"), "7\r\n9\r\n20\r\n600\r\n3\r\n");
    // No temporary file is left behind.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("."))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(EnvironmentSave, FolderNamedLikeTheFileCannotBeReplaced)
{
    TempFolder folder;
    std::filesystem::create_directory("Kalvoinit.txt");
    WriteBytes("Kalvoinit.txt/inside", "kept");
    EXPECT_EQ(SaveError(StartUpSettings(), "Kalvoinit.txt"), "Cannot create file Kalvoinit.txt");
    EXPECT_TRUE(std::filesystem::is_directory("Kalvoinit.txt"));
    EXPECT_EQ(ReadBytes("Kalvoinit.txt/inside"), "kept");
}

TEST(EnvironmentSave, MissingFolderReportsTheName)
{
    TempFolder folder;
    EXPECT_EQ(SaveError(StartUpSettings(), "gone/Kalvoinit.txt"), "Cannot create file gone/Kalvoinit.txt");
}

TEST(EnvironmentLoad, AppliesTheFiveLinesInOrder)
{
    TempFolder folder;
    WriteBytes("Kalvoinit.txt", "12\r\n8\r\n20\r\n650\r\n7\r\n");
    RecordingWindow window;
    kalvo::LoadEnvironment(window.Target());
    EXPECT_EQ(window.steps,
              (std::vector<std::string>{"buffer 5", "Edit1 12", "CspeedScrollbar 8", "SpeedScrollBar 20",
                                        "Freqscrollbar 650", "UsingEdit 7", "order "}));
}

TEST(EnvironmentLoad, SaveThenLoadGivesTheSameValues)
{
    TempFolder folder;
    kalvo::SaveEnvironment(StartUpSettings());
    RecordingWindow window;
    kalvo::LoadEnvironment(window.Target());
    EXPECT_EQ(window.steps,
              (std::vector<std::string>{"buffer 5", "Edit1 1", "CspeedScrollbar 5", "SpeedScrollBar 14",
                                        "Freqscrollbar 800", "UsingEdit 1", "order "}));
}

TEST(EnvironmentLoad, ThreeLineFileStopsAtTheEmptyFourthLine)
{
    TempFolder folder;
    WriteBytes("Kalvoinit.txt", "33\r\n10\r\n25\r\n");
    EXPECT_EQ(EnvironmentReader::Read().Line(4), "");
    EXPECT_EQ(EnvironmentReader::Read().Line(5), "");
    RecordingWindow window;
    try {
        kalvo::LoadEnvironment(window.Target());
        FAIL() << "no error";
    } catch (const kalvo::EConvertError& error) {
        EXPECT_STREQ(error.what(), "'' is not a valid integer value");
    }
    EXPECT_EQ(window.steps,
              (std::vector<std::string>{"buffer 3", "Edit1 33", "CspeedScrollbar 10", "SpeedScrollBar 25"}));
}

TEST(EnvironmentLoad, BadNumberKeepsTheEarlierSteps)
{
    TempFolder folder;
    WriteBytes("Kalvoinit.txt", "5\nfast\n20\n700\n2\n");
    RecordingWindow window;
    try {
        kalvo::LoadEnvironment(window.Target());
        FAIL() << "no error";
    } catch (const kalvo::EConvertError& error) {
        EXPECT_STREQ(error.what(), "'fast' is not a valid integer value");
    }
    EXPECT_EQ(window.steps, (std::vector<std::string>{"buffer 5", "Edit1 5"}));
}

TEST(EnvironmentLoad, MissingFileChangesNothing)
{
    TempFolder folder;
    RecordingWindow window;
    try {
        kalvo::LoadEnvironment(window.Target());
        FAIL() << "no error";
    } catch (const kalvo::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Cannot open file Kalvoinit.txt");
    }
    EXPECT_TRUE(window.steps.empty());
}

TEST(EnvironmentLoad, OutOfRangeValuesAreHandedOnForTheSliderToClamp)
{
    TempFolder folder;
    WriteBytes("Kalvoinit.txt", "1\r\n50\r\n14\r\n400\r\n1\r\n");
    RecordingWindow window;
    kalvo::LoadEnvironment(window.Target());
    EXPECT_EQ(window.steps[2], "CspeedScrollbar 50");
    EXPECT_EQ(window.steps[4], "Freqscrollbar 400");
}

// The band conditions follow the learning order's line, which stays empty
// for the program's own order; a file without them reads as none.
TEST(EnvironmentFile, BandConditionsGoOnTheSeventhLine)
{
    TempFolder folder;
    EnvironmentSettings settings = StartUpSettings();
    settings.BandConditions = "noise=on snr=3";
    kalvo::SaveEnvironment(settings);
    EXPECT_EQ(ReadBytes("Kalvoinit.txt"), "1\r\n5\r\n14\r\n800\r\n1\r\n\r\nnoise=on snr=3\r\n");
    for (const char* file :
         {"1\r\n5\r\n14\r\n800\r\n1\r\n\r\nnoise=on snr=3\r\n", "1\r\n5\r\n14\r\n800\r\n1\r\netm\r\n"}) {
        WriteBytes("Kalvoinit.txt", file);
        std::vector<std::string> band;
        RecordingWindow window;
        EnvironmentTarget target = window.Target();
        target.BandConditions = [&](const std::string& line) { band.push_back(line); };
        kalvo::LoadEnvironment(target);
        EXPECT_EQ(
            band,
            std::vector<std::string>{std::string(file).find("noise") != std::string::npos ? "noise=on snr=3" : ""});
    }
}
