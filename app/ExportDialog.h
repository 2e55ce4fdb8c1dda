// Saving the text box as an audio file from the window.
//
// ExportDialog asks for the file and its options: the file name (its
// extension picks the format: .wav, .flac, .ogg, .opus or .mp3), the quality
// of the lossy formats, and band noise at a signal-to-noise ratio (off unless
// checked), or, when the program's band conditions have any on, those
// conditions in place of the plain noise (off unless checked); and spoken
// answers after each item, with their pauses, the repeat and its level. AudioExport then renders the text on a thread
// of its own, with the window's settings as they were when the command was given, while a progress dialog shows how far
// it got and can cancel it; the window keeps answering. The live sender and its sound output are not touched. A render
// that fails or is cancelled leaves no file behind (see RenderText); a failure is shown in the error box, a cancel is
// not an error.
#pragma once

#include "morse/TextRender.h"

#include <QDialog>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QProgressDialog;
class QTimer;

// What the user chose in the dialog.
struct ExportChoice {
    QString Path;
    double Quality = kalvo::FileOptions::DefaultQuality;
    std::optional<double> NoiseSnrDb;
    bool Band = false; // the program's band conditions
    // Spoken answers, in the layout chosen (the voice is the program's).
    std::optional<kalvo::AnswerLayout> Answers;
};

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    // bandOn: whether the program's band conditions have any on to offer.
    ExportDialog(QWidget* parent, bool bandOn);

    // Shows the dialog; nothing when it was cancelled. Tests replace it with
    // SetChooser (an empty function: the dialog again).
    static std::optional<ExportChoice> Choose(QWidget* parent, bool bandOn);
    static void SetChooser(std::function<std::optional<ExportChoice>(QWidget*)> chooser);

    ExportChoice Choice() const;

private:
    void Browse();

    QLineEdit* FileEdit;
    QDoubleSpinBox* QualityBox;
    QCheckBox* NoiseCheck;
    QDoubleSpinBox* NoiseBox;
    QCheckBox* BandCheck;
    QCheckBox* AnswersCheck;
    QDoubleSpinBox* PauseBoxes[3];
    QCheckBox* RepeatCheck;
    QDoubleSpinBox* RepeatLevelBox;
};

class AudioExport : public QObject {
    Q_OBJECT
public:
    // Starts rendering `job` into the chosen file; the object belongs to
    // `parent` and deletes itself when the render has ended. Throws (before
    // any thread starts) when the file name has no known format.
    static AudioExport* Start(QWidget* parent, kalvo::RenderJob job, const ExportChoice& choice);
    ~AudioExport() override;

    QProgressDialog* Progress() const { return ProgressDialog; }

signals:
    // After the thread has ended and any error has been shown.
    void Finished();

private:
    AudioExport(QWidget* parent, kalvo::RenderJob job, const QString& path);
    void Poll();

    QProgressDialog* ProgressDialog;
    QTimer* PollTimer;
    std::thread Worker;
    std::atomic<int> Permille{0};
    std::atomic<bool> Cancelled{false};
    std::atomic<bool> Done{false};
    std::string Failure; // written by the worker before Done
};
