// Call and word drills: whole callsigns and words, each sent once at a speed
// that follows the learner.
//
//  - DrillRun: the run's rule. Each answer is compared with its item without
//    regard to case or the blanks around it; a right one adds speed x length
//    to the score (half of it when the item was repeated) and raises the
//    speed by 1 wpm, a wrong one lowers it by 1 wpm, never below MinWpm nor
//    above the ceiling. One repeat is allowed per item. Every character of an
//    item typed wrong or missing counts against that character.
//  - MakeCall: a callsign on the patterns of the world's call areas: a
//    prefix (some with a digit of their own, as S5), the call area's digit,
//    one to three letters; now and then "/P" after it or a portable prefix ("EA8/")
//    before it.
//  - DrillWords: the common words of on-air Morse: abbreviations, Q codes,
//    and the most common English words.
//  - ParseDrillList: a list the learner loads, one item per line. Lines with
//    characters Morse has no code for, or longer than MaxItemLength, are left
//    out and named in a message; a text that is not text (NUL or other
//    control bytes) or holds no item is refused with EDrillList.
#pragma once

#include "common/Errors.h"
#include "common/Rng.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kalvo {

class EDrillList : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

class DrillRun {
public:
    static constexpr int MinWpm = 5;

    struct Result {
        std::string Item;
        std::string Typed;
        int Wpm = 0; // the speed it was sent at
        bool Right = false;
        bool Repeated = false;
        double Score = 0.0;
    };

    DrillRun(std::vector<std::string> items, int startWpm, int ceilingWpm);

    bool Done() const { return Results.size() == Items.size(); }
    const std::string& Current() const { return Items[Results.size()]; }
    int Wpm() const { return Speed; }
    // Whether the current item may be sent again (once); asks for it.
    bool Repeat();
    const Result& Answer(const std::string& typed);

    double Score() const { return Total; }
    int TopWpm() const { return Top; }
    const std::vector<std::string> Items;
    std::vector<Result> Results;
    std::map<char, int> Missed; // characters typed wrong or missing, upper case

private:
    int Speed;
    int Ceiling;
    int Top;
    double Total = 0.0;
    bool Repeated = false;
};

std::string MakeCall(RandomGenerator& random);
const std::vector<std::string>& DrillWords();

struct DrillList {
    std::vector<std::string> Items; // upper case
    std::string Message; // the lines left out, and why; empty when none
};
inline constexpr std::size_t MaxItemLength = 32;
// `codable` tells whether Morse has a code for a character (upper case).
DrillList ParseDrillList(const std::string& text, const std::function<bool(char)>& codable);

} // namespace kalvo
