// TCallDrills: the "Call and Word Drills" tool window. A run sends each item
// once through the main window's sound at the run's speed, the learner types
// it and presses Enter; the speed follows the answers (DrillRun).
//
//  - Kinds: callsigns (MakeCall), the words of on-air Morse (DrillWords), or
//    a list the learner loads ("Load List..."; its odd lines are named).
//  - Items are sent by Send, which writes the sound and returns; an item
//    asked for while another is still being written is sent after it, so two
//    items never mix.
//  - Each answer is announced ("right, 24 wpm" / "wrong: it was DL1ABC") and
//    added to the table, typed characters marked; the run's end announces
//    the score, the speeds and the characters most often missed, and keeps
//    the best score of each kind while the program runs.
//  - "Save to Progress Log" keeps the last run finished as a drill line of
//    the progress log; "Show Progress" opens the log's window.
//  - "Save as Audio File" renders a new drill of the kind and length chosen,
//    at the start speed, with spoken answers, for practice away from the desk.
//  - Busy (when it returns a message) keeps a run from starting while the
//    main window sends or a lesson runs.
#pragma once

#include "common/Rng.h"
#include "trainer/CallDrill.h"
#include "trainer/ProgressLog.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class StatusNotice;

class TCallDrills : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(const std::string& item, int wpm)> Send;
        std::function<std::optional<std::string>()> Busy;
        std::function<std::optional<std::string>()> ChooseListFile; // the file's bytes
        std::function<bool(char)> Codable;
        std::function<void()> Started; // the band's sound, say
        std::function<void()> Ended;
        std::function<void(const kalvo::DrillEntry&)> Save; // to the progress log
        std::function<void()> ShowProgress;
        // A drill's items, at a speed, into a sound file with spoken answers.
        std::function<void(const std::vector<std::string>& items, int wpm)> Export;
    };
    static constexpr int CeilingWpm = 60;

    TCallDrills(Hooks hooks, kalvo::RandomGenerator& random, QWidget* parent);

    void StartRun();
    void Answer();
    void RepeatItem();
    void LoadList();
    const kalvo::DrillRun* Run() const { return FRun.get(); }

    QComboBox* KindBox;
    QPushButton* LoadButton;
    QComboBox* LengthBox;
    QSpinBox* SpeedBox;
    QPushButton* StartButton;
    QLineEdit* AnswerEdit;
    QPushButton* RepeatButton;
    QLabel* StatusLabel;
    QTableWidget* ResultTable;
    QLabel* SummaryLabel;
    QPushButton* SaveButton;
    QPushButton* ProgressButton;
    QPushButton* ExportButton;

private:
    std::vector<std::string> NewItems();
    void SendCurrent();
    void Say(const QString& text);
    // During a run only the answer and Repeat take input.
    void SetRunning(bool running);
    void Finish();
    QString KindName() const;

    Hooks FHooks;
    kalvo::RandomGenerator& Random;
    std::unique_ptr<kalvo::DrillRun> FRun;
    std::vector<std::string> List;
    std::map<QString, double> Best; // by kind
    StatusNotice* Notice;
    bool Sending = false;
    bool SendAgain = false;
};
