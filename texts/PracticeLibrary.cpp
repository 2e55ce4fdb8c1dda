#include "texts/PracticeLibrary.h"

#include "common/Convert.h"
#include "common/TextFile.h"

#include <cmath>

namespace kalvo {

bool PracticeLibrary::IsAccessCode(const std::string& text)
{
    return text == "wu";
}

int PracticeLibrary::FileIndex(int number)
{
    return static_cast<int>(std::floor((static_cast<double>(number) - 1.0) / 100.0));
}

std::string PracticeLibrary::FileName(int number)
{
    return "P" + std::to_string(FileIndex(number));
}

int PracticeLibrary::LineNumber(int number)
{
    return number - TextsPerFile * FileIndex(number);
}

std::string PracticeLibrary::LineOf(const std::vector<std::string>& lines, int lineNumber)
{
    if (lineNumber < 1 || static_cast<std::size_t>(lineNumber) > lines.size())
        return {};
    return lines[static_cast<std::size_t>(lineNumber) - 1];
}

int PracticeLibrary::NextNumber(int number)
{
    return number < LastAdvancingNumber ? number + 1 : number;
}

PracticeLibrary::Result PracticeLibrary::Fetch(int number)
{
    Result result;
    result.Number = number;
    if (InRange(result.Number)) {
        result.FileLines = ReadTextLines(FileName(result.Number));
        result.Loaded = true;
        result.Text = LineOf(result.FileLines, LineNumber(result.Number));
    }
    result.Advance = result.Number < LastAdvancingNumber;
    result.Next = NextNumber(result.Number);
    return result;
}

} // namespace kalvo
