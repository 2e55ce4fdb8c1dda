#include "texts/HelpAddress.h"

#include <gtest/gtest.h>

using kalvo::HelpFileAddress;

TEST(HelpAddress, AbsoluteFolderGivesThreeSlashes)
{
    EXPECT_EQ(HelpFileAddress("/home/u"), "file:///home/u/help.htm");
    EXPECT_EQ(HelpFileAddress("/opt/kalvo/share"), "file:///opt/kalvo/share/help.htm");
}

TEST(HelpAddress, RootFolderGetsNoDoubleSlash)
{
    EXPECT_EQ(HelpFileAddress("/"), "file:///help.htm");
    EXPECT_EQ(HelpFileAddress("/home/u/"), "file:///home/u/help.htm");
}

TEST(HelpAddress, CharactersAUrlCannotHoldAreEscaped)
{
    EXPECT_EQ(HelpFileAddress("/home/u/Morse practice"), "file:///home/u/Morse%20practice/help.htm");
    EXPECT_EQ(HelpFileAddress("/tmp/a#b"), "file:///tmp/a%23b/help.htm");
    EXPECT_EQ(HelpFileAddress("/tmp/100%"), "file:///tmp/100%25/help.htm");
    EXPECT_EQ(HelpFileAddress("/tmp/why?"), "file:///tmp/why%3F/help.htm");
    EXPECT_EQ(HelpFileAddress("/tmp/\xC3\xA9t\xC3\xA9"), "file:///tmp/%C3%A9t%C3%A9/help.htm");
}

TEST(HelpAddress, OrdinaryPathCharactersStayRaw)
{
    EXPECT_EQ(HelpFileAddress("/home/u/kalvo-1.0_build~2"), "file:///home/u/kalvo-1.0_build~2/help.htm");
    EXPECT_EQ(HelpFileAddress("/srv/a+b=c,d;e@f:g"), "file:///srv/a+b=c,d;e@f:g/help.htm");
}

TEST(HelpAddress, RelativeFolderIsMadeAbsoluteLooking)
{
    EXPECT_EQ(HelpFileAddress("C:\\Progs\\Morse"), "file:///C:%5CProgs%5CMorse/help.htm");
    EXPECT_EQ(HelpFileAddress(""), "file:///help.htm");
}
