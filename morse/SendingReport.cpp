#include "morse/SendingReport.h"

#include "common/Convert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace kalvo {

namespace {

using Step = SendingReport::Step;

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Normalise(const std::string& text)
{
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (IsBlank(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += UpCase(c);
    }
    return out;
}

int CountCharacters(const std::string& text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return c != ' '; }));
}

// Levenshtein distance with a backtrace. Only the moves are kept per cell, a
// byte each, so a practice text of a few thousand characters stays within a
// few megabytes.
std::vector<Step> Align(const std::string& target, const std::string& sent)
{
    enum Move : std::uint8_t { Diagonal, Up, Left };
    const std::size_t n = target.size(), m = sent.size();
    std::vector<std::uint8_t> moves((n + 1) * (m + 1));
    std::vector<std::size_t> previous(m + 1), row(m + 1);
    for (std::size_t j = 0; j <= m; ++j) {
        previous[j] = j;
        moves[j] = Left;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        row[0] = i;
        moves[i * (m + 1)] = Up;
        for (std::size_t j = 1; j <= m; ++j) {
            const char t = target[i - 1], s = sent[j - 1];
            // A space and a character never stand for each other.
            const bool canPair = (t == ' ') == (s == ' ');
            std::size_t best = previous[j] + 1;
            Move move = Up;
            if (row[j - 1] + 1 < best) {
                best = row[j - 1] + 1;
                move = Left;
            }
            // On a tie the diagonal wins: a match, or failing that a wrong character.
            if (canPair && previous[j - 1] + (t != s) <= best) {
                best = previous[j - 1] + (t != s);
                move = Diagonal;
            }
            row[j] = best;
            moves[i * (m + 1) + j] = move;
        }
        std::swap(previous, row);
    }
    std::vector<Step> steps;
    for (std::size_t i = n, j = m; i > 0 || j > 0;) {
        switch (moves[i * (m + 1) + j]) {
        case Diagonal:
            --i, --j;
            steps.push_back({target[i], sent[j], target[i] == sent[j] ? Step::Kind::Match : Step::Kind::Wrong});
            break;
        case Up:
            --i;
            steps.push_back({target[i], 0, Step::Kind::Missing});
            break;
        case Left:
            --j;
            steps.push_back({0, sent[j], Step::Kind::Extra});
            break;
        }
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

SendingReport::Timing Measure(const std::vector<double>& seconds, double dot)
{
    SendingReport::Timing timing;
    timing.Count = static_cast<int>(seconds.size());
    if (seconds.empty())
        return timing;
    double sum = 0;
    for (double s : seconds)
        sum += s / dot;
    timing.Mean = sum / timing.Count;
    if (timing.Count > 1) {
        double squares = 0;
        for (double s : seconds)
            squares += (s / dot - timing.Mean) * (s / dot - timing.Mean);
        timing.Spread = std::sqrt(squares / (timing.Count - 1));
    }
    return timing;
}

double Sum(const std::vector<double>& values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum;
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string InDots(const char* name, const SendingReport::Timing& timing)
{
    return std::string(name) + " " + Fixed(timing.Mean, 1) + " dots (spread " + Fixed(timing.Spread, 1) + ")";
}

std::string Join(const std::vector<std::string>& parts)
{
    std::string line;
    for (const std::string& part : parts)
        line += (line.empty() ? "" : ", ") + part;
    return line;
}

std::string Sentence(const std::vector<std::string>& parts)
{
    std::string line = Join(parts);
    if (!line.empty())
        line[0] = UpCase(line[0]);
    return line;
}

} // namespace

std::optional<int> SendingReport::AccuracyPercent() const
{
    if (Target.empty())
        return std::nullopt;
    return TargetCharacters > 0 ? static_cast<int>(Matches * 100LL / TargetCharacters) : 0;
}

SendingReport MakeSendingReport(const std::vector<KeyedElement>& elements, const std::string& sent,
                                const std::optional<std::string>& target)
{
    SendingReport report;
    report.Sent = Normalise(sent);
    report.SentCharacters = CountCharacters(report.Sent);
    report.Target = target ? Normalise(*target) : std::string();
    report.TargetCharacters = CountCharacters(report.Target);
    if (!report.Target.empty())
        report.Alignment = Align(report.Target, report.Sent);
    for (const Step& step : report.Alignment) {
        const bool space = (step.What == Step::Kind::Extra ? step.Sent : step.Target) == ' ';
        switch (step.What) {
        case Step::Kind::Match:
            report.Matches += !space;
            break;
        case Step::Kind::Wrong:
            ++report.Wrong;
            break;
        case Step::Kind::Missing:
            ++(space ? report.MissingSpaces : report.Missing);
            break;
        case Step::Kind::Extra:
            ++(space ? report.ExtraSpaces : report.Extra);
            break;
        }
        if (space || step.What == Step::Kind::Match || step.What == Step::Kind::Extra)
            continue;
        auto row = std::find_if(report.MostWrong.begin(), report.MostWrong.end(),
                                [&](const auto& r) { return r.Name == step.Target; });
        if (row == report.MostWrong.end())
            report.MostWrong.push_back({step.Target, 1});
        else
            ++row->Count;
    }
    if (report.TargetCharacters > 0)
        report.Accuracy = static_cast<double>(report.Matches) / report.TargetCharacters;
    const auto firstAt = [&](char c) { return report.Target.find(c); };
    std::stable_sort(report.MostWrong.begin(), report.MostWrong.end(), [&](const auto& a, const auto& b) {
        return a.Count != b.Count ? a.Count > b.Count : firstAt(a.Name) < firstAt(b.Name);
    });

    std::vector<double> dots, dashes, elementGaps, characterGaps, wordGaps;
    for (const KeyedElement& e : elements) {
        if (e.Mark > 0)
            (e.Dash ? dashes : dots).push_back(e.Mark);
        if (e.Gap <= 0)
            continue;
        switch (e.Ends) {
        case KeyedElement::GapKind::Element:
            elementGaps.push_back(e.Gap);
            break;
        case KeyedElement::GapKind::Character:
            characterGaps.push_back(e.Gap);
            break;
        case KeyedElement::GapKind::Word:
            wordGaps.push_back(e.Gap);
            break;
        case KeyedElement::GapKind::None:
            break;
        }
    }
    const double ideal = static_cast<double>(dots.size() + 3 * dashes.size() + elementGaps.size());
    if (ideal == 0)
        return report;
    report.DotSeconds = (Sum(dots) + Sum(dashes) + Sum(elementGaps)) / ideal;
    report.Wpm = 1.2 / report.DotSeconds;
    if (!dots.empty() && !dashes.empty())
        report.DotDashRatio = (Sum(dashes) / dashes.size()) / (Sum(dots) / dots.size());
    report.Dots = Measure(dots, report.DotSeconds);
    report.Dashes = Measure(dashes, report.DotSeconds);
    report.ElementGaps = Measure(elementGaps, report.DotSeconds);
    report.CharacterGaps = Measure(characterGaps, report.DotSeconds);
    report.WordGaps = Measure(wordGaps, report.DotSeconds);
    return report;
}

std::vector<std::string> DescribeSendingReport(const SendingReport& report)
{
    std::vector<std::string> lines;
    if (report.DotSeconds > 0) {
        lines.push_back("Speed: " + Fixed(report.Wpm, 1) + " wpm");
        if (report.DotDashRatio > 0)
            lines.push_back("Dot:dash ratio 1:" + Fixed(report.DotDashRatio, 1) + " (ideal 1:3)");
        std::vector<std::string> marks, gaps;
        if (report.Dots.Count > 0)
            marks.push_back(InDots("dot marks", report.Dots));
        if (report.Dashes.Count > 0)
            marks.push_back(InDots("dash marks", report.Dashes));
        if (report.ElementGaps.Count > 0)
            gaps.push_back(InDots("element gaps", report.ElementGaps));
        if (report.CharacterGaps.Count > 0)
            gaps.push_back(InDots("character gaps", report.CharacterGaps));
        if (report.WordGaps.Count > 0)
            gaps.push_back(InDots("word gaps", report.WordGaps));
        for (const auto& parts : {marks, gaps})
            if (!parts.empty())
                lines.push_back(Sentence(parts));
    } else {
        lines.push_back("Nothing was keyed.");
    }
    if (const auto percent = report.AccuracyPercent()) {
        lines.push_back("Accuracy: " + std::to_string(*percent) + " % (" + std::to_string(report.Matches) + " of "
                        + std::to_string(report.TargetCharacters) + " characters); " + std::to_string(report.Wrong)
                        + " wrong, " + std::to_string(report.Missing) + " missing, " + std::to_string(report.Extra)
                        + " extra");
        if (report.MissingSpaces > 0 || report.ExtraSpaces > 0)
            lines.push_back("Word spaces: " + std::to_string(report.MissingSpaces) + " missing, "
                            + std::to_string(report.ExtraSpaces) + " extra");
    }
    std::vector<std::string> wrong;
    for (std::size_t i = 0; i < report.MostWrong.size() && i < 5; ++i)
        wrong.push_back(std::string(1, report.MostWrong[i].Name) + " x" + std::to_string(report.MostWrong[i].Count));
    if (!wrong.empty())
        lines.push_back("Most often wrong: " + Join(wrong));
    return lines;
}

std::vector<std::string> AlignmentLines(const SendingReport& report)
{
    if (report.Alignment.empty())
        return {};
    std::string target = "Target: ", sent = "Sent:   ", marks(target.size(), ' ');
    using Kind = SendingReport::Step::Kind;
    for (const SendingReport::Step& step : report.Alignment) {
        target += step.Target ? step.Target : '_';
        sent += step.Sent ? step.Sent : '_';
        marks += step.What == Kind::Match ? ' '
            : step.What == Kind::Wrong    ? '^'
            : step.What == Kind::Missing  ? '-'
                                          : '+';
    }
    while (!marks.empty() && marks.back() == ' ')
        marks.pop_back();
    return {target, sent, marks};
}

} // namespace kalvo
