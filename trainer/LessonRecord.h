// LessonRecord: what the learner did in one lesson, question by question, for
// the details window and the progress log. It only listens: the trainer's
// rules never read it.
//
//  - Begin (at "Start Kalvo") clears it and notes the time; Started (at "Start
//    Sending") notes when the asking began; Stopped ends it.
//  - Asked opens a question for the character picked (lower case as stored);
//    Played marks that its sound has been written and an answer is awaited.
//  - Key records every judged key: with the open question (the character it
//    was judged against) or, before the first question, among OutsideKeys.
//    A key is "awaited" while the question was played and not yet answered
//    or ended; only an awaited hit has a reaction time: the key's moment less
//    the moment the character's last tone left the sound device (SoundEnd),
//    when the device's clock told it.
//  - Ended closes the question at the tick that ends it: hit, or time-out.
//    A question still open at the next Asked or at Stopped counts as stopped.
//  - Revision grows with every change, so a window can tell when to redraw.
// Summaries: per character of a set (the characters in use), the counts, the
// median reaction time and the keys typed instead, most often first; and the
// confusion counts of awaited keys (asked x typed).
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalvo {

class LessonRecord {
public:
    using Clock = std::chrono::steady_clock;

    struct KeyPress {
        char Typed = 0;
        bool Hit = false;
        bool Awaited = false;
        std::optional<double> Reaction; // seconds, for an awaited hit
    };

    enum class Result { Open, Hit, TimedOut, Stopped };

    struct Question {
        char Asked = 0;
        bool Played = false;
        bool Answered = false; // hit while awaited
        std::optional<Clock::time_point> SoundEnd;
        std::vector<KeyPress> Keys;
        Result Outcome = Result::Open;

        // The first awaited key was the right one.
        bool HitAtFirstKey() const;
        std::optional<double> Reaction() const;
    };

    struct CharacterSummary {
        char Character = 0;
        int Asked = 0;
        int Hits = 0;
        int FirstKeyHits = 0;
        int Misses = 0; // wrong awaited keys
        int TimeOuts = 0;
        std::optional<double> MedianReaction; // seconds
        std::vector<std::pair<char, int>> TypedInstead; // most often first
    };

    void Begin();
    void Started(Clock::time_point at);
    void Asked(char character);
    void Played();
    void Key(char typed, bool hit, Clock::time_point at, std::optional<Clock::time_point> soundEnd);
    void Ended(bool timedOut, std::optional<Clock::time_point> soundEnd);
    void Stopped(Clock::time_point at);

    const std::vector<Question>& Questions() const { return FQuestions; }
    const std::vector<KeyPress>& OutsideKeys() const { return FOutside; }
    bool Running() const { return FRunning; }
    bool HasStarted() const { return FStarted.has_value(); } // "Start Sending" was pressed
    bool Empty() const { return FQuestions.empty(); }
    unsigned long Revision() const { return FRevision; }
    // Seconds from "Start Sending" to the stop (or to `now` while running);
    // 0 before the asking began.
    double LengthSeconds(Clock::time_point now) const;

    std::vector<CharacterSummary> Summarise(const std::string& characters) const;
    // Awaited keys per asked character: Confusion()[asked][typed], hits included.
    std::map<char, std::map<char, int>> Confusion() const;

private:
    Question* Open();
    void Touch() { ++FRevision; }

    std::vector<Question> FQuestions;
    std::vector<KeyPress> FOutside;
    std::optional<Clock::time_point> FStarted, FStopped;
    bool FRunning = false;
    unsigned long FRevision = 0;
};

// The median of the values; empty for none.
std::optional<double> Median(std::vector<double> values);

} // namespace kalvo
