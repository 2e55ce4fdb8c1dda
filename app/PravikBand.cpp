// TForm1: band conditions while a text is sent or a lesson runs.
#include "app/Pravik.h"

#include "app/BandWindow.h"
#include "app/ErrorBox.h"
#include "morse/PatternPlayer.h"
#include "morse/TextRender.h"

using namespace kalvo;

void TForm1::BandConditions1Click()
{
    if (!BandWindow) {
        BandWindow = new TBandConditions([this](const BandSettings& settings) { SetBand(settings); }, this);
        BandWindow->Show(Band);
    }
    BandWindow->show();
    BandWindow->raise();
    BandWindow->activateWindow();
}

void TForm1::SetBand(const BandSettings& settings)
{
    Band = settings;
    if (BandWindow)
        BandWindow->Show(settings);
    // Heard at once when a send or a lesson is sounding.
    if (BandSound.Running() && !BandStopTimer->isActive())
        StartBand();
}

void TForm1::StartBand()
{
    BandStopTimer->stop();
    ErrorBox::Guard([this] {
        // Measured against the tone as the synthesiser holds it after its rise.
        const ToneLevel level = KeyedToneLevel(
            Synth.Wavetable,
            ToneSynth::HeldAmplitude(PatternPlayer::ToneAmplitude, OutSound1.SampRate(), Synth.RiseFall.Ms));
        const BandConditions::Signal signal{double(OutSound1.SampRate()), Timing.ToneFreq, level.Power, level.Peak};
        BandSound.Start(
            Band, signal, [this](char c) { return Morse.LookupCode(std::string(1, c)); },
            [this] { return MakeSidetone ? MakeSidetone() : nullptr; });
    });
}

void TForm1::StopBandWhenPlayed()
{
    if (!BandSound.Running())
        return;
    BandEndMark = OutSound1.Mark();
    const double queued = double(OutSound1.Buffers()) * OutSound1.BufferLength()
        / (double(OutSound1.SampRate()) * OutSound1.Channels());
    BandStopBy = std::chrono::steady_clock::now()
        + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(queued + 0.5));
    BandStopTimer->start();
}

void TForm1::BandStopTimerTimer()
{
    const auto now = std::chrono::steady_clock::now();
    const auto played = BandEndMark ? OutSound1.SoundTime(*BandEndMark) : std::nullopt;
    if (!BandEndMark || (played && *played <= now) || now >= BandStopBy) {
        BandStopTimer->stop();
        BandSound.Stop();
    }
}
