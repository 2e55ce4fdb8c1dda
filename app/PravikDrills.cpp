// TForm1: the call and word drills' window, and the items it sends through
// the main window's sound.
#include "app/Pravik.h"

#include "app/CallDrillWindow.h"
#include "app/ErrorBox.h"
#include "app/ExportDialog.h"
#include "common/TextFile.h"
#include "morse/PatternPlayer.h"

using namespace kalvo;

void TForm1::CallDrills1Click()
{
    if (!Drills) {
        TCallDrills::Hooks hooks;
        hooks.Send = [this](const std::string& item, int wpm) { ErrorBox::Guard([&] { SendDrillItem(item, wpm); }); };
        hooks.Busy = [this]() -> std::optional<std::string> {
            if (InSendLoop)
                return "A text is being sent: let it end or abort it first.";
            if (Train.TrainMode)
                return "A lesson runs: press \"Stop Kalvo\" first.";
            return std::nullopt;
        };
        hooks.ChooseListFile = [this]() -> std::optional<std::string> {
            const std::optional<QString> name = ChooseFile();
            if (!name)
                return std::nullopt;
            try {
                return ReadTextFile(name->toLocal8Bit().toStdString());
            } catch (const EKalvoError& error) {
                ErrorBox::Show(error);
                return std::nullopt;
            }
        };
        hooks.Codable = [this](char c) { return !Morse.LookupCode(std::string(1, c)).empty(); };
        hooks.Started = [this] { StartBand(); };
        hooks.Ended = [this] { StopBandWhenPlayed(); };
        hooks.Save = [](const DrillEntry& entry) { AppendDrillEntry(entry); };
        hooks.ShowProgress = [this] { ShowProgress1Click(); };
        hooks.Export = [this](const std::vector<std::string>& items, int wpm) {
            ErrorBox::Guard([&] { ExportDrill(items, wpm); });
        };
        Drills = new TCallDrills(std::move(hooks), Random, this);
    }
    Drills->show();
    Drills->raise();
    Drills->activateWindow();
}

void TForm1::ExportDrill(const std::vector<std::string>& items, int wpm)
{
    std::optional<ExportChoice> choice = ExportDialog::Choose(this, Band.AnyOn());
    if (!choice)
        return;
    // A drill away from the desk is heard with its answers.
    if (!choice->Answers)
        choice->Answers = AnswerLayout{};
    std::string text;
    for (const std::string& item : items)
        text += item + "\r\n";
    RenderJob job = ExportJob(std::move(text), *choice);
    job.Timing.Compression = 0.0;
    job.Timing.SetSpeed(wpm, wpm, int(Timing.ToneFreq));
    AudioExport::Start(this, std::move(job), *choice);
}

void TForm1::SendDrillItem(const std::string& item, int wpm)
{
    // The program's own timing at the item's speed, character speed and
    // overall speed alike, at the window's pitch.
    TimingModel timing;
    timing.SetSpeed(wpm, wpm, int(Timing.ToneFreq));
    PatternPlayer player(timing, Synth, OutSound1);
    player.LeadIn();
    player.PlayWord(Morse, item);
    player.Flush();
}
