#include "morse/CodeTable.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvo {
namespace {

class CodeTableTest : public ::testing::Test {
protected:
    void SetUp() override { table.CodeTableInitialize(); }
    std::string Lookup(char c) const { return table.LookupCode(std::string(1, c)); }
    MorseCodeTable table;
};

TEST_F(CodeTableTest, BaseIsClosingParenthesis)
{
    EXPECT_EQ(table.CodeBase, 41);
}

TEST_F(CodeTableTest, LettersAndDigits)
{
    EXPECT_EQ(Lookup('A'), "13");
    EXPECT_EQ(Lookup('E'), "1");
    EXPECT_EQ(Lookup('P'), "1331");
    EXPECT_EQ(Lookup('Z'), "3311");
    EXPECT_EQ(Lookup('0'), "33333");
    EXPECT_EQ(Lookup('9'), "33331");
}

TEST_F(CodeTableTest, NonStandardPunctuation)
{
    EXPECT_EQ(Lookup('@'), std::string(20, '1'));
    EXPECT_EQ(Lookup('='), "31113");
    EXPECT_EQ(Lookup('-'), Lookup('='));
    EXPECT_EQ(Lookup('+'), "31331");
    EXPECT_EQ(Lookup(':'), "31313");
    EXPECT_EQ(Lookup(';'), "13131");
    EXPECT_EQ(Lookup('*'), "111313");
    EXPECT_EQ(Lookup('?'), "113311");
}

TEST_F(CodeTableTest, EmptyEntriesInsideAndOutsideTheTable)
{
    EXPECT_EQ(Lookup(')'), ""); // inside the table, never filled
    EXPECT_EQ(Lookup('<'), "");
    EXPECT_EQ(Lookup('>'), "");
    EXPECT_EQ(Lookup('('), "");
    EXPECT_EQ(Lookup('!'), "");
    EXPECT_EQ(Lookup(' '), "");
    EXPECT_EQ(Lookup('['), "");
}

TEST_F(CodeTableTest, LowerCaseIsNotTranslated)
{
    for (char c = 'a'; c <= 'z'; ++c)
        EXPECT_EQ(Lookup(c), "") << c;
}

TEST_F(CodeTableTest, HighCodesGiveNothing)
{
    for (int code = 128; code <= 255; ++code)
        EXPECT_EQ(Lookup(static_cast<char>(code)), "") << code;
}

TEST_F(CodeTableTest, FortySevenFilledEntriesOnlyFromStarToZ)
{
    int filled = 0;
    for (int i = 0; i < 64; ++i) {
        if (!table.CodeTable[i].empty()) {
            ++filled;
            EXPECT_GE(i + table.CodeBase, '*');
            EXPECT_LE(i + table.CodeBase, 'Z');
            EXPECT_EQ(table.CodeTable[i].find_first_not_of("13"), std::string::npos);
        }
    }
    EXPECT_EQ(filled, 47);
}

TEST_F(CodeTableTest, OnlyTheFirstCharacterCounts)
{
    EXPECT_EQ(table.LookupCode("AZ"), "13");
    EXPECT_EQ(table.LookupCode(""), "");
}

} // namespace
} // namespace kalvo
