#include "trainer/ProgressLog.h"

#include "common/TextFile.h"
#include "trainer/LearningOrder.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace kalvo {

namespace {

constexpr const char* OrderField = "order=";

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

template <typename T>
std::optional<T> NumberIn(std::string_view text, T low, T high)
{
    const auto value = Number<T>(text);
    // Written so that a NaN is out of every range.
    if (!value || !(*value >= low && *value <= high))
        return std::nullopt;
    return value;
}

// A number held to the three decimals the log writes, so that it reads back the same.
std::optional<double> ThreeDecimals(std::optional<double> value)
{
    return value ? Number<double>(Fixed(*value, 3)) : std::nullopt;
}

bool IsIsoUtc(std::string_view text)
{
    // YYYY-MM-DDTHH:MM:SSZ, a real date and time of day
    constexpr std::string_view shape = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == 'd' ? text[i] < '0' || text[i] > '9' : text[i] != shape[i])
            return false;
    const auto field = [&](std::size_t at, std::size_t length) { return *Number<int>(text.substr(at, length)); };
    const std::chrono::year_month_day date{std::chrono::year(field(0, 4)), std::chrono::month(field(5, 2)),
                                           std::chrono::day(field(8, 2))};
    return date.ok() && date.year() >= std::chrono::year(1970) && field(11, 2) < 24 && field(14, 2) < 60
        && field(17, 2) < 60;
}

// A printable 8-bit character that does not stand for a separator.
bool IsCharacterName(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte > ' ' && byte != 0x7F && c != ';' && c != ':';
}

bool StartsWith(const std::string& line, const char* magic)
{
    return line.rfind(std::string(magic) + ";", 0) == 0;
}

// A speed held to the one decimal the log writes.
std::optional<double> OneDecimal(std::optional<double> value)
{
    return value ? Number<double>(Fixed(*value, 1)) : std::nullopt;
}

// Reads the old log, if any, and writes it whole again with the new line;
// a line that would not read back is refused with `refusal`.
void AppendLine(const std::string& line, bool readsBack, const char* refusal, const std::string& name)
{
    std::vector<std::string> lines;
    std::error_code error;
    if (std::filesystem::exists(name, error)) {
        lines = ReadTextLines(name);
        ParseProgressLog(lines, name); // refuses a file that is not this log
    }
    if (!readsBack)
        throw EProgressLog(refusal);
    lines.push_back(line);
    WriteTextLines(name, lines);
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
    if (!trainer.LessonOrder.empty())
        entry.Order = trainer.LessonOrder;
    const std::string inUse = trainer.LessonOrder.substr(0, static_cast<std::size_t>(std::max(0, trainer.ActiveCount)));
    for (const LessonRecord::CharacterSummary& row : record.Summarise(inUse))
        entry.Characters.push_back({row.Character, row.Asked, row.Hits, row.TimeOuts, row.MedianReaction});
    return entry;
}

SendingEntry MakeSendingEntry(double wpm, std::optional<int> accuracyPercent, int characters, double lengthSeconds,
                              std::chrono::system_clock::time_point wallClock)
{
    SendingEntry entry;
    entry.When = IsoUtc(wallClock);
    entry.LengthSeconds = static_cast<long>(lengthSeconds + 0.5);
    entry.Wpm = OneDecimal(wpm).value_or(wpm);
    entry.Accuracy = accuracyPercent.value_or(-1);
    entry.Characters = characters;
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
    // The program's own order writes no field, so its lines stay as they were.
    if (entry.Order != Trainer::DefaultLessonOrder)
        line += std::string(";") + OrderField + entry.Order;
    return line;
}

std::optional<ProgressEntry> ParseProgressEntry(const std::string& line)
{
    std::vector<std::string_view> fields = Split(line, ';');
    ProgressEntry entry;
    if (fields.size() > 6 && fields.back().starts_with(OrderField)) {
        entry.Order = std::string(fields.back().substr(std::string_view(OrderField).size()));
        if (!IsLearningOrder(entry.Order))
            return std::nullopt;
        fields.pop_back();
    }
    if (fields.size() < 6 || fields.size() > 6 + Trainer::CharacterCount || fields[0] != ProgressLogMagic
        || !IsIsoUtc(fields[1]))
        return std::nullopt;
    entry.When = std::string(fields[1]);
    const auto length = NumberIn<long>(fields[2], 0, MaxLessonSeconds);
    const auto inUse = NumberIn<int>(fields[3], 1, Trainer::CharacterCount);
    const auto mean = ThreeDecimals(NumberIn<double>(fields[4], 0.0, 1.0));
    const auto rating = NumberIn<int>(fields[5], 0, MaxRating);
    if (!length || !inUse || !mean || !rating || *inUse > static_cast<int>(entry.Order.size()))
        return std::nullopt;
    entry.LengthSeconds = *length;
    entry.InUse = *inUse;
    entry.MeanWeight = *mean;
    entry.Rating = *rating;
    for (std::size_t i = 6; i < fields.size(); ++i) {
        const std::vector<std::string_view> parts = Split(fields[i], ':');
        if (parts.size() != 5 || parts[0].size() != 1 || !IsCharacterName(parts[0][0]))
            return std::nullopt;
        ProgressEntry::Character c;
        c.Name = parts[0][0];
        for (const ProgressEntry::Character& before : entry.Characters)
            if (before.Name == c.Name)
                return std::nullopt;
        const auto asked = NumberIn<int>(parts[1], 0, MaxLessonQuestions);
        const auto hits = NumberIn<int>(parts[2], 0, MaxLessonQuestions);
        const auto timeOuts = NumberIn<int>(parts[3], 0, MaxLessonQuestions);
        if (!asked || !hits || !timeOuts || *hits + *timeOuts > *asked)
            return std::nullopt;
        c.Asked = *asked;
        c.Hits = *hits;
        c.TimeOuts = *timeOuts;
        if (parts[4] != "-") {
            c.MedianReaction = ThreeDecimals(NumberIn<double>(parts[4], MinReactionSeconds, *length + 1.0));
            if (!c.MedianReaction)
                return std::nullopt;
        }
        entry.Characters.push_back(c);
    }
    return entry;
}

std::string FormatSendingEntry(const SendingEntry& entry)
{
    return std::string(SendingLogMagic) + ";" + entry.When + ";" + std::to_string(entry.LengthSeconds) + ";"
        + Fixed(entry.Wpm, 1) + ";" + (entry.Accuracy < 0 ? std::string("-") : std::to_string(entry.Accuracy)) + ";"
        + std::to_string(entry.Characters);
}

std::optional<SendingEntry> ParseSendingEntry(const std::string& line)
{
    const std::vector<std::string_view> fields = Split(line, ';');
    if (fields.size() != 6 || fields[0] != SendingLogMagic || !IsIsoUtc(fields[1]))
        return std::nullopt;
    const auto length = NumberIn<long>(fields[2], 0, MaxLessonSeconds);
    const auto wpm = OneDecimal(NumberIn<double>(fields[3], 0.0, MaxSendingWpm));
    const auto accuracy = fields[4] == "-" ? std::optional<int>(-1) : NumberIn<int>(fields[4], 0, 100);
    const auto characters = NumberIn<int>(fields[5], 0, MaxSentCharacters);
    if (!length || !wpm || !accuracy || !characters)
        return std::nullopt;
    return SendingEntry{std::string(fields[1]), *length, *wpm, *accuracy, *characters};
}

std::string FormatDrillEntry(const DrillEntry& entry)
{
    std::string missed;
    for (const auto& [c, n] : entry.Missed)
        missed += (missed.empty() ? "" : " ") + std::to_string(static_cast<unsigned char>(c)) + ":" + std::to_string(n);
    return std::string(DrillLogMagic) + ";" + entry.When + ";" + entry.Kind + ";" + std::to_string(entry.Items) + ";"
        + Fixed(entry.Score, 1) + ";" + std::to_string(entry.StartWpm) + ";" + std::to_string(entry.EndWpm) + ";"
        + std::to_string(entry.TopWpm) + ";" + (missed.empty() ? std::string("-") : missed);
}

std::optional<DrillEntry> ParseDrillEntry(const std::string& line)
{
    const std::vector<std::string_view> fields = Split(line, ';');
    if (fields.size() != 9 || fields[0] != DrillLogMagic || !IsIsoUtc(fields[1])
        || (fields[2] != "calls" && fields[2] != "words" && fields[2] != "list"))
        return std::nullopt;
    DrillEntry e;
    e.When = std::string(fields[1]);
    e.Kind = std::string(fields[2]);
    const auto items = NumberIn<int>(fields[3], 1, 50);
    const auto score = NumberIn<double>(fields[4], 0.0, 50.0 * 60 * 32);
    const auto start = NumberIn<int>(fields[5], 5, 60);
    const auto end = NumberIn<int>(fields[6], 5, 60);
    const auto top = NumberIn<int>(fields[7], 5, 60);
    if (!items || !score || !start || !end || !top || Fixed(*score, 1) != fields[4])
        return std::nullopt;
    e.Items = *items;
    e.Score = *score;
    e.StartWpm = *start;
    e.EndWpm = *end;
    e.TopWpm = *top;
    if (fields[8] != "-") {
        for (const std::string_view pair : Split(fields[8], ' ')) {
            const std::vector<std::string_view> parts = Split(pair, ':');
            const auto code = parts.size() == 2 ? NumberIn<int>(parts[0], 33, 255) : std::nullopt;
            const auto count = parts.size() == 2 ? NumberIn<int>(parts[1], 1, 50 * 32) : std::nullopt;
            if (!code || !count || !e.Missed.emplace(static_cast<char>(*code), *count).second)
                return std::nullopt;
        }
    }
    return e;
}

namespace {

// "Kalvo", a name and a number: a kind of line from a later version.
bool LaterKind(const std::string& line)
{
    const std::string_view kind = std::string_view(line).substr(0, line.find(';'));
    if (kind.size() < 7 || kind.substr(0, 5) != "Kalvo" || !std::isupper(static_cast<unsigned char>(kind[5])))
        return false;
    const auto digits = kind.find_first_of("0123456789");
    return digits != std::string_view::npos && digits > 5
        && std::all_of(kind.begin() + 6, kind.begin() + long(digits),
                       [](char c) { return std::isalpha(static_cast<unsigned char>(c)); })
        && std::all_of(kind.begin() + long(digits), kind.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })
        && kind != ProgressLogMagic && kind != SendingLogMagic && kind != DrillLogMagic;
}

} // namespace

ProgressLogContents ParseProgressLog(const std::vector<std::string>& lines, const std::string& name)
{
    ProgressLogContents contents;
    bool any = false;
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        const bool sending = StartsWith(line, SendingLogMagic);
        const bool drill = StartsWith(line, DrillLogMagic);
        any = any || sending || drill || StartsWith(line, ProgressLogMagic);
        if (LaterKind(line)) {
            any = true;
            continue;
        }
        if (drill) {
            if (auto entry = ParseDrillEntry(line))
                contents.Drills.push_back(*entry);
            else
                ++contents.Damaged;
        } else if (sending) {
            if (auto entry = ParseSendingEntry(line))
                contents.Sending.push_back(*entry);
            else
                ++contents.Damaged;
        } else if (auto entry = ParseProgressEntry(line)) {
            contents.Entries.push_back(*entry);
        } else {
            ++contents.Damaged;
        }
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
                           + " in this folder yet: \"Save Lesson to Progress Log\" starts it (or"
                             " \"Save to Progress Log\" in Sending Practice).");
    return ParseProgressLog(ReadTextLines(name), name);
}

void AppendProgressLog(const ProgressEntry& entry, const std::string& name)
{
    const std::string line = FormatProgressEntry(entry);
    AppendLine(line, ParseProgressEntry(line).has_value(),
               entry.LengthSeconds > MaxLessonSeconds
                   ? "A lesson longer than a day cannot be saved to the progress log."
                   : "This lesson's figures are outside what the progress log can keep.",
               name);
}

void AppendDrillEntry(const DrillEntry& entry, const std::string& name)
{
    const std::string line = FormatDrillEntry(entry);
    AppendLine(line, ParseDrillEntry(line).has_value(),
               "This drill's figures are outside what the progress log can keep.", name);
}

void AppendSendingEntry(const SendingEntry& entry, const std::string& name)
{
    const std::string line = FormatSendingEntry(entry);
    AppendLine(line, ParseSendingEntry(line).has_value(),
               entry.LengthSeconds > MaxLessonSeconds
                   ? "A sending session longer than a day cannot be saved to the progress log."
                   : "This sending session's figures are outside what the progress log can keep.",
               name);
}

} // namespace kalvo
