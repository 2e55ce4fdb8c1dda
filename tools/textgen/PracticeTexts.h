// The 950 practice texts of the files "P0" to "P9".
//
// Contract: GeneratePracticeTexts() returns the texts 1 to 950 in order, the
// same ones on every run and every machine (its own fixed random sequence, no
// library distributions). Each text is one line of at most 250 characters,
// never empty, made only of characters that have a Morse pattern (letters,
// digits, . , ? / = + - : ;) and blanks. Texts grow from a few words at text 1
// to a few lines' worth near 950, and rotate through plain English, common
// word drills, radio contacts, numbers, punctuation, code groups and call
// signs. PracticeFileLines(k) gives the lines of file "P<k>": 100 texts, 50 in
// "P9".
#pragma once

#include <string>
#include <vector>

namespace kalvo::textgen {

inline constexpr int PracticeTextCount = 950;
inline constexpr std::size_t MaxPracticeTextLength = 250;

std::vector<std::string> GeneratePracticeTexts();
std::vector<std::string> PracticeFileLines(const std::vector<std::string>& texts, int fileIndex);

// Writes "P0".."P9" into `folder` (CR LF after every line).
void WritePracticeFiles(const std::string& folder);

} // namespace kalvo::textgen
