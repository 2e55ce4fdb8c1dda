#include "morse/TextSender.h"

#include "common/Convert.h"

namespace kalvo {

TextSender::TextSender(const MorseCodeTable& table, const TimingModel& timing, ToneSynth& synth, TOutSound& out)
    : Table(table), Timing(timing), Player(timing, synth, out)
{
}

void TextSender::Run()
{
    if (SetStatus)
        SetStatus("You can stop sending with the <Abort/Show Text. button");
    SendPos = 1;

    // Every duration and the frequency are read from the timing model at the
    // moment they are played, so speed changes made during the send apply from
    // the next element or gap.
    Player.LeadIn();
    const PatternPlayer::Pause pause{&Paused, &Sending, [this] {
                                         if (ProcessEvents)
                                             ProcessEvents();
                                     }};

    // The box is read again before every character: edits made while sending
    // are followed from the current position on.
    for (;;) {
        std::string copy;
        if (!FixedText)
            copy = CurrentText ? CurrentText() : std::string();
        const std::string& text = FixedText ? *FixedText : copy;
        // SendPos below 1 cannot come from the window; it is refused rather than
        // read before the start of the text.
        if (SendPos < 1 || SendPos > static_cast<int>(text.size()) || !Sending)
            break;

        const char c = text[static_cast<std::size_t>(SendPos) - 1];
        SentText += c;
        if (ShowProgress)
            ShowProgress(SentText.size() > ProgressLength ? SentText.substr(SentText.size() - ProgressLength)
                                                          : SentText);

        bool abortedInPause = false;
        if (c == '\r' || c == ' ') {
            Player.Silence(Timing.WordGapTime);
        } else {
            const std::string pattern = Table.LookupCode(std::string(1, UpCase(c)));
            // The pause holds the send before an element; an abort during the
            // pause drops the rest of the character.
            const PatternPlayer::Played played = Player.PlayPattern(pattern, &pause);
            abortedInPause = played.AbortedInPause;
            // A character of which nothing sounded was not sent.
            if (abortedInPause && played.Elements == 0)
                SentText.pop_back();
        }

        // "@" has no character gap, so a run of them is one unbroken dot stream.
        if (c != '@' && !abortedInPause)
            Player.Silence(Timing.CharGapTime);
        ++SendPos;
    }

    Player.Flush();
}

} // namespace kalvo
