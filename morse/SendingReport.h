// SendingReport: what a stretch of the learner's keying says about the hand,
// and, when the learner named the text meant, how much of it came out right.
//
// The hand: its dot is the whole time keyed in dot marks, dash marks and
// element gaps over the dots those stand for (1, 3 and 1), so that a long
// dash weighs as much as three dots would; Wpm is 1.2 s over it. Every mark and gap
// is then told in that dot: a dot ideally 1, a dash 3, the gaps 1, 3 and 7.
// Each element counts as the keying reader took it (dot or dash, and the kind
// of gap after it); a gap not yet known counts nowhere.
// The text: the target and the text read are compared without regard to
// ASCII case, a run of blanks (spaces, tabs, line breaks: a target may come
// from a box of several lines) as one space and blanks at either end left out.
// They are aligned by the fewest characters wrong, missing and extra; on a tie
// a match comes first, then a wrong character, so the steps read as the
// learner meant them. A space and a character never stand for each other:
// "HIEYOU" for "HI YOU" is a missing space and an extra E, not a wrong one.
// Counts, accuracy and MostWrong are of characters other than spaces; the
// word spaces are counted apart. Without a target (none, or only spaces) the
// alignment is empty and accuracy 0.
#pragma once

#include "morse/FistDecoder.h"

#include <optional>
#include <string>
#include <vector>

namespace kalvo {

struct SendingReport {
    struct Step {
        enum class Kind { Match, Wrong, Missing, Extra };
        char Target = 0; // 0 for an extra character
        char Sent = 0; // 0 for a missing one
        Kind What = Kind::Match;

        bool operator==(const Step&) const = default;
    };
    // Lengths in dots of the hand's dot; Spread is the sample standard
    // deviation, 0 for fewer than two.
    struct Timing {
        int Count = 0;
        double Mean = 0;
        double Spread = 0;
    };
    struct WrongCharacter {
        char Name = 0;
        int Count = 0; // sent wrong or missing

        bool operator==(const WrongCharacter&) const = default;
    };

    std::string Target; // as compared: upper case, single spaces; empty for none
    std::string Sent; // likewise
    std::vector<Step> Alignment;
    int Matches = 0;
    int Wrong = 0;
    int Missing = 0;
    int Extra = 0;
    int MissingSpaces = 0;
    int ExtraSpaces = 0;
    int TargetCharacters = 0; // of the target, other than spaces
    int SentCharacters = 0; // of the text read, other than spaces
    double Accuracy = 0; // Matches / TargetCharacters

    double DotSeconds = 0; // the hand's dot; 0 when nothing was keyed
    double Wpm = 0;
    double DotDashRatio = 0; // mean dash over mean dot; 0 without both
    Timing Dots, Dashes, ElementGaps, CharacterGaps, WordGaps;
    // Most often first; on a tie, in the order the target first has them.
    std::vector<WrongCharacter> MostWrong;

    // Whole per cent, rounded down so that 100 means every character right;
    // nothing without a target.
    std::optional<int> AccuracyPercent() const;
};

SendingReport MakeSendingReport(const std::vector<KeyedElement>& elements, const std::string& sent,
                                const std::optional<std::string>& target = std::nullopt);

// The alignment drawn as three lines for a fixed-width font: the target, the
// text read, and under them a mark for each step: ' ' right, '^' wrong,
// '-' missing, '+' extra; "_" stands in for the character the other text
// lacks. Nothing without a target.
std::vector<std::string> AlignmentLines(const SendingReport& report);

// The report as lines of plain text for a window, each a sentence of its own
// that reads aloud as well (at most the five characters most often wrong);
// numbers are written without regard to the locale.
std::vector<std::string> DescribeSendingReport(const SendingReport& report);

} // namespace kalvo
