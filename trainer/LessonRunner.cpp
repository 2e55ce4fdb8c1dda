#include "trainer/LessonRunner.h"

#include "common/Convert.h"

#include <algorithm>

namespace kalvo {

LessonRunner::LessonRunner(Trainer& train, const MorseCodeTable& table, const TimingModel& timing, ToneSynth& synth,
                           TOutSound& out)
    : Train(train), Table(table), Player(timing, synth, out), Out(out)
{
}

void LessonRunner::Prepare(int usingCount)
{
    EnterTrainMode();
    Train.PrepareLesson(std::max(1, usingCount));
    FRecord.Begin();
}

void LessonRunner::RefuseStartCountBelowOne(int startCount)
{
    if (startCount < 1)
        throw EStartCount();
}

LessonRunner::Started LessonRunner::Start(int requested)
{
    Started started;
    started.Count = Train.StartCount(requested);
    started.Capped = started.Count != requested;
    Train.TrainRunning = true;
    FRecord.Started(Now());
    return started;
}

LessonRunner::AfterAsk LessonRunner::Ask()
{
    if (!Train.TrainMode || !Train.TrainRunning)
        return AfterAsk::Nothing;
    // A lesson stopped and started again while a character plays has its tick
    // come inside that playback: its first question waits for the playback's
    // end instead of sounding inside it.
    if (Playing)
        return AfterAsk::AskLater;
    const int lesson = LessonNumber;
    Train.PickCharacter();
    FRecord.Asked(Train.CurrentCharacter());
    ToneEnd.reset();
    {
        // Lowered again however the playback ends, an error included.
        struct Lower {
            bool& Flag;
            ~Lower() { Flag = false; }
        } lower{Playing};
        Playing = true;
        PlayCharacter();
    }
    // "Stop Kalvo" may have been pressed while the character played; the lesson
    // is over then (or a new one has begun), and no countdown may follow it.
    if (!Train.TrainMode || !Train.TrainRunning || lesson != LessonNumber)
        return AfterAsk::Nothing;
    Train.QuestionPlayed();
    FRecord.Played();
    return AfterAsk::CountDown;
}

void LessonRunner::PlayCharacter()
{
    const std::string pattern = Table.LookupCode(std::string(1, UpCase(Train.CurrentCharacter())));
    // The lead-in is flushed on its own: the character then starts in a fresh
    // buffer, whatever the sound output held before.
    Player.LeadIn();
    Player.Flush();
    ToneEnd = Player.PlayPattern(pattern).ToneEnd;
    Player.Flush();
}

std::optional<LessonRecord::Clock::time_point> LessonRunner::SoundEnd() const
{
    if (!ToneEnd)
        return std::nullopt;
    return Out.SoundTime(*ToneEnd);
}

Trainer::TickOutcome LessonRunner::Tick(bool paused)
{
    const Trainer::TickOutcome outcome = Train.AnswerTick(paused);
    if (outcome.QuestionEnded)
        FRecord.Ended(outcome.Shown != 0, SoundEnd());
    return outcome;
}

Trainer::AnswerOutcome LessonRunner::Key(char key, std::optional<LessonRecord::Clock::time_point> pressedAt)
{
    // The moment first: the key was pressed before anything below ran.
    const auto at = pressedAt.value_or(Now());
    Train.LastKey = key;
    if (!Train.TrainMode)
        return {};
    const Trainer::AnswerOutcome outcome = Train.CheckAnswer();
    FRecord.Key(key, outcome.Hit, at, SoundEnd());
    return outcome;
}

void LessonRunner::Stop()
{
    ++LessonNumber;
    Train.TrainMode = false;
    Train.TrainRunning = false;
    FRecord.Stopped(Now());
}

std::string LessonRunner::RatingText() const
{
    return "Your current mastery rating is " + std::to_string(Train.Rating())
        + " \r\n"
          "When this is 100, you will have mastered all of the characters.";
}

} // namespace kalvo
