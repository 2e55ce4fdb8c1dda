#include "app/ExportDialog.h"

#include "app/AnsiText.h"
#include "app/ErrorBox.h"
#include "common/Errors.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <random>

namespace {

std::function<std::optional<ExportChoice>(QWidget*)>& Chooser()
{
    static std::function<std::optional<ExportChoice>(QWidget*)> chooser;
    return chooser;
}

// Often enough for a smooth bar, rarely enough to cost nothing.
constexpr int PollMs = 50;

} // namespace

ExportDialog::ExportDialog(QWidget* parent, bool bandOn) : QDialog(parent)
{
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowTitle(QStringLiteral("Save Text as Audio File"));
    auto* form = new QFormLayout(this);

    FileEdit = new QLineEdit(this);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    FileEdit->setText(QStringLiteral("morse.mp3"));
    FileEdit->setMinimumWidth(240);
    FileEdit->setToolTip(QStringLiteral("The extension chooses the format: .wav, .flac, .ogg, .opus or .mp3"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    connect(browse, &QPushButton::clicked, this, &ExportDialog::Browse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(FileEdit, 1);
    fileRow->addWidget(browse);
    auto* fileLabel = new QLabel(QStringLiteral("&File:"), this);
    fileLabel->setBuddy(FileEdit);
    form->addRow(fileLabel, fileRow);

    QualityBox = new QDoubleSpinBox(this);
    QualityBox->setObjectName(QStringLiteral("QualityBox"));
    QualityBox->setRange(0.0, 10.0);
    QualityBox->setDecimals(0);
    QualityBox->setValue(kalvo::FileOptions::DefaultQuality);
    QualityBox->setToolTip(QStringLiteral("0 gives the smallest file, 10 the best sound (MP3, Ogg and Opus)"));
    form->addRow(QStringLiteral("&Quality:"), QualityBox);

    NoiseCheck = new QCheckBox(QStringLiteral("Add band &noise"), this);
    NoiseCheck->setObjectName(QStringLiteral("NoiseCheck"));
    NoiseBox = new QDoubleSpinBox(this);
    NoiseBox->setObjectName(QStringLiteral("NoiseBox"));
    NoiseBox->setRange(-30.0, 60.0);
    NoiseBox->setDecimals(1);
    NoiseBox->setValue(10.0);
    NoiseBox->setSuffix(QStringLiteral(" dB"));
    NoiseBox->setEnabled(false);
    NoiseBox->setToolTip(QStringLiteral("The keyed tone's power over the noise power in 2500 Hz"));
    connect(NoiseCheck, &QCheckBox::toggled, NoiseBox, &QWidget::setEnabled);
    form->addRow(NoiseCheck, NoiseBox);
    BandCheck = new QCheckBox(QStringLiteral("Apply the &band conditions"), this);
    BandCheck->setObjectName(QStringLiteral("BandCheck"));
    BandCheck->setEnabled(bandOn);
    BandCheck->setToolTip(bandOn ? QStringLiteral("The noise, fading, second station and static set in Band Conditions")
                                 : QStringLiteral("No band condition is on (Advanced, Band Conditions)"));
    // The conditions bring their own noise.
    connect(BandCheck, &QCheckBox::toggled, this, [this](bool on) {
        NoiseCheck->setEnabled(!on);
        NoiseBox->setEnabled(!on && NoiseCheck->isChecked());
    });
    form->addRow(BandCheck);

    AnswersCheck = new QCheckBox(QStringLiteral("Spoken &answers"), this);
    AnswersCheck->setObjectName(QStringLiteral("AnswersCheck"));
    AnswersCheck->setToolTip(QStringLiteral("Each word, call or group in Morse, then spoken, then in Morse again"));
    form->addRow(AnswersCheck);
    const kalvo::AnswerLayout layout;
    const char* const pauseNames[] = {"PauseAfterMorseBox", "PauseAfterVoiceBox", "PauseAfterRepeatBox"};
    const char* const pauseCaptions[] = {
        "Pause after the &Morse:", "Pause after the &voice:", "Pause after the &repeat:"};
    const double pauses[] = {layout.AfterMorse, layout.AfterVoice, layout.AfterRepeat};
    for (int i = 0; i < 3; ++i) {
        PauseBoxes[i] = new QDoubleSpinBox(this);
        PauseBoxes[i]->setObjectName(QString::fromLatin1(pauseNames[i]));
        PauseBoxes[i]->setRange(0.0, 60.0);
        PauseBoxes[i]->setDecimals(1);
        PauseBoxes[i]->setValue(pauses[i]);
        PauseBoxes[i]->setSuffix(QStringLiteral(" s"));
        auto* label = new QLabel(QString::fromLatin1(pauseCaptions[i]), this);
        label->setBuddy(PauseBoxes[i]);
        form->addRow(label, PauseBoxes[i]);
    }
    RepeatCheck = new QCheckBox(QStringLiteral("Repea&t the Morse, at"), this);
    RepeatCheck->setObjectName(QStringLiteral("RepeatCheck"));
    RepeatCheck->setChecked(layout.Repeat);
    RepeatLevelBox = new QDoubleSpinBox(this);
    RepeatLevelBox->setObjectName(QStringLiteral("RepeatLevelBox"));
    RepeatLevelBox->setRange(-30.0, 0.0);
    RepeatLevelBox->setDecimals(1);
    RepeatLevelBox->setValue(layout.RepeatDb);
    RepeatLevelBox->setSuffix(QStringLiteral(" dB"));
    RepeatLevelBox->setAccessibleName(QStringLiteral("Level of the repeat"));
    form->addRow(RepeatCheck, RepeatLevelBox);
    const auto enableAnswers = [this] {
        const bool on = AnswersCheck->isChecked();
        for (QWidget* w : {static_cast<QWidget*>(PauseBoxes[0]), static_cast<QWidget*>(PauseBoxes[1]),
                           static_cast<QWidget*>(PauseBoxes[2]), static_cast<QWidget*>(RepeatCheck)})
            w->setEnabled(on);
        RepeatLevelBox->setEnabled(on && RepeatCheck->isChecked());
    };
    connect(AnswersCheck, &QCheckBox::toggled, this, enableAnswers);
    connect(RepeatCheck, &QCheckBox::toggled, this, enableAnswers);
    enableAnswers();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void ExportDialog::Browse()
{
    const QString path = QFileDialog::getSaveFileName(
        this, windowTitle(), FileEdit->text(),
        QStringLiteral("Audio files (*.mp3 *.ogg *.opus *.flac *.wav);;MP3 (*.mp3);;Ogg Vorbis (*.ogg);;"
                       "Ogg Opus (*.opus);;FLAC (*.flac);;WAV (*.wav)"));
    if (!path.isEmpty())
        FileEdit->setText(path);
}

ExportChoice ExportDialog::Choice() const
{
    ExportChoice choice;
    choice.Path = FileEdit->text();
    choice.Quality = QualityBox->value();
    choice.Band = BandCheck->isChecked();
    if (AnswersCheck->isChecked()) {
        kalvo::AnswerLayout layout;
        layout.AfterMorse = PauseBoxes[0]->value();
        layout.AfterVoice = PauseBoxes[1]->value();
        layout.AfterRepeat = PauseBoxes[2]->value();
        layout.Repeat = RepeatCheck->isChecked();
        layout.RepeatDb = RepeatLevelBox->value();
        choice.Answers = layout;
    }
    if (NoiseCheck->isChecked() && !choice.Band)
        choice.NoiseSnrDb = NoiseBox->value();
    return choice;
}

std::optional<ExportChoice> ExportDialog::Choose(QWidget* parent, bool bandOn)
{
    if (Chooser())
        return Chooser()(parent);
    ExportDialog dialog(parent, bandOn);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

void ExportDialog::SetChooser(std::function<std::optional<ExportChoice>(QWidget*)> chooser)
{
    Chooser() = std::move(chooser);
}

AudioExport* AudioExport::Start(QWidget* parent, kalvo::RenderJob job, const ExportChoice& choice)
{
    const std::string path = ansi::ToAnsi(choice.Path);
    const auto format = kalvo::FormatForFileName(path);
    if (!format)
        throw kalvo::EKalvoError("Cannot tell the sound format of " + path
                                 + ": the name must end in .wav, .flac, .ogg, .opus or .mp3");
    job.File.Format = *format;
    job.File.Quality = choice.Quality;
    job.File.NoiseSnrDb = choice.NoiseSnrDb;
    job.File.Seed = std::random_device()();
    return new AudioExport(parent, std::move(job), choice.Path);
}

AudioExport::AudioExport(QWidget* parent, kalvo::RenderJob job, const QString& path) : QObject(parent)
{
    ProgressDialog = new QProgressDialog(QStringLiteral("Saving %1").arg(path), QStringLiteral("Cancel"), 0, 1000,
                                         parent);
    ProgressDialog->setObjectName(QStringLiteral("ExportProgress"));
    ProgressDialog->setWindowTitle(QStringLiteral("Save Text as Audio File"));
    ProgressDialog->setWindowModality(Qt::WindowModal);
    ProgressDialog->setAutoClose(false);
    ProgressDialog->setAutoReset(false);
    ProgressDialog->setMinimumDuration(0);
    ProgressDialog->setValue(0);
    connect(ProgressDialog, &QProgressDialog::canceled, this, [this] { Cancelled = true; });

    Worker = std::thread([this, job = std::move(job), file = ansi::ToAnsi(path)] {
        try {
            kalvo::RenderText(job, file, [this](double share) {
                Permille = int(share * 1000);
                return !Cancelled.load();
            });
        } catch (const kalvo::ERenderCancelled&) {
        } catch (const std::exception& e) {
            Failure = e.what();
        }
        Done = true;
    });

    PollTimer = new QTimer(this);
    connect(PollTimer, &QTimer::timeout, this, &AudioExport::Poll);
    PollTimer->start(PollMs);
}

AudioExport::~AudioExport()
{
    // A window closed during a render stops it, and waits for its file to go.
    Cancelled = true;
    if (Worker.joinable())
        Worker.join();
}

void AudioExport::Poll()
{
    if (!Done) {
        // Cancelled by its button (the signal) or by the dialog's cancel slot.
        if (ProgressDialog->wasCanceled())
            Cancelled = true;
        ProgressDialog->setValue(Permille);
        return;
    }
    PollTimer->stop();
    Worker.join();
    ProgressDialog->deleteLater();
    ProgressDialog = nullptr;
    if (!Failure.empty())
        ErrorBox::Show(ansi::FromAnsi(Failure));
    emit Finished();
    deleteLater();
}
