// The notepad's file "Notepad.txt" in the current working directory.
//
// Contract:
//  - Saving writes the notes as lines, each followed by CR LF; a text is split
//    into lines as a file is read (CR LF, lone CR, lone LF), so empty notes
//    give an empty file and "abc" gives "abc" CR LF. Failure throws
//    EInOutError "Cannot create file Notepad.txt"; the old file stays whole.
//  - Loading looks for the file without regard to case, preferring the exact
//    name "Notepad.txt" that saving writes, and returns the text with every
//    line followed by "\n", so saving it again gives the same file. Without a
//    file it returns nothing; a file that cannot be read throws EInOutError
//    "Cannot open file <found name>".
//  - The text is kept as bytes; the window decides how to show them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kalvo {

inline constexpr const char* NotesFileName = "Notepad.txt";

std::vector<std::string> NotesLines(const std::string& text);
std::string NotesText(const std::vector<std::string>& lines);

void SaveNotes(const std::string& text, const std::string& fileName = NotesFileName);
std::optional<std::string> LoadNotes(const std::string& fileName = NotesFileName);

} // namespace kalvo
