// The word lists the practice texts are made of: plain English sentences and
// their parts, the commonest English words, and what a radio contact talks
// about. Only letters, digits, blanks and the signs the code can send appear:
// no apostrophes, quotes, brackets or exclamation marks. The generator's
// output depends on every list's order, so an entry is added only together
// with new practice files.
#pragma once

#include <string>
#include <vector>

namespace kalvo::textgen {

using Words = std::vector<std::string>;

struct Country {
    Words prefixes;
    Words towns;
};

extern const Words ShortSentences;
extern const Words MediumSentences;
extern const Words LongSentences;
extern const Words Subjects;
extern const Words Actions;
extern const Words Places;
extern const Words Times;
extern const Words CommonWords;
extern const std::vector<Country> Countries;
extern const Words Names;
extern const Words Rigs;
extern const Words Antennas;
extern const Words Weather;
extern const Words Keys;

} // namespace kalvo::textgen
