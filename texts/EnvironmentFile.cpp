#include "texts/EnvironmentFile.h"

#include "common/Convert.h"
#include "common/TextFile.h"

namespace kalvo {

std::vector<std::string> EnvironmentLines(const EnvironmentSettings& settings)
{
    std::vector<std::string> lines = {
        settings.PracticeNumber,
        std::to_string(settings.OverallSpeedPosition),
        std::to_string(settings.CharSpeedPosition),
        std::to_string(settings.FrequencyPosition),
        settings.CharactersInUse,
    };
    if (!settings.LearningOrder.empty() || !settings.BandConditions.empty())
        lines.push_back(settings.LearningOrder);
    if (!settings.BandConditions.empty())
        lines.push_back(settings.BandConditions);
    return lines;
}

void SaveEnvironment(const EnvironmentSettings& settings, const std::string& fileName)
{
    WriteTextLines(fileName, EnvironmentLines(settings));
}

EnvironmentReader EnvironmentReader::Read(const std::string& fileName)
{
    return EnvironmentReader(ReadTextLines(fileName));
}

std::string EnvironmentReader::Line(int number) const
{
    if (number < 1 || static_cast<std::size_t>(number) > lines_.size())
        return {};
    return lines_[static_cast<std::size_t>(number) - 1];
}

void LoadEnvironment(const EnvironmentTarget& target, const std::string& fileName)
{
    const EnvironmentReader file = EnvironmentReader::Read(fileName);
    if (target.LineBuffer)
        target.LineBuffer(file.Lines());
    if (target.PracticeNumber)
        target.PracticeNumber(file.Line(1));
    // Each conversion happens right before its own step, so a bad line 3
    // leaves line 2's slider already moved.
    const int overall = StrToInt(file.Line(2));
    if (target.OverallSpeed)
        target.OverallSpeed(overall);
    const int character = StrToInt(file.Line(3));
    if (target.CharSpeed)
        target.CharSpeed(character);
    const int frequency = StrToInt(file.Line(4));
    if (target.Frequency)
        target.Frequency(frequency);
    if (target.CharactersInUse)
        target.CharactersInUse(file.Line(5));
    if (target.LearningOrder)
        target.LearningOrder(file.Line(6));
    if (target.BandConditions)
        target.BandConditions(file.Line(7));
}

} // namespace kalvo
