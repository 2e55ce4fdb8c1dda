// The help page shipped beside the program: self-contained, and it explains
// every command the main window offers.
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

std::string HelpPage()
{
    return kalvo::testing::ReadBytes(std::string(KALVO_DATA_DIR) + "/help.htm");
}

} // namespace

TEST(HelpPage, IsPlainSelfContainedHtml)
{
    const std::string page = HelpPage();
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("http:"), std::string::npos);
    EXPECT_EQ(page.find("https:"), std::string::npos);
    EXPECT_EQ(page.find("src="), std::string::npos);
    EXPECT_NE(page.find("</html>"), std::string::npos);
}

TEST(HelpPage, ExplainsEveryCommand)
{
    const std::string page = HelpPage();
    const char* captions[] = {
        // buttons, boxes, check boxes and sliders of the main window
        "Load any File",
        "Load practice Text",
        "Practice Text Number (1 - 950)",
        "Show Quickscreen",
        "Show text",
        "Send Text",
        "Pause",
        "Unpause",
        "Abort/Show text",
        "Font",
        "Code Speed",
        "Farnsworth Speed",
        "Audio Frequency",
        "Start Kalvo",
        "Start Sending",
        "Stop Kalvo",
        "Characters to Start",
        "Characters in use",
        "Generate String",
        "Enter Characters",
        "Text as sent",
        "SquareWave",
        "Harmonics",
        "Rise/Fall time",
        // menus
        "SaveEnvironment",
        "LoadEnvironment",
        "FastMode",
        "SlowMode",
        "ToggleProgress",
        "RandomChars",
        "Dits",
        "Toggle Tone",
        "Toggle Uppercase",
        "Learning Order",
        "Custom Set",
        "Sending Practice",
        "Lesson Details",
        "Save Lesson to Progress Log",
        "Show Progress",
        "Notepad",
        "Help File",
        "About",
        // notepad, files and topics
        "Save Notepad",
        "Kalvoinit.txt",
        "Notepad.txt",
        "Kalvoprogress.txt",
        "Farnsworth",
        "histogram",
        "rating",
        "weight",
    };
    for (const char* caption : captions)
        EXPECT_NE(page.find(caption), std::string::npos) << caption;
}
