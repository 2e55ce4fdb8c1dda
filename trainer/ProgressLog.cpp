#include "trainer/ProgressLog.h"

#include "common/TextFile.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace kalvo {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

template <typename T>
std::optional<T> Number(std::string_view text)
{
    T value{};
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end)
        return std::nullopt;
    return value;
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

bool IsIsoUtc(std::string_view text)
{
    // YYYY-MM-DDTHH:MM:SSZ
    constexpr std::string_view shape = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == 'd' ? text[i] < '0' || text[i] > '9' : text[i] != shape[i])
            return false;
    return true;
}

bool StartsWithMagic(const std::string& line)
{
    return line.rfind(std::string(ProgressLogMagic) + ";", 0) == 0;
}

} // namespace

std::string IsoUtc(std::chrono::system_clock::time_point at)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

ProgressEntry MakeProgressEntry(const LessonRecord& record, const Trainer& trainer, LessonRecord::Clock::time_point now,
                                std::chrono::system_clock::time_point wallClock)
{
    ProgressEntry entry;
    entry.When = IsoUtc(wallClock);
    entry.LengthSeconds = static_cast<long>(record.LengthSeconds(now) + 0.5);
    entry.InUse = trainer.ActiveCount;
    entry.MeanWeight = trainer.MeanWeight;
    entry.Rating = trainer.Rating();
    const std::string inUse = trainer.LessonOrder.substr(0, static_cast<std::size_t>(std::max(0, trainer.ActiveCount)));
    for (const LessonRecord::CharacterSummary& row : record.Summarise(inUse))
        entry.Characters.push_back({row.Character, row.Asked, row.Hits, row.TimeOuts, row.MedianReaction});
    return entry;
}

std::vector<CharacterProgress> RecentProgress(const std::vector<ProgressEntry>& entries, std::size_t lessons)
{
    std::vector<CharacterProgress> rows;
    std::vector<std::vector<double>> medians;
    const std::size_t first = entries.size() > lessons ? entries.size() - lessons : 0;
    for (std::size_t i = first; i < entries.size(); ++i) {
        for (const ProgressEntry::Character& c : entries[i].Characters) {
            if (c.Asked == 0)
                continue;
            auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.Name == c.Name; });
            if (row == rows.end()) {
                rows.emplace_back().Name = c.Name;
                medians.emplace_back();
                row = rows.end() - 1;
            }
            ++row->Lessons;
            row->Asked += c.Asked;
            row->Hits += c.Hits;
            if (c.MedianReaction)
                medians[row - rows.begin()].push_back(*c.MedianReaction);
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].MedianReaction = Median(medians[i]);
    return rows;
}

std::string FormatProgressEntry(const ProgressEntry& entry)
{
    std::string line = std::string(ProgressLogMagic) + ";" + entry.When + ";" + std::to_string(entry.LengthSeconds)
        + ";" + std::to_string(entry.InUse) + ";" + Fixed(entry.MeanWeight, 3) + ";" + std::to_string(entry.Rating);
    for (const ProgressEntry::Character& c : entry.Characters) {
        line += ";";
        line += c.Name;
        line += ":" + std::to_string(c.Asked) + ":" + std::to_string(c.Hits) + ":" + std::to_string(c.TimeOuts) + ":"
            + (c.MedianReaction ? Fixed(*c.MedianReaction, 3) : std::string("-"));
    }
    return line;
}

std::optional<ProgressEntry> ParseProgressEntry(const std::string& line)
{
    const std::vector<std::string_view> fields = Split(line, ';');
    if (fields.size() < 6 || fields[0] != ProgressLogMagic || !IsIsoUtc(fields[1]))
        return std::nullopt;
    ProgressEntry entry;
    entry.When = std::string(fields[1]);
    const auto length = Number<long>(fields[2]);
    const auto inUse = Number<int>(fields[3]);
    const auto mean = Number<double>(fields[4]);
    const auto rating = Number<int>(fields[5]);
    if (!length || *length < 0 || !inUse || *inUse < 1 || *inUse > Trainer::CharacterCount || !mean || !rating)
        return std::nullopt;
    entry.LengthSeconds = *length;
    entry.InUse = *inUse;
    entry.MeanWeight = *mean;
    entry.Rating = *rating;
    for (std::size_t i = 6; i < fields.size(); ++i) {
        const std::vector<std::string_view> parts = Split(fields[i], ':');
        if (parts.size() != 5 || parts[0].size() != 1)
            return std::nullopt;
        ProgressEntry::Character c;
        c.Name = parts[0][0];
        const auto asked = Number<int>(parts[1]);
        const auto hits = Number<int>(parts[2]);
        const auto timeOuts = Number<int>(parts[3]);
        if (!asked || !hits || !timeOuts || *hits < 0 || *timeOuts < 0 || *hits + *timeOuts > *asked)
            return std::nullopt;
        c.Asked = *asked;
        c.Hits = *hits;
        c.TimeOuts = *timeOuts;
        if (parts[4] != "-") {
            c.MedianReaction = Number<double>(parts[4]);
            if (!c.MedianReaction)
                return std::nullopt;
        }
        entry.Characters.push_back(c);
    }
    return entry;
}

ProgressLogContents ParseProgressLog(const std::vector<std::string>& lines, const std::string& name)
{
    ProgressLogContents contents;
    bool any = false;
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        any = any || StartsWithMagic(line);
        if (auto entry = ParseProgressEntry(line))
            contents.Entries.push_back(*entry);
        else
            ++contents.Damaged;
    }
    if (contents.Damaged > 0 && !any)
        throw EProgressLog(name + " is not a Kalvo progress log.");
    return contents;
}

ProgressLogContents ReadProgressLog(const std::string& name)
{
    std::error_code error;
    if (!std::filesystem::exists(name, error))
        throw EProgressLog("There is no progress log " + name
                           + " in this folder yet: \"Save Lesson to Progress Log\" starts it.");
    return ParseProgressLog(ReadTextLines(name), name);
}

void AppendProgressLog(const ProgressEntry& entry, const std::string& name)
{
    std::vector<std::string> lines;
    std::error_code error;
    if (std::filesystem::exists(name, error)) {
        lines = ReadTextLines(name);
        ParseProgressLog(lines, name); // refuses a file that is not this log
    }
    lines.push_back(FormatProgressEntry(entry));
    WriteTextLines(name, lines);
}

} // namespace kalvo
