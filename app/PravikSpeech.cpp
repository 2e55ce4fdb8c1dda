// TForm1: answers spoken by a voice in the lesson's own sound, and the
// choice of that voice.
#include "app/Pravik.h"

#include "app/AnsiText.h"
#include "app/ErrorBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

using namespace kalvo;

void TForm1::SpeakAnswers1Click()
{
    SpeakRightAnswers1->setEnabled(SpeakAnswers1->isChecked());
    if (!SpeakAnswers1->isChecked())
        SpeakRightAnswers1->setChecked(false);
}

void TForm1::AnswerVoice1Click()
{
    const std::vector<SpeechVoice::Voice> voices = SpeechVoice::Voices();
    if (voices.empty())
        throw ESpeech("No voice can speak: eSpeak NG found no voice data (install espeak-ng-data).");
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("AnswerVoiceDialog"));
    dialog.setWindowTitle(QStringLiteral("Answer Voice"));
    auto* form = new QFormLayout(&dialog);
    auto* voiceBox = new QComboBox(&dialog);
    voiceBox->setObjectName(QStringLiteral("VoiceBox"));
    voiceBox->view()->setAccessibleName(QStringLiteral("Voice"));
    for (const SpeechVoice::Voice& voice : voices) {
        voiceBox->addItem(
            QStringLiteral("%1 (%2)").arg(QString::fromStdString(voice.Name), QString::fromStdString(voice.Language)),
            QString::fromStdString(voice.Name));
        if (voice.Name == AnswerVoice || voice.Language == AnswerVoice)
            voiceBox->setCurrentIndex(voiceBox->count() - 1);
    }
    auto* speedBox = new QSpinBox(&dialog);
    speedBox->setObjectName(QStringLiteral("VoiceSpeedBox"));
    speedBox->setRange(SpeechVoice::MinWpm, SpeechVoice::MaxWpm);
    speedBox->setValue(AnswerVoiceWpm);
    speedBox->setSuffix(QStringLiteral(" words a minute"));
    for (auto [caption, field] : {std::pair{QStringLiteral("&Voice:"), static_cast<QWidget*>(voiceBox)},
                                  std::pair{QStringLiteral("&Speed:"), static_cast<QWidget*>(speedBox)}}) {
        auto* label = new QLabel(caption, &dialog);
        label->setBuddy(field);
        form->addRow(label, field);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AnswerVoice = voiceBox->currentData().toString().toStdString();
    AnswerVoiceWpm = speedBox->value();
    Voice.reset();
}

void TForm1::SpeakAnswer(char c)
{
    try {
        if (!Voice || Voice->Name() != AnswerVoice)
            Voice = std::make_unique<SpeechVoice>(AnswerVoice, AnswerVoiceWpm);
        for (const std::int16_t v : Voice->Say(SpokenForm(std::string(1, c)), OutSound1.SampRate())) {
            OutSound1.SendSample({v, v});
            Pump();
        }
        OutSound1.Flush();
    } catch (const ESpeech& error) {
        SpeakAnswers1->setChecked(false);
        SpeakAnswers1Click();
        SetStatusText(ansi::FromAnsi(error.what()) + QStringLiteral(" The lesson goes on without speech."));
    }
}
