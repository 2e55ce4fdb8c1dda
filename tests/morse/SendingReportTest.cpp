#include "morse/SendingReport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kalvo {
namespace {

// Ideal keying at `wpm` of a code written ".-" with " " between characters
// and "/" between words.
std::vector<KeyedElement> Keyed(const std::string& code, double wpm)
{
    const double dot = 1.2 / wpm;
    std::vector<KeyedElement> elements;
    for (char c : code) {
        if (c == '.' || c == '-') {
            elements.push_back({c == '-' ? 3 * dot : dot, c == '-', dot, dot, KeyedElement::GapKind::Element});
        } else {
            elements.back().Gap = (c == ' ' ? 3 : 7) * dot;
            elements.back().Ends = c == ' ' ? KeyedElement::GapKind::Character : KeyedElement::GapKind::Word;
        }
    }
    elements.back() = {elements.back().Mark, elements.back().Dash, dot}; // its gap not yet known
    return elements;
}

// Each step written as target and sent character, "_" for none.
std::string Steps(const SendingReport& report)
{
    std::string text;
    for (const auto& step : report.Alignment)
        text += std::string(1, step.Target ? step.Target : '_') + (step.Sent ? step.Sent : '_') + " ";
    return text;
}

TEST(SendingReportTest, AlignsTheTextReadWithTheTarget)
{
    const struct {
        std::string sent, target, steps;
        int matches, wrong, missing, extra, percent;
    } table[] = {
        {"PARIS", "paris", "PP AA RR II SS ", 5, 0, 0, 0, 100},
        {"PAR*S", "PARIS", "PP AA RR I* SS ", 4, 1, 0, 0, 80},
        {"PRIS", "PARIS", "PP A_ RR II SS ", 4, 0, 1, 0, 80},
        {"PAXRIS ", "PARIS", "PP AA _X RR II SS ", 5, 0, 0, 1, 100},
        {"HI  YOU", "  hi\tyou ", "HH II    YY OO UU ", 5, 0, 0, 0, 100},
        {"HIYOU", "HI YOU", "HH II  _ YY OO UU ", 5, 0, 0, 0, 100},
        {"HIEYOU", "HI YOU", "HH II _E  _ YY OO UU ", 5, 0, 0, 1, 100}, // no E for a space
        {"HE", "", "", 0, 0, 0, 0, -1},
        {"", "AB", "A_ B_ ", 0, 0, 2, 0, 0},
    };
    for (const auto& row : table) {
        const SendingReport report = MakeSendingReport({}, row.sent, row.target);
        EXPECT_EQ(Steps(report), row.steps) << row.sent;
        EXPECT_EQ(report.Matches, row.matches) << row.sent;
        EXPECT_EQ(report.Wrong, row.wrong) << row.sent;
        EXPECT_EQ(report.Missing, row.missing) << row.sent;
        EXPECT_EQ(report.Extra, row.extra) << row.sent;
        EXPECT_EQ(report.AccuracyPercent().value_or(-1), row.percent) << row.sent;
    }
    EXPECT_EQ(MakeSendingReport({}, "HIYOU", "HI YOU").MissingSpaces, 1);
    EXPECT_EQ(AlignmentLines(MakeSendingReport({}, "PAXIS ST", "PARIS TEST")),
              (std::vector<std::string>{"Target: PARIS TEST", "Sent:   PAXIS __ST", "          ^   --"}));
    EXPECT_FALSE(MakeSendingReport({}, "HE").AccuracyPercent());
}

TEST(SendingReportTest, IdealKeyingMeasuresItsOwnSpeedAndLengths)
{
    const SendingReport report = MakeSendingReport(Keyed(".--. .- .-. .. .../.--. .- .-. .. ...", 18), "PARIS PARIS");
    EXPECT_DOUBLE_EQ(report.Wpm, 18);
    EXPECT_DOUBLE_EQ(report.DotDashRatio, 3);
    const SendingReport::Timing SendingReport::*const kinds[] = {
        &SendingReport::Dots, &SendingReport::Dashes, &SendingReport::ElementGaps, &SendingReport::CharacterGaps,
        &SendingReport::WordGaps};
    const struct {
        int count;
        double mean;
    } expected[] = {{20, 1}, {8, 3}, {18, 1}, {8, 3}, {1, 7}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ((report.*kinds[i]).Count, expected[i].count) << i;
        EXPECT_NEAR((report.*kinds[i]).Mean, expected[i].mean, 1e-12) << i;
        EXPECT_NEAR((report.*kinds[i]).Spread, 0, 1e-12) << i;
    }
    const std::vector<std::string> lines = DescribeSendingReport(report);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Speed: 18.0 wpm");
    EXPECT_EQ(lines[1], "Dot:dash ratio 1:3.0 (ideal 1:3)");
    EXPECT_EQ(lines[3],
              "Element gaps 1.0 dots (spread 0.0), character gaps 3.0 dots (spread 0.0), "
              "word gaps 7.0 dots (spread 0.0)");
    // Uneven dots: 1 and 2 dots long against the ideal dash.
    const SendingReport uneven = MakeSendingReport({{1, false}, {2, false}, {3, true}}, "");
    EXPECT_DOUBLE_EQ(uneven.Wpm, 1); // a dot of 6 s over 5 dots
    EXPECT_DOUBLE_EQ(uneven.Dots.Spread, std::sqrt(0.5) / 1.2);
    EXPECT_DOUBLE_EQ(uneven.DotDashRatio, 2);
    EXPECT_EQ(DescribeSendingReport(MakeSendingReport({}, "")), std::vector<std::string>{"Nothing was keyed."});
}

TEST(SendingReportTest, TheCharactersMostOftenWrongComeFirst)
{
    // E is sent wrong before T, but T comes first in the target.
    const SendingReport report = MakeSendingReport({}, "TXSX XOX", "TEST SOS");
    using W = SendingReport::WrongCharacter;
    EXPECT_EQ(report.MostWrong, (std::vector<W>{{'S', 2}, {'T', 1}, {'E', 1}}));
    const std::vector<std::string> lines = DescribeSendingReport(report);
    EXPECT_EQ(lines[1], "Accuracy: 42 % (3 of 7 characters); 4 wrong, 0 missing, 0 extra");
    EXPECT_EQ(lines.back(), "Most often wrong: S x2, T x1, E x1");
}

} // namespace
} // namespace kalvo
