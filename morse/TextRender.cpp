#include "morse/TextRender.h"

#include "audio/EngineSetup.h"
#include "audio/SpeechVoice.h"
#include "audio/TOutSound1.h"
#include "common/Convert.h"
#include "morse/CodeTable.h"
#include "morse/PatternPlayer.h"
#include "morse/TextSender.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace kalvo {

namespace {

// A new, empty file beside `path` that nobody else uses; its name starts with
// a dot so that a file manager hides it while it grows.
std::string CreateTemporary(const std::string& path)
{
    const std::filesystem::path target(path);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "." + target.filename().string() + "." + std::to_string(::getpid()) + "-"
            + std::to_string(random() % 1000000) + ".part";
        std::string temporary = (target.parent_path() / name).string();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return temporary;
        }
        if (errno != EEXIST)
            throw EKalvoError("Cannot create file " + path + " (" + std::strerror(errno) + ")");
    }
    throw EKalvoError("Cannot create file " + path);
}

// The items of a practice text: its words, calls or groups, one per line or
// separated by spaces.
std::vector<std::string> Items(const std::string& text)
{
    std::vector<std::string> items;
    std::string item;
    for (char c : text + ' ') {
        if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
            if (!item.empty())
                items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    return items;
}

// Each item: its Morse, a pause, the voice saying it, a pause, the Morse again
// (at the repeat's level) and the longer pause; without the repeat, the
// longer pause follows the voice. A pause is counted from the end of one
// sound to the start of the next: the dot of silence after a last element is
// part of it. Returns the number of buffers filled.
std::uint64_t SendAnswers(const RenderJob& job, TOutSound& out, ToneSynth& synth, const MorseCodeTable& table,
                          const std::function<bool(double)>& progress)
{
    const AnswerLayout& layout = *job.Answers;
    const std::vector<std::string> items = Items(job.Text);
    if (items.empty())
        throw EKalvoError("The text holds no item to answer: give words, calls or groups, one per line or "
                          "separated by spaces.");
    const SpeechVoice voice(layout.Voice, layout.VoiceWpm);
    PatternPlayer player(job.Timing, synth, out);
    std::uint64_t samples = 0;
    std::size_t done = 0;
    const auto tell = [&] {
        if (progress && !progress(double(done) / double(items.size())))
            throw ERenderCancelled("The rendering was cancelled");
    };
    synth.ProcessEvents = [&] {
        if (++samples % EngineSetup::BufferLength == 0)
            tell();
    };
    const auto morse = [&](const std::string& item, double level) {
        player.Level = level;
        player.PlayWord(table, item);
    };
    const auto pause = [&](double seconds, bool afterMorse) {
        player.Silence(std::max(0.0, afterMorse ? seconds - job.Timing.DotTime : seconds));
    };
    player.LeadIn();
    for (const std::string& item : items) {
        morse(item, 1.0);
        pause(layout.AfterMorse, true);
        // An item the voice cannot say is skipped in speech, never in Morse.
        for (std::int16_t v : voice.Say(SpokenForm(item), EngineSetup::SampRate)) {
            out.SendSample({v, v});
            synth.ProcessEvents();
        }
        if (layout.Repeat) {
            pause(layout.AfterVoice, false);
            morse(item, std::pow(10.0, layout.RepeatDb / 20.0));
            pause(layout.AfterRepeat, true);
        } else {
            pause(layout.AfterRepeat, false);
        }
        ++done;
        tell();
    }
    player.Flush();
    return (samples + EngineSetup::BufferLength - 1) / EngineSetup::BufferLength;
}

// Sends the text and returns the number of buffers it filled.
std::uint64_t Send(const RenderJob& job, TOutSound& out, const std::function<bool(double)>& progress)
{
    ConfigureEngine(out);
    out.Initialize();

    MorseCodeTable table;
    table.CodeTableInitialize();
    ToneSynth synth(out);
    synth.Wavetable = job.Wavetable;
    synth.RiseFall = job.RiseFall;

    if (job.Answers)
        return SendAnswers(job, out, synth, table, progress);
    TextSender sender(table, job.Timing, synth, out);
    std::uint64_t samples = 0;
    synth.ProcessEvents = [&] {
        if (++samples % EngineSetup::BufferLength == 0 && progress) {
            const double share = job.Text.empty() ? 1.0 : double(sender.SendPos - 1) / double(job.Text.size());
            if (!progress(std::clamp(share, 0.0, 1.0)))
                throw ERenderCancelled("The rendering was cancelled");
        }
    };
    sender.FixedText = &job.Text;
    sender.Sending = true;
    sender.Run();
    if (progress)
        progress(1.0);
    // The final flush padded the last buffer, so every sample sits in a whole
    // buffer; the caller waits until the transfer thread has handed over all
    // of them before tearing the component down, which closes the device.
    return (samples + EngineSetup::BufferLength - 1) / EngineSetup::BufferLength;
}

std::uint64_t RenderInto(const RenderJob& job, const std::string& file, const std::function<bool(double)>& progress)
{
    FileOptions options = job.File;
    // Band conditions are measured against the tone as it sounds, at the
    // level it holds after its rise; plain noise keeps the level files
    // always had.
    const ToneLevel level = KeyedToneLevel(
        job.Wavetable,
        options.Band ? ToneSynth::HeldAmplitude(PatternPlayer::ToneAmplitude, EngineSetup::SampRate, job.RiseFall.Ms)
                     : PatternPlayer::ToneAmplitude);
    options.TonePower = level.Power;
    options.TonePeak = level.Peak;
    options.ToneHz = job.Timing.ToneFreq;
    auto table = std::make_shared<MorseCodeTable>();
    table->CodeTableInitialize();
    options.Patterns = [table](char c) { return table->LookupCode(std::string(1, c)); };
    SoundFileWaveOut device(file, options);
    std::uint64_t buffers = 0;
    {
        TOutSound out(device);
        buffers = Send(job, out, progress);
        device.WaitForWritten(buffers);
    }
    if (auto failure = device.Failure())
        throw EKalvoError(*failure);
    return buffers * EngineSetup::BufferLength;
}

} // namespace

ToneLevel KeyedToneLevel(const std::array<double, ToneSynth::TableSize>& wavetable, double amplitude)
{
    double power = 0.0;
    double peak = 0.0;
    for (double v : wavetable) {
        power += v * v;
        peak = std::max(peak, std::abs(v));
    }
    return {amplitude * amplitude * power / double(wavetable.size()), amplitude * peak};
}

std::array<double, ToneSynth::TableSize> RenderJob::StartupWavetable()
{
    // The synthesiser's own table; building it opens nothing.
    SoundFileWaveOut unused("", FileOptions{});
    TOutSound out(unused);
    ToneSynth synth(out);
    synth.BuildStartupTable();
    return synth.Wavetable;
}

std::uint64_t RenderText(const RenderJob& job, const std::string& path, const std::function<bool(double)>& progress)
{
    const std::string temporary = CreateTemporary(path);
    const auto removeTemporary = [&] {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    };
    try {
        const std::uint64_t samples = RenderInto(job, temporary, progress);
        std::error_code error;
        std::filesystem::rename(temporary, path, error);
        if (error)
            throw EKalvoError("Cannot create file " + path + " (" + error.message() + ")");
        return samples;
    } catch (const ERenderCancelled&) {
        removeTemporary();
        throw;
    } catch (const std::exception& e) {
        removeTemporary();
        // The user knows the file by the name they gave, not the temporary one.
        std::string message = e.what();
        for (auto at = message.find(temporary); at != std::string::npos; at = message.find(temporary))
            message.replace(at, temporary.size(), path);
        throw EKalvoError(message);
    }
}

} // namespace kalvo
