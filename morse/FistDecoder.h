// FistDecoder: reads a hand's keying as text, following the sender's speed.
//
// It takes the lengths of what was keyed, in order: Mark(seconds) for each
// element (key down), Gap(seconds) for the silence after it (key up). A gap
// parts elements, characters or words by its length in dots; a character comes
// out when the silence after it is long enough (Silence, while the key stays
// up) or its gap is known (Gap); a word adds one space after it. Flush gives
// what is left when keying stops. A pattern the code table does not hold reads "*".
//
// Speed: the decoder keeps a dot length and a dash length of its own, each a
// running average of the marks it took for that kind; a mark is a dash when
// it lies nearer the dash length than the dot length on a log scale, so the
// split follows the sender's own weighting as well as the speed. Element gaps
// refresh the dot length too. Both start from the speed it is given.
// Gaps: up to 2 dots an element gap, up to 5 dots a character gap, longer a
// word gap (the ideal 1, 3 and 7 dots, split between them).
// Elements() keeps every element as it was read, for a report on the fist.
#pragma once

#include "morse/CodeTable.h"

#include <string>
#include <vector>

namespace kalvo {

// One keyed element as the decoder read it, with the gap that followed it.
struct KeyedElement {
    double Mark = 0; // seconds the key was down
    bool Dash = false;
    double Dot = 0; // the decoder's dot length when it read the element, seconds
    double Gap = 0; // seconds the key was up after it; 0 until known
    enum class GapKind { None, Element, Character, Word } Ends = GapKind::None;
};

class FistDecoder {
public:
    FistDecoder(const MorseCodeTable& table, double startWpm);

    void Mark(double seconds);
    std::string Gap(double seconds); // the text it completed, or ""
    // While the key is still up, `seconds` after it went up: the character
    // as soon as the silence is longer than an element gap, and the word's
    // space once it is longer than a character gap, each once; Gap at the
    // next key down then gives only what Silence has not.
    std::string Silence(double seconds);
    std::string Flush(); // the character being keyed, if any

    double DotSeconds() const { return Dot; }
    double DashSeconds() const { return Dash; }
    const std::vector<KeyedElement>& Elements() const { return FElements; }

private:
    std::string Character();

    const MorseCodeTable& Table;
    double Dot;
    double Dash;
    std::string Pattern; // "1" and "3" as the code table writes them
    std::vector<KeyedElement> FElements;
    bool SpaceDue = false; // a character came out since the last space
};

} // namespace kalvo
