// The text sender's loop: plays the text box as Morse, character by character,
// reading the box afresh before every character so that edits made during the
// send are followed.
//
// Run() does: status "You can stop sending with the <Abort/Show Text. button",
// SendPos 1, a lead-in of 3 dots of silence, then for each character while
// Sending is set: append to SentText, show the last 62 characters of SentText on
// the progress line, play it (a space or CR: WordGapTime of silence; otherwise
// the upper-cased character's pattern, each element a tone of d dots and one dot
// of silence, waiting before each element while Paused), then CharGapTime of
// silence unless the character is '@'. Finally Flush. The window runs the end
// steps after Run() returns. An error ends Run() at once and propagates.
//
// When the pause wait begins, the partly filled buffer is flushed, so that every
// element and gap before the pause is heard whole before the pause's silence.
// While paused, the wait also ends when Sending is cleared, so an abort during a
// pause ends the send promptly: the rest of the waiting character (its elements
// and its gap) is dropped, and nothing more sounds while the send is paused; a
// character of which no element sounded is taken off SentText again.
// The wait sleeps a few milliseconds between rounds of ProcessEvents. The
// elements themselves and the pause wait are PatternPlayer's.
#pragma once

#include "audio/TOutSound1.h"
#include "audio/ToneSynth.h"
#include "morse/CodeTable.h"
#include "morse/PatternPlayer.h"
#include "morse/TimingModel.h"

#include <functional>
#include <string>

namespace kalvo {

class TextSender {
public:
    TextSender(const MorseCodeTable& table, const TimingModel& timing, ToneSynth& synth, TOutSound& out);

    std::string SentText;
    int SendPos = 0;
    bool Sending = false;
    bool Paused = false;

    // Window hooks. CurrentText returns the text box as 8-bit text with CR LF
    // line breaks; the others may be left empty.
    std::function<std::string()> CurrentText;
    // A text that cannot change during the send (a file being rendered), read
    // in place instead of through CurrentText: copying a long text before
    // every character would cost time growing with the square of its length.
    const std::string* FixedText = nullptr;
    std::function<void(const std::string&)> ShowProgress;
    std::function<void(const std::string&)> SetStatus;
    std::function<void()> ProcessEvents;

    static constexpr std::size_t ProgressLength = 62;

    // Steps up to and including the final Flush.
    void Run();

private:
    const MorseCodeTable& Table;
    const TimingModel& Timing;
    PatternPlayer Player;
};

} // namespace kalvo
