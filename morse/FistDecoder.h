// FistDecoder: reads a hand's keying as text, following the sender's speed.
//
// It takes the lengths of what was keyed, in order: Mark(seconds) for each
// element (key down), Gap(seconds) for the silence after it (key up). A gap
// parts elements, characters or words by its length in dots; a character comes
// out when the gap that ends it is known (a word adds one space after it), or
// at Flush when keying stops. A pattern the code table does not hold reads "*".
//
// Speed: the decoder keeps a dot length and a dash length of its own, each a
// running average of the marks it took for that kind; a mark is a dash when
// it lies nearer the dash length than the dot length on a log scale, so the
// split follows the sender's own weighting as well as the speed. Element gaps
// refresh the dot length too. Both start from the speed it is given.
// Gaps: up to 2 dots an element gap, up to 5 dots a character gap, longer a
// word gap (the ideal 1, 3 and 7 dots, split between them).
#pragma once

#include "morse/CodeTable.h"

#include <string>

namespace kalvo {

class FistDecoder {
public:
    FistDecoder(const MorseCodeTable& table, double startWpm);

    void Mark(double seconds);
    std::string Gap(double seconds); // the text it completed, or ""
    std::string Flush(); // the character being keyed, if any

    double DotSeconds() const { return Dot; }
    double DashSeconds() const { return Dash; }

private:
    std::string Character();

    const MorseCodeTable& Table;
    double Dot;
    double Dash;
    std::string Pattern; // "1" and "3" as the code table writes them
};

} // namespace kalvo
