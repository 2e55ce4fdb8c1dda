#include "trainer/LessonRecord.h"

#include "common/Convert.h"

#include <algorithm>

namespace kalvo {

std::optional<double> Median(std::vector<double> values)
{
    if (values.empty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool LessonRecord::Question::HitAtFirstKey() const
{
    for (const KeyPress& key : Keys)
        if (key.Awaited)
            return key.Hit;
    return false;
}

std::optional<double> LessonRecord::Question::Reaction() const
{
    for (const KeyPress& key : Keys)
        if (key.Reaction)
            return key.Reaction;
    return std::nullopt;
}

LessonRecord::Question* LessonRecord::Open()
{
    if (FQuestions.empty() || FQuestions.back().Outcome != Result::Open)
        return nullptr;
    return &FQuestions.back();
}

void LessonRecord::Begin()
{
    const unsigned long revision = FRevision;
    *this = LessonRecord();
    FRevision = revision + 1;
    FRunning = true;
}

void LessonRecord::Started(Clock::time_point at)
{
    FStarted = at;
    Touch();
}

void LessonRecord::Asked(char character)
{
    if (Question* q = Open())
        q->Outcome = Result::Stopped;
    Question question;
    question.Asked = character;
    FQuestions.push_back(question);
    Touch();
}

void LessonRecord::Played()
{
    if (Question* q = Open())
        q->Played = true;
    Touch();
}

void LessonRecord::Key(char typed, bool hit, Clock::time_point at, std::optional<Clock::time_point> soundEnd)
{
    KeyPress key;
    key.Typed = typed;
    key.Hit = hit;
    Question* q = Open();
    if (q == nullptr) {
        // Before the first question, or between a question's end and the next.
        FOutside.push_back(key);
        Touch();
        return;
    }
    if (!q->SoundEnd)
        q->SoundEnd = soundEnd;
    key.Awaited = q->Played && !q->Answered;
    if (key.Awaited && hit) {
        q->Answered = true;
        if (q->SoundEnd)
            key.Reaction = std::chrono::duration<double>(at - *q->SoundEnd).count();
    }
    q->Keys.push_back(key);
    Touch();
}

void LessonRecord::Ended(bool timedOut, std::optional<Clock::time_point> soundEnd)
{
    if (Question* q = Open()) {
        if (!q->SoundEnd)
            q->SoundEnd = soundEnd;
        q->Outcome = timedOut ? Result::TimedOut : q->Answered ? Result::Hit : Result::Stopped;
    }
    Touch();
}

void LessonRecord::Stopped(Clock::time_point at)
{
    if (Question* q = Open())
        q->Outcome = Result::Stopped;
    if (FRunning && FStarted)
        FStopped = at;
    FRunning = false;
    Touch();
}

double LessonRecord::LengthSeconds(Clock::time_point now) const
{
    if (!FStarted)
        return 0;
    return std::chrono::duration<double>(FStopped.value_or(now) - *FStarted).count();
}

std::vector<LessonRecord::CharacterSummary> LessonRecord::Summarise(const std::string& characters) const
{
    std::vector<CharacterSummary> rows;
    for (char c : characters) {
        CharacterSummary row;
        row.Character = c;
        std::vector<double> reactions;
        std::map<char, int> instead;
        for (const Question& q : FQuestions) {
            if (q.Asked != c)
                continue;
            ++row.Asked;
            if (q.Outcome == Result::Hit)
                ++row.Hits;
            if (q.Outcome == Result::TimedOut)
                ++row.TimeOuts;
            if (q.HitAtFirstKey())
                ++row.FirstKeyHits;
            if (auto r = q.Reaction())
                reactions.push_back(*r);
            for (const KeyPress& key : q.Keys) {
                if (key.Awaited && !key.Hit) {
                    ++row.Misses;
                    ++instead[LowCase(key.Typed)];
                }
            }
        }
        row.MedianReaction = Median(reactions);
        row.TypedInstead.assign(instead.begin(), instead.end());
        std::stable_sort(row.TypedInstead.begin(), row.TypedInstead.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        rows.push_back(row);
    }
    return rows;
}

std::map<char, std::map<char, int>> LessonRecord::Confusion() const
{
    std::map<char, std::map<char, int>> counts;
    for (const Question& q : FQuestions)
        for (const KeyPress& key : q.Keys)
            if (key.Awaited)
                ++counts[q.Asked][LowCase(key.Typed)];
    return counts;
}

} // namespace kalvo
