#include "morse/TextSender.h"

#include "common/Convert.h"

#include <chrono>
#include <thread>

namespace kalvo {

namespace {

// How long the pause wait sleeps between two rounds of event handling, so that a
// paused send does not keep a processor busy.
constexpr auto PausePollInterval = std::chrono::milliseconds(5);

} // namespace

TextSender::TextSender(const MorseCodeTable& table, const TimingModel& timing, ToneSynth& synth,
                       TOutSound& out)
    : Table(table), Timing(timing), Synth(synth), OutSound1(out)
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
    const auto silence = [this](double seconds) { Synth.PlayNote(Timing.ToneFreq, seconds, 0.0); };

    silence(3.0 * Timing.DotTime);

    // The box is read again before every character: edits made while sending
    // are followed from the current position on.
    for (;;) {
        const std::string text = CurrentText ? CurrentText() : std::string();
        // SendPos below 1 cannot come from the window; it is refused rather than
        // read before the start of the text.
        if (SendPos < 1 || SendPos > static_cast<int>(text.size()) || !Sending)
            break;

        const char c = text[static_cast<std::size_t>(SendPos) - 1];
        SentText += c;
        if (ShowProgress)
            ShowProgress(SentText.size() > ProgressLength
                             ? SentText.substr(SentText.size() - ProgressLength)
                             : SentText);

        bool abortedInPause = false;
        if (c == '\r' || c == ' ') {
            silence(Timing.WordGapTime);
        } else {
            const std::string pattern = Table.LookupCode(std::string(1, UpCase(c)));
            for (std::size_t element = 0; element < pattern.size(); ++element) {
                const char digit = pattern[element];
                // The pause holds the send before an element; an abort also ends
                // the wait, and then the rest of the character is dropped so that
                // nothing more sounds while the button still says "Unpause".
                if (Paused && Sending) {
                    // What was written before the pause is heard before its
                    // silence, not when the send resumes.
                    OutSound1.Flush();
                    while (Paused && Sending) {
                        if (ProcessEvents)
                            ProcessEvents();
                        if (Paused && Sending)
                            std::this_thread::sleep_for(PausePollInterval);
                    }
                }
                if (!Sending && Paused) {
                    abortedInPause = true;
                    // A character of which nothing sounded was not sent.
                    if (element == 0)
                        SentText.pop_back();
                    break;
                }
                Synth.PlayNote(Timing.ToneFreq, (digit - '0') * Timing.DotTime, ToneAmplitude);
                silence(Timing.DotTime);
            }
        }

        // "@" has no character gap, so a run of them is one unbroken dot stream.
        if (c != '@' && !abortedInPause)
            silence(Timing.CharGapTime);
        ++SendPos;
    }

    OutSound1.Flush();
}

} // namespace kalvo
