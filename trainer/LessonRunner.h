// LessonRunner: the trainer's question cycle, free of any window. The window
// owns the question and answer timers and the controls; its handlers call in
// here and act on what comes back.
//
//  - EnterTrainMode, Prepare ("Start Kalvo"): trainer mode on, then the lesson
//    prepared with the count in use (a count below one prepares one character,
//    so that the count can be corrected before the lesson starts). Trainer
//    mode comes first on its own, as it stays on when the count cannot be read.
//  - RefuseStartCountBelowOne ("Start Sending", first step): a count below one
//    throws EStartCount before anything changes.
//  - Start: caps the count at 40, sets the starting weights and the
//    statistics, and sets TrainRunning.
//  - Ask (the question timer's tick, after the window stopped that timer):
//    picks and plays a character. Playing processes events after every sample, so other
//    handlers run inside it; a tick that comes during a playback is asked again
//    later (AskLater), and a lesson stopped (or stopped and started anew) during
//    the playback gets no countdown (Nothing). Otherwise the answer is awaited
//    and the window starts its answer timer (CountDown).
//  - PlayCharacter: three dots of silence, flushed, the character's pattern,
//    flushed. The trainer plays on through a pause.
//  - Tick (the answer timer), Key (every typed key): the trainer's rules; the outcomes say
//    what to echo, redraw and show.
//  - Stop ("Stop Kalvo"): both flags cleared; a playback running beneath sees
//    its lesson is over. RatingText is the two lines shown afterwards.
//  - Record follows all of the above (LessonRecord): Prepare begins it, Ask
//    opens and plays its questions, Key records each judged key at Now(),
//    Tick ends the questions. The end of the character's last tone is found
//    on the sound output's playback clock when a key or the question's end
//    asks for it, so that a reaction time counts from when it was heard.
//    Nothing of the trainer's rules depends on it.
#pragma once

#include "morse/CodeTable.h"
#include "morse/PatternPlayer.h"
#include "trainer/LessonRecord.h"
#include "trainer/Trainer.h"

#include <functional>
#include <optional>
#include <string>

namespace kalvo {

class LessonRunner {
public:
    LessonRunner(Trainer& train, const MorseCodeTable& table, const TimingModel& timing, ToneSynth& synth,
                 TOutSound& out);

    void EnterTrainMode() { Train.TrainMode = true; }
    void Prepare(int usingCount);

    static void RefuseStartCountBelowOne(int startCount);
    struct Started {
        int Count = 0; // the count in use
        bool Capped = false; // the count asked for was above 40; Count is the one to show
    };
    Started Start(int startCount);

    enum class AfterAsk { Nothing, AskLater, CountDown };
    AfterAsk Ask();
    void PlayCharacter();

    Trainer::TickOutcome Tick(bool paused);
    // Every typed character; it is judged only in trainer mode. `pressedAt` is
    // when the key was pressed, when the caller knows it better than Now().
    Trainer::AnswerOutcome Key(char key, std::optional<LessonRecord::Clock::time_point> pressedAt = std::nullopt);

    void Stop();
    std::string RatingText() const;

    bool QuestionPlaying() const { return Playing; }

    const LessonRecord& Record() const { return FRecord; }
    // The moment of a key; the steady clock, or a test's own.
    std::function<LessonRecord::Clock::time_point()> Now = [] { return LessonRecord::Clock::now(); };

private:
    Trainer& Train;
    const MorseCodeTable& Table;
    std::optional<LessonRecord::Clock::time_point> SoundEnd() const;

    PatternPlayer Player;
    TOutSound& Out;
    LessonRecord FRecord;
    std::optional<SoundMark> ToneEnd; // of the character last played
    bool Playing = false;
    // Counts the lessons stopped, so that a playback can tell that its lesson
    // ended while it played.
    int LessonNumber = 0;
};

} // namespace kalvo
