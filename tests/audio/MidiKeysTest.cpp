#include "audio/MidiKeys.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kalvo {
namespace {

// The messages of a USB key adapter in MIDI mode, and others it may send.
TEST(MidiKeysTest, NotesZeroToTwoAreTheStraightKeyAndThePaddles)
{
    const struct {
        unsigned char status, note, velocity;
        std::optional<MidiKeyEvent> key;
    } table[] = {
        {0x90, 0, 100, MidiKeyEvent{0, true}}, {0x80, 0, 64, MidiKeyEvent{0, false}},
        {0x9F, 1, 1, MidiKeyEvent{1, true}}, // any channel
        {0x92, 2, 0, MidiKeyEvent{2, false}}, // note on at velocity 0 lets go
        {0x90, 3, 100, std::nullopt},          {0xB0, 1, 127, std::nullopt}, // a controller
    };
    for (const auto& row : table)
        EXPECT_EQ(MidiKeyFromMessage(row.status, row.note, row.velocity), row.key)
            << int(row.status) << " " << int(row.note);
}

TEST(MidiKeysTest, WithoutASequencerTheMessageSaysSo)
{
    if (std::filesystem::exists("/dev/snd/seq"))
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    try {
        MidiKeys::Inputs();
        FAIL() << "no error";
    } catch (const EMidi& error) {
        EXPECT_STREQ(error.what(), "No MIDI keys: this machine has no ALSA sequencer (No such file or directory).");
    }
}

} // namespace
} // namespace kalvo
