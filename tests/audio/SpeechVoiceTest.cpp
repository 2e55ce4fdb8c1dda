#include "audio/SpeechVoice.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kalvo {
namespace {

TEST(SpokenForm, WordsAsWordsTheRestSpelled)
{
    const struct {
        const char* Item;
        const char* Spoken;
    } cases[] = {
        {"name", "name"},
        {"THE", "the"},
        {"km", "K M"},
        {"RST", "R S T"},
        {"599", "five nine nine"},
        {"DL1ABC", "D L one A B C"},
        {"EA8/G4XYZ", "E A eight slash G four X Y Z"},
        {"?", "question mark"},
        {"a", "A"},
        {"qth?", "Q T H question mark"},
        {"#", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpokenForm(c.Item), c.Spoken) << c.Item;
}

TEST(SpeechVoice, SpeaksIntoSamplesAtTheRateAsked)
{
    const auto voices = SpeechVoice::Voices();
    ASSERT_TRUE(std::any_of(voices.begin(), voices.end(), [](const auto& v) { return v.Name == "gmw/en"; }));
    const SpeechVoice voice;
    const auto slow = voice.Say("five nine nine", 8000);
    const auto fast = SpeechVoice("en", 320).Say("five nine nine", 8000);
    const auto high = voice.Say("five nine nine", 44100);
    // About a second of speech, at either rate the same length; the faster voice takes less.
    EXPECT_GT(slow.size(), 4000u);
    EXPECT_LT(slow.size(), 16000u);
    EXPECT_NEAR(double(high.size()) / 44100, double(slow.size()) / 8000, 0.01);
    EXPECT_LT(fast.size(), slow.size() * 3 / 4);
    // The silence around the words is taken off.
    EXPECT_GE(std::abs(int(slow.front())), 64);
    EXPECT_TRUE(voice.Say("", 8000).empty());
}

TEST(SpeechVoice, RefusesWhatItCannotDo)
{
    const struct {
        const char* Voice;
        int Wpm;
        const char* Message;
    } cases[] = {
        {"xx-nowhere", 160, "The voice \"xx-nowhere\" is not installed."},
        {"en", 79, "The speech rate 79 words a minute is out of range: it must lie from 80 to 450."},
        {"en", 451, "The speech rate 451 words a minute is out of range: it must lie from 80 to 450."},
    };
    for (const auto& c : cases) {
        try {
            SpeechVoice voice(c.Voice, c.Wpm);
            ADD_FAILURE() << c.Voice << " " << c.Wpm;
        } catch (const ESpeech& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

} // namespace
} // namespace kalvo
