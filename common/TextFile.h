// Plain 8-bit text files, read and written whole as lists of lines.
//
// Reading: a CR LF pair, a lone CR or a lone LF each end a line; a last line
// without a line break still counts, and an empty file has no lines. A file that
// cannot be opened throws EInOutError "Cannot open file <name>".
// Writing: every line is followed by CR LF. The text goes to a temporary file in
// the same folder, which then replaces the old file in one rename, so a failed
// write (full disk, read-only folder) leaves the previous file intact; the
// failure throws EInOutError "Cannot create file <name>".
// Names are used as given: relative names are looked up in the current working
// directory at the moment of the call.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kalvo {

std::vector<std::string> ReadTextLines(const std::string& name);
void WriteTextLines(const std::string& name, const std::vector<std::string>& lines);

// Splits a text into lines by the same rules as reading a file.
std::vector<std::string> SplitLines(const std::string& text);

// The name of an existing file in the same folder as `name` whose name equals
// it without regard to ASCII case ("notepad.txt" finds "Notepad.txt"), the
// exact name first; nothing when there is none.
std::optional<std::string> FindFileIgnoringCase(const std::string& name);

} // namespace kalvo
