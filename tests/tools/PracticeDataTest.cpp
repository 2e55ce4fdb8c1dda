// The practice files shipped with the program: every text must be sendable,
// and the generator must still produce exactly the files that are shipped.
#include "tools/textgen/PracticeTexts.h"

#include "common/TextFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

using kalvo::testing::ReadBytes;
using kalvo::testing::TempFolder;

namespace {

const std::string DataFolder = KALVO_DATA_DIR;

std::string DataFile(int k)
{
    return DataFolder + "/P" + std::to_string(k);
}

// Characters with a Morse pattern in the code table ('@' and '*' included),
// lower-case letters because the sender upper-cases, and the blank.
bool IsSendable(char c)
{
    static const std::string signs = "*+,-./:;=?@";
    return c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
        || signs.find(c) != std::string::npos;
}

} // namespace

TEST(PracticeData, EveryTextObeysTheRules)
{
    int texts = 0;
    for (int k = 0; k <= 9; ++k) {
        SCOPED_TRACE(DataFile(k));
        const std::vector<std::string> lines = kalvo::ReadTextLines(DataFile(k));
        if (k < 9)
            ASSERT_EQ(lines.size(), 100u);
        else
            ASSERT_GE(lines.size(), 50u);
        const std::size_t used = k < 9 ? 100 : 50;
        for (std::size_t j = 0; j < used; ++j) {
            const std::string& text = lines[j];
            const int n = 100 * k + static_cast<int>(j) + 1;
            ASSERT_FALSE(text.empty()) << "text " << n;
            ASSERT_LE(text.size(), 250u) << "text " << n;
            for (const char c : text)
                ASSERT_TRUE(IsSendable(c)) << "text " << n << " has '" << c << "': " << text;
            ++texts;
        }
    }
    EXPECT_EQ(texts, 950);
}

TEST(PracticeData, TextsGrowLongerAndRarelyRepeat)
{
    const std::vector<std::string> texts = kalvo::textgen::GeneratePracticeTexts();
    ASSERT_EQ(texts.size(), 950u);
    EXPECT_LE(texts.front().size(), 30u);
    std::size_t early = 0, late = 0;
    for (int i = 0; i < 50; ++i) {
        early += texts[static_cast<std::size_t>(i)].size();
        late += texts[static_cast<std::size_t>(900 + i)].size();
    }
    EXPECT_GT(late, 6 * early);
    const std::set<std::string> distinct(texts.begin(), texts.end());
    EXPECT_GT(distinct.size(), 900u);
}

TEST(PracticeData, GeneratorReproducesTheShippedFiles)
{
    const std::vector<std::string> texts = kalvo::textgen::GeneratePracticeTexts();
    for (int k = 0; k <= 9; ++k) {
        std::string expected;
        for (const std::string& line : kalvo::textgen::PracticeFileLines(texts, k))
            expected += line + "\r\n";
        EXPECT_EQ(ReadBytes(DataFile(k)), expected) << "P" << k << " differs: run kalvo-textgen data";
    }
}

TEST(PracticeData, GeneratorProgramWritesTheSameFiles)
{
    TempFolder folder;
    const std::string command = std::string(KALVO_TEXTGEN) + " " + folder.Path().string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int k = 0; k <= 9; ++k)
        EXPECT_EQ(ReadBytes("P" + std::to_string(k)), ReadBytes(DataFile(k))) << "P" << k;
}
