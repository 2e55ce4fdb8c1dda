// Random drill strings made from a set of characters the user typed.
//
// Contract:
//  - The string holds 63 accepted characters of the set, with one blank after
//    every fifth draw (accepted or dropped), as one line of text.
//  - Each draw takes r from the program's one random generator,
//    k = RoundHalfEven(r * 100) (0..100), and the set's character at position
//    (k mod L) + 1, L being the set's length. Every character of the set is one
//    candidate: a character typed twice is drawn twice as often.
//  - No character stands more than twice in a row: a draw that would make a
//    third is dropped. The run starts from a blank, so a blank in the set drawn
//    first counts as a repeat. Blanks written between groups do not break runs.
//  - A set whose drawable characters are all the same ("E", "AAA") could never
//    give 63 characters under that rule; it yields 63 of that character in
//    groups of five instead, as the user asked to drill that one character.
//    Only the first 101 characters of a set can be drawn (k is at most 100),
//    so those are the ones compared. Every other set ends: the generator visits
//    every seed in its period, so a different character always comes.
//  - GenerateRandomString seeds the generator from the clock first, as the
//    "Generate String" command does; DrawRandomString uses it as it stands.
//  - An empty set yields an empty string and draws nothing. The window must
//    test for it first, because then the text box is left untouched.
#pragma once

#include "common/Rng.h"

#include <array>
#include <string>

namespace kalvo {

inline constexpr int RandomStringLength = 63;
inline constexpr int RandomStringGroupSize = 5;

// The four lines that "RandomChars" writes into the text box.
inline constexpr std::array<const char*, 4> RandomCharsInstructions = {
    "Enter characters, no spaces, in the `Enter Characters' box.",
    "Then click the button labelled `Generate'",
    "A random string of them will appear in this box.",
    "After they appear, click the `send text' button to send them",
};

// True when every character that a draw can reach is the same one.
bool IsSingleCharacterSet(const std::string& charSet);

std::string DrawRandomString(const std::string& charSet, RandomGenerator& rng);
std::string GenerateRandomString(const std::string& charSet, RandomGenerator& rng);

} // namespace kalvo
