#include "morse/FistDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace kalvo {
namespace {

// Characters changed, missing or extra between the two texts (edit distance).
std::size_t Errors(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

// A hand keying `text` at `wpm`, every element and gap off by up to 20 % at
// random, its speed changed by `change` halfway through the text. Half the
// silences are also watched while they last, as the window does.
std::string KeyAndRead(const MorseCodeTable& table, const std::string& text, double wpm, double change,
                       std::mt19937& random)
{
    std::uniform_real_distribution<double> error(0.8, 1.2);
    FistDecoder decoder(table, wpm);
    std::string read;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const double dot = 1.2 / (i < text.size() / 2 ? wpm : wpm * change);
        if (text[i] == ' ')
            continue;
        const std::string pattern = table.LookupCode(std::string(1, text[i]));
        for (std::size_t e = 0; e < pattern.size(); ++e) {
            decoder.Mark((pattern[e] - '0') * dot * error(random));
            const bool last = e + 1 == pattern.size();
            const double gap = !last ? 1 : i + 1 < text.size() && text[i + 1] == ' ' ? 7 : 3;
            const double seconds = gap * dot * error(random);
            // Live, the silence is looked at while it lasts, before its end is known.
            if (random() % 2)
                read += decoder.Silence(seconds);
            read += decoder.Gap(seconds);
        }
    }
    return read + decoder.Flush();
}

TEST(FistDecoderTest, ReadsUnevenKeyingFromFiveToFortyWpmThroughAChangeOfSpeed)
{
    MorseCodeTable table;
    table.CodeTableInitialize();
    const std::string text = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 PARIS, CQ? DE KALVO/P "
                             "HOW COPY. THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 73";
    std::mt19937 random(1796);
    for (double wpm : {5, 10, 15, 20, 25, 30, 35, 40}) {
        for (double change : {1.0, 1.3, 0.7}) {
            const std::string read = KeyAndRead(table, text, wpm, change, random);
            const double right = 1.0 - double(Errors(read, text)) / double(text.size());
            EXPECT_GE(right, 0.98) << wpm << " wpm, speed x" << change << ": " << read;
        }
    }
}

} // namespace
} // namespace kalvo
