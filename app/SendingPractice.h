// TSendingPractice: the learner keys, the sidetone sounds at once, the fist
// is read as it comes. A tool window of its own, opened from the "Advanced"
// menu; the main window's sound and state are not touched.
//
//  - Keys: a MIDI key adapter (MidiKeys), chosen from the MIDI inputs
//    present; the window says when there are none, or no MIDI at all. An
//    adapter unplugged while keying releases its keys and the window says so.
//    And a straight key and the two paddles of an iambic keyer on keys of
//    the keyboard (Space, Left Ctrl, Right Ctrl at first, as USB paddle
//    adapters send them; each can be changed: press its button, then the
//    key). Keys count while the keying area has the focus; when it loses the
//    focus every key is released, so no tone is left sounding.
//  - The sidetone is a SidetoneVoice on a SidetoneOutput of its own, started
//    when the window is shown and stopped when it is hidden; its pitch and
//    rise and fall follow the main window (Tone()).
//  - The keyed edges are read back from the voice every few milliseconds and
//    fed to a FistDecoder; the characters appear in "Decoded text" as soon
//    as the silence after them is long enough, and are spoken when
//    "Announce characters" is on.
//  - "Report" compares what was read with the target (typed, or a random
//    group of the trainer's characters in use, or a practice text) and shows the report's lines
//    and a chart of the keyed element and gap lengths against 1, 3 and 7
//    dots; the report is spoken as one announcement. "Save to Progress Log"
//    adds it to the progress log. "Clear" starts afresh.
#pragma once

#include "audio/MidiKeys.h"
#include "audio/SidetoneOutput.h"
#include "morse/CodeTable.h"
#include "morse/FistDecoder.h"
#include "morse/SendingReport.h"
#include "morse/SidetoneVoice.h"

#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QChartView;
class QScatterSeries;
class StatusNotice;

class TSendingPractice : public QWidget {
    Q_OBJECT
public:
    // The pitch (Hz) and rise and fall time (ms) the main window sounds with.
    using ToneSource = std::function<std::pair<double, double>()>;
    using OutputMaker = std::function<std::unique_ptr<kalvo::SidetoneOutput>()>;
    // A target: a random group from the trainer's characters in use, or the
    // practice text the main window's number names.
    using TargetMaker = std::function<std::string()>;

    TSendingPractice(const kalvo::MorseCodeTable& table, OutputMaker makeOutput, ToneSource tone, TargetMaker group,
                     TargetMaker practiceLine, QWidget* parent);
    ~TSendingPractice() override;

    static constexpr int SampleRate = 48000;

    struct Binding {
        quint32 Keysym = 0; // the platform's key symbol, telling left from right
        int QtKey = 0;
        QString Name;
        bool operator==(const Binding&) const = default;
    };
    Binding Bindings[3]; // straight key, dot paddle, dash paddle

    kalvo::SidetoneVoice Voice{SampleRate};
    // Reads what the voice keyed since the last look; the window's timer
    // calls it every few milliseconds.
    void ReadKeying();
    void Clear();
    void ShowReport();
    void SaveToProgressLog();

    QFrame* KeyPad;
    QComboBox* ModeBox;
    QSpinBox* SpeedBox;
    QPushButton* KeyButtons[3];
    QComboBox* MidiBox;
    QLabel* MidiLabel;
    QCheckBox* AnnounceCheck;
    QPlainTextEdit* DecodedBox;
    QLineEdit* TargetEdit;
    QPushButton* GroupButton;
    QPushButton* LineButton;
    QPushButton* ReportButton;
    QPushButton* SaveButton;
    QPushButton* ClearButton;
    QPlainTextEdit* ReportBox;
    QChartView* ReportChart;
    QLabel* StatusLabel;
    StatusNotice* Notice;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ApplySettings();
    // Lists the MIDI inputs, or says why there are none.
    void ListMidi();
    void ChooseMidi(int index);
    void ShowBinding(int key);
    void Say(const QString& text);

    const kalvo::MorseCodeTable& Table;
    OutputMaker MakeOutput;
    ToneSource Tone;
    TargetMaker Group, PracticeLine;
    std::unique_ptr<kalvo::SidetoneOutput> Output;
    std::unique_ptr<kalvo::FistDecoder> Decoder;
    QTimer* Poll;
    int Assigning = -1; // the key whose button waits for a key
    std::optional<std::int64_t> OnAt, OffAt; // the current mark's start, or the silence's
    std::chrono::steady_clock::time_point OffSince;
    std::string Decoded;
    double FirstSample = -1, LastSample = 0; // of the keying, for its length
    std::pair<double, double> ToneInUse{0, 0};
    QScatterSeries* MarkSeries;
    QScatterSeries* GapSeries;
    std::optional<kalvo::SendingReport> LastReport;
    std::vector<kalvo::MidiPort> MidiPorts;
    std::unique_ptr<kalvo::MidiKeys> Midi;
};
