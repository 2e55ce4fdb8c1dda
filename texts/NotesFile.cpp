#include "texts/NotesFile.h"

#include "common/TextFile.h"

namespace kalvo {

std::vector<std::string> NotesLines(const std::string& text)
{
    return SplitLines(text);
}

std::string NotesText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

void SaveNotes(const std::string& text, const std::string& fileName)
{
    WriteTextLines(fileName, NotesLines(text));
}

std::optional<std::string> LoadNotes(const std::string& fileName)
{
    const std::optional<std::string> found = FindFileIgnoringCase(fileName);
    if (!found)
        return std::nullopt;
    return NotesText(ReadTextLines(*found));
}

} // namespace kalvo
