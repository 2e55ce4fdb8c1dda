// ProgressLog: the learner's lessons over the days, in "Kalvoprogress.txt" in
// the working folder, written and read only on the user's command.
//
// One lesson per line (8-bit text, CR LF), fields separated by ";":
//   KalvoProgress1;<UTC date and time, ISO 8601>;<length, s>;<characters in
//   use>;<mean weight>;<rating>;<character entry>;...
// and each character entry c:asked:hits:time-outs:median reaction (seconds
// to three decimals, "-" when there was none), e.g.
//   KalvoProgress1;2026-12-09T06:30:00Z;312;5;0.360;13;q:12:10:1:0.643;7:8:6:0:-
// The first field names the format, so a file of anything else is told apart:
// a file with lines none of which begins with it is not this log
// (EProgressLog). A line that begins otherwise, or does not parse whole, is
// damaged: reading skips and counts it; appending keeps it as it was.
// Numbers are written and read without regard to the user's locale.
// Appending reads the old file (16 MB limit of every text file) and writes it
// whole with the new line through the safe write of common/TextFile, so a
// failed write leaves the old log whole ("Cannot create file ...").
#pragma once

#include "common/Errors.h"
#include "trainer/LessonRecord.h"
#include "trainer/Trainer.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kalvo {

inline constexpr const char* ProgressLogFileName = "Kalvoprogress.txt";
inline constexpr const char* ProgressLogMagic = "KalvoProgress1";

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
    };
    std::string When; // e.g. "2026-12-09T06:30:00Z"
    long LengthSeconds = 0;
    int InUse = 0;
    double MeanWeight = 0;
    int Rating = 0;
    std::vector<Character> Characters;
};

struct ProgressLogContents {
    std::vector<ProgressEntry> Entries; // in the file's order
    int Damaged = 0;
};

// Per character over the last `lessons` entries (characters in the order first
// met): lessons it was asked in, asked, hits, and the median of its lessons'
// median reaction times.
struct CharacterProgress {
    char Name = 0;
    int Lessons = 0;
    int Asked = 0;
    int Hits = 0;
    std::optional<double> MedianReaction;
};
std::vector<CharacterProgress> RecentProgress(const std::vector<ProgressEntry>& entries, std::size_t lessons);

// The lesson as the log keeps it: the characters in use with their counts.
ProgressEntry MakeProgressEntry(const LessonRecord& record, const Trainer& trainer, LessonRecord::Clock::time_point now,
                                std::chrono::system_clock::time_point wallClock);
std::string IsoUtc(std::chrono::system_clock::time_point at);

std::string FormatProgressEntry(const ProgressEntry& entry);
std::optional<ProgressEntry> ParseProgressEntry(const std::string& line);
// Throws EProgressLog for lines of which none is a lesson.
ProgressLogContents ParseProgressLog(const std::vector<std::string>& lines, const std::string& name);

// Missing file: EProgressLog with a message that says how to start the log.
ProgressLogContents ReadProgressLog(const std::string& name = ProgressLogFileName);
void AppendProgressLog(const ProgressEntry& entry, const std::string& name = ProgressLogFileName);

} // namespace kalvo
