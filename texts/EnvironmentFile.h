// The environment file "Kalvoinit.txt": the main settings, saved and loaded
// only on the user's command.
//
// Contract:
//  - Five lines, each ended by CR LF: the practice number as typed (the access
//    code included); the positions of the overall-speed, character-speed and
//    frequency sliders as decimal integers; the count of characters in use as
//    typed. Slider positions, not speeds: in fast mode the file still holds
//    the position. The two typed lines are kept as text, whatever they hold,
//    and come back exactly as they were. A sixth line holds the trainer's
//    learning order when the learner chose another than the program's own;
//    with the program's own the file is the five lines alone, as it always
//    was, and earlier versions, which read five lines, load either. A
//    seventh line holds the band conditions when any differs from its
//    default (the sixth is then empty for the program's own order); versions
//    that read six lines load it too.
//  - Saving writes through kalvo::WriteTextLines: the old file is replaced in
//    one step or kept whole; a failure throws EInOutError
//    "Cannot create file Kalvoinit.txt".
//  - Loading reads the whole file first ("Cannot open file Kalvoinit.txt" when
//    it is missing; nothing has changed then), then applies the lines one step
//    at a time, in this order, through the window's callbacks:
//        LineBuffer(all lines)           -> the hidden line buffer
//        PracticeNumber(line 1)          -> the practice number
//        OverallSpeed(StrToInt(line 2))  -> the overall-speed slider moved
//        CharSpeed(StrToInt(line 3))     -> the character-speed slider moved
//        Frequency(StrToInt(line 4))     -> the frequency slider moved
//        CharactersInUse(line 5)         -> the start count, then the count in use
//        LearningOrder(line 6)           -> the learning order ("" without the line)
//        BandConditions(line 7)          -> the band conditions ("" without the line)
//    A line past the end of the file reads as empty. A conversion that fails
//    throws EConvertError ("'' is not a valid integer value" for a missing
//    line) at its step; the steps before it stay applied, the later ones do
//    not run. Moving a slider clamps the value to its range and runs the
//    slider's change handler only when the position really changes, which is
//    what QAbstractSlider::setValue does by itself.
//  - File names are relative to the current working directory of the moment.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kalvo {

inline constexpr const char* EnvironmentFileName = "Kalvoinit.txt";

struct EnvironmentSettings {
    std::string PracticeNumber; // as typed: a number or the access code
    int OverallSpeedPosition = 0; // slider positions
    int CharSpeedPosition = 0;
    int FrequencyPosition = 0;
    std::string CharactersInUse; // as typed
    std::string LearningOrder; // as stored; empty for the program's own order
    std::string BandConditions; // as stored; empty when all are at their defaults
};

// The five (six, seven) lines to save, in file order (also what the line buffer shows).
std::vector<std::string> EnvironmentLines(const EnvironmentSettings& settings);

// Writes the lines to `fileName`.
void SaveEnvironment(const EnvironmentSettings& settings, const std::string& fileName = EnvironmentFileName);

// The lines of a read environment file, with "past the end reads as empty".
class EnvironmentReader {
public:
    explicit EnvironmentReader(std::vector<std::string> lines) : lines_(std::move(lines)) { }
    static EnvironmentReader Read(const std::string& fileName = EnvironmentFileName);

    const std::vector<std::string>& Lines() const { return lines_; }
    std::string Line(int number) const; // counted from 1

private:
    std::vector<std::string> lines_;
};

// The window's steps of "LoadEnvironment"; an unset callback is skipped.
struct EnvironmentTarget {
    std::function<void(const std::vector<std::string>&)> LineBuffer;
    std::function<void(const std::string&)> PracticeNumber;
    std::function<void(int)> OverallSpeed;
    std::function<void(int)> CharSpeed;
    std::function<void(int)> Frequency;
    std::function<void(const std::string&)> CharactersInUse;
    std::function<void(const std::string&)> LearningOrder;
    std::function<void(const std::string&)> BandConditions;
};

// Reads `fileName` and applies it step by step as described above.
void LoadEnvironment(const EnvironmentTarget& target, const std::string& fileName = EnvironmentFileName);

} // namespace kalvo
