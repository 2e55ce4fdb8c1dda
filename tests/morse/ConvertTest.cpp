#include "common/Convert.h"

#include "common/Errors.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvo {
namespace {

std::string IntError(const std::string& text)
{
    try {
        StrToInt(text);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

std::string FloatError(const std::string& text)
{
    try {
        StrToFloat(text);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

TEST(StrToIntTest, AcceptsBlanksSignAndDigits)
{
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt(" 12"), 12);
    EXPECT_EQ(StrToInt("+5"), 5);
    EXPECT_EQ(StrToInt("-5"), -5);
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(StrToIntTest, RejectsEverythingElseWithExactMessage)
{
    EXPECT_EQ(IntError("12 "), "'12 ' is not a valid integer value");
    EXPECT_EQ(IntError(""), "'' is not a valid integer value");
    EXPECT_EQ(IntError("1.5"), "'1.5' is not a valid integer value");
    EXPECT_EQ(IntError("abc"), "'abc' is not a valid integer value");
    EXPECT_EQ(IntError("-"), "'-' is not a valid integer value");
    EXPECT_EQ(IntError("2147483648"), "'2147483648' is not a valid integer value");
}

TEST(StrToFloatTest, AcceptsNumbers)
{
    EXPECT_EQ(StrToFloat("5"), 5.0);
    EXPECT_EQ(StrToFloat(" 12"), 12.0);
    EXPECT_EQ(StrToFloat("12 "), 12.0);
    EXPECT_EQ(StrToFloat("+5"), 5.0);
    EXPECT_EQ(StrToFloat("-5"), -5.0);
    EXPECT_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_EQ(StrToFloat("2.5e1"), 25.0);
}

TEST(StrToFloatTest, RejectsTextWithExactMessage)
{
    EXPECT_EQ(FloatError(""), "'' is not a valid floating point value");
    EXPECT_EQ(FloatError("abc"), "'abc' is not a valid floating point value");
    EXPECT_EQ(FloatError("1,5"), "'1,5' is not a valid floating point value");
    EXPECT_EQ(FloatError("."), "'.' is not a valid floating point value");
}

} // namespace
} // namespace kalvo
