// Plain 8-bit text files, read and written whole as lists of lines.
//
// Reading: a CR LF pair, a lone CR or a lone LF each end a line; a last line
// without a line break still counts, and an empty file has no lines. Only
// regular files are read, and never with a blocking open: a FIFO, a device, a
// folder or a file that cannot be opened throws EInOutError
// "Cannot open file <name>". A file of more than MaxTextFileBytes throws
// EInOutError "File <name> is too large to open (over 16 MB)" before anything
// is read into memory.
// Writing: every line is followed by CR LF. The text goes to a temporary file in
// the same folder, which then replaces the old file in one rename, so a failed
// write (full disk, file size limit, read-only folder) leaves the previous file
// intact; the failure throws EInOutError "Cannot create file <name>". An existing
// file keeps its permissions (a new one gets the umask's), a symbolic link keeps
// pointing at the file it names, and a name that stands for anything but a
// regular file (FIFO, device, folder) or a file without write permission is
// refused with the same error.
// Names are used as given: relative names are looked up in the current working
// directory at the moment of the call.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kalvo {

// Far above any practice text or book a learner would send (a long novel is
// 2 to 3 MB), yet small enough for the text box to hold and lay out.
inline constexpr long long MaxTextFileBytes = 16LL * 1024 * 1024;

// The whole file as bytes; `shownName` is the name the messages give (the
// window passes the name as the user chose it).
std::string ReadTextFile(const std::string& name);
std::string ReadTextFile(const std::string& name, const std::string& shownName);
std::vector<std::string> ReadTextLines(const std::string& name);
void WriteTextLines(const std::string& name, const std::vector<std::string>& lines);

// Splits a text into lines by the same rules as reading a file.
std::vector<std::string> SplitLines(const std::string& text);

// The name of an existing file in the same folder as `name` whose name equals
// it without regard to ASCII case ("notepad.txt" finds "Notepad.txt"), the
// exact name first; nothing when there is none.
std::optional<std::string> FindFileIgnoringCase(const std::string& name);

} // namespace kalvo
