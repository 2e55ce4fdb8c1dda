// ProgressLog: the learner's lessons and sending sessions over the days, in
// "Kalvoprogress.txt" in the working folder, written and read only on the
// user's command.
//
// One lesson per line (8-bit text, CR LF), fields separated by ";":
//   KalvoProgress1;<UTC date and time, ISO 8601>;<length, s>;<characters in
//   use>;<mean weight>;<rating>;<character entry>;...
// and each character entry c:asked:hits:time-outs:median reaction (seconds
// to three decimals, "-" when there was none), e.g.
//   KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;q:12:10:1:0.643;7:8:6:0:-
// A lesson in another learning order than the program's own ends with the
// order's characters as stored: ...;order=kmuresnaptlwi.jzfoy,vg5/q92h38b?47c1d60x
// A line without it is a lesson in the program's own order, as every line
// written before orders could be chosen.
// One sending session per line, among the lessons in the order saved:
//   KalvoSending1;<UTC date and time>;<length, s>;<speed, wpm>;<accuracy, %>;
//   <characters sent>
// the accuracy "-" when the learner sent without a text to match, e.g.
//   KalvoSending1;2026-12-09T06:30:00Z;95;18.6;96;26
// Readers from before sending sessions take these lines for damaged ones, so
// none is lost: they skip them and keep them when appending (a file of
// sending sessions alone they refuse as no log).
// One call or word drill per line:
//   KalvoDrill1;<UTC date and time>;<kind: calls, words or list>;<items>;
//   <score, one decimal>;<start wpm>;<end wpm>;<top wpm>;<missed>
// the missed characters as "<character code>:<count>" separated by spaces
// ("-" for none), e.g.
//   KalvoDrill1;2026-12-09T06:30:00Z;calls;25;2210.5;20;24;26;81:2 53:1
// Ranges: 1 to 50 items, speeds 5 to 60 wpm, a score of 0 to 50 x 60 x 32,
// counts of 1 to 50 x 32. A line whose first field is "Kalvo", a name and
// a number, but of a kind this reader does not know (a later version's), is
// skipped and not counted as damaged.
// The first field names the format, so a file of anything else is told apart:
// a file with lines none of which begins with one of the two is not this log
// (EProgressLog). A line that begins otherwise, does not parse whole, or holds
// a number outside its range is damaged: reading skips and counts it;
// appending keeps it as it was. The ranges are what a lesson can produce:
//   date and time     a calendar date of the years 1970 to 9999, 00:00:00 to 23:59:59
//   length            0 to 86400 s: a lesson within a day
//   characters in use 1 to 40, and no more than the order holds
//   mean weight       0 to 1: the trainer's weights never pass its cap of 1
//   rating            0 to 125: the rating of a mean weight of 0 with all 40 in use
//   characters        at most 40, each once, a printable character other than ";" and ":"
//   asked             0 to 86401: each question waits for the answer timer's one-second tick
//   hits, time-outs   0 or more, the two together not above asked
//   median reaction   -27.4 s to the lesson's length + 1 s. A key may beat the
//                     end of the sound by as much as the longest character the
//                     trainer asks (19 dots) and its 3 dots of lead-in at the
//                     slowest whole speed (1 wpm, a dot of 1.2 s), plus a second
//                     of the device's latency. It may come long after the
//                     answer time, as "Pause" stops the countdown while keys are
//                     still judged, but never after the lesson's end (the
//                     second covers the rounding of both).
// The ranges of a sending session:
//   date and time     as a lesson's
//   length            0 to 86400 s, as a lesson
//   speed             0 to 100 wpm, to one decimal: beyond any hand
//   accuracy          0 to 100 %, the target's characters sent right
//   characters        0 to 86400 sent, far beyond a day's practice
// A line the reader accepts holds the mean weight and the reaction times to
// the three decimals it writes, and the speed to its one decimal, so it is
// written back as a line that reads the same. Sums over many lessons are kept
// in 64 bits.
// Numbers are written and read without regard to the user's locale.
// Appending reads the old file (16 MB limit of every text file) and writes it
// whole with the new line through the safe write of common/TextFile, so a
// failed write leaves the old log whole ("Cannot create file ..."). A lesson
// whose line would not read back (one longer than a day) is refused with
// EProgressLog before anything is written; so is such a sending session.
#pragma once

#include "common/Errors.h"
#include "trainer/LessonRecord.h"
#include "trainer/Trainer.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kalvo {

inline constexpr const char* ProgressLogFileName = "Kalvoprogress.txt";
inline constexpr const char* ProgressLogMagic = "KalvoProgress1";
inline constexpr long MaxLessonSeconds = 86400;
inline constexpr int MaxLessonQuestions = MaxLessonSeconds + 1;
inline constexpr int MaxRating = 125;
inline constexpr double MinReactionSeconds = -27.4;
inline constexpr const char* SendingLogMagic = "KalvoSending1";
inline constexpr double MaxSendingWpm = 100;
inline constexpr int MaxSentCharacters = 86400;
inline constexpr const char* DrillLogMagic = "KalvoDrill1";

class EProgressLog : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

struct ProgressEntry {
    struct Character {
        char Name = 0;
        int Asked = 0;
        int Hits = 0;
        int TimeOuts = 0;
        std::optional<double> MedianReaction; // seconds

        bool operator==(const Character&) const = default;
    };
    std::string When; // e.g. "2026-12-09T06:30:00Z"
    long LengthSeconds = 0;
    int InUse = 0;
    double MeanWeight = 0;
    int Rating = 0;
    std::vector<Character> Characters;
    std::string Order = Trainer::DefaultLessonOrder; // the lesson's learning order

    bool operator==(const ProgressEntry&) const = default;
};

struct SendingEntry {
    std::string When; // as a lesson's
    long LengthSeconds = 0;
    double Wpm = 0;
    int Accuracy = -1; // per cent; -1 when there was no text to match
    int Characters = 0; // sent, other than spaces

    bool operator==(const SendingEntry&) const = default;
};

struct DrillEntry {
    std::string When; // as a lesson's
    std::string Kind; // "calls", "words" or "list"
    int Items = 0;
    double Score = 0;
    int StartWpm = 0, EndWpm = 0, TopWpm = 0;
    std::map<char, int> Missed;

    bool operator==(const DrillEntry&) const = default;
};

struct ProgressLogContents {
    std::vector<ProgressEntry> Entries; // in the file's order
    std::vector<SendingEntry> Sending; // likewise
    std::vector<DrillEntry> Drills; // likewise
    int Damaged = 0;
};

// Per character over the last `lessons` entries (characters in the order first
// met): lessons it was asked in, asked, hits, and the median of its lessons'
// median reaction times.
struct CharacterProgress {
    char Name = 0;
    int Lessons = 0;
    long long Asked = 0;
    long long Hits = 0;
    std::optional<double> MedianReaction;
};
std::vector<CharacterProgress> RecentProgress(const std::vector<ProgressEntry>& entries, std::size_t lessons);

// The lesson as the log keeps it: the characters in use with their counts.
ProgressEntry MakeProgressEntry(const LessonRecord& record, const Trainer& trainer, LessonRecord::Clock::time_point now,
                                std::chrono::system_clock::time_point wallClock);
std::string IsoUtc(std::chrono::system_clock::time_point at);
// A sending session as the log keeps it: the length to the whole second, the
// speed to one decimal.
SendingEntry MakeSendingEntry(double wpm, std::optional<int> accuracyPercent, int characters, double lengthSeconds,
                              std::chrono::system_clock::time_point wallClock);

std::string FormatProgressEntry(const ProgressEntry& entry);
std::optional<ProgressEntry> ParseProgressEntry(const std::string& line);
std::string FormatSendingEntry(const SendingEntry& entry);
std::optional<SendingEntry> ParseSendingEntry(const std::string& line);
std::string FormatDrillEntry(const DrillEntry& entry);
std::optional<DrillEntry> ParseDrillEntry(const std::string& line);
// Throws EProgressLog for lines of which none is a lesson or a sending session.
ProgressLogContents ParseProgressLog(const std::vector<std::string>& lines, const std::string& name);

// Missing file: EProgressLog with a message that says how to start the log.
ProgressLogContents ReadProgressLog(const std::string& name = ProgressLogFileName);
void AppendProgressLog(const ProgressEntry& entry, const std::string& name = ProgressLogFileName);
void AppendSendingEntry(const SendingEntry& entry, const std::string& name = ProgressLogFileName);
void AppendDrillEntry(const DrillEntry& entry, const std::string& name = ProgressLogFileName);

} // namespace kalvo
