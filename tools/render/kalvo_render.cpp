// kalvo-render: sends a text as Morse code into a sound file instead of the
// sound card, through the same sender, timing model, tone synthesis and
// sound-output component as the program (8000 samples per second, 16-bit mono,
// buffers of 4000 samples, rise/fall 5 ms, the start-up waveform). The file
// holds exactly the samples handed to the device, the silence padding of the
// final flush included, as WAV, FLAC, Ogg Vorbis, Ogg Opus or MP3 (by the
// file's extension or --format), optionally with band noise or band
// conditions (see TextRender).
//
// Exit codes: 0 written (or --help, --version shown), 1 the rendering failed,
// 2 usage error.

#include "audio/EngineSetup.h"
#include "common/Convert.h"
#include "common/Errors.h"
#include "morse/TextRender.h"
#include "morse/TimingModel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The options as --help lists them, one per row; the usage line is made from
// the same rows, so a new option needs one row here.
struct OptionHelp {
    const char* Name;
    const char* Value; // empty: a switch
    bool Required;
    const char* Text; // with the unit and the default
};
constexpr OptionHelp OptionTable[] = {
    {"--char-wpm", "N", true, "character speed in words per minute, 1 to 1000"},
    {"--overall-wpm", "N", true, "overall speed in words per minute, 1 to 1000"},
    {"--freq", "HZ", false, "tone frequency in hertz, 1 to 3999; default 800"},
    {"--compression", "C", false, "Farnsworth compression, 0 to 10; default 0"},
    {"--format", "FORMAT", false, "wav, flac, ogg (Vorbis), opus or mp3; default: by OUT's extension"},
    {"--quality", "Q", false, "quality of MP3, Ogg and Opus, 0 (smallest file) to 10 (best sound); default 5"},
    {"--noise", "SNR_DB", false,
     "add band noise (300 to 2700 Hz, or through --filter): the keyed tone's power over the noise power in "
     "2500 Hz, in dB, -30 to 60; default none"},
    {"--filter", "HZ", false,
     "receiver filter centred on the tone, 250, 500, 1000 or 2700 Hz; default 2700 with "
     "any of the conditions below"},
    {"--qsb", "SPEED", false, "fading, slow (0.1 to 0.2 fades a second) or fast (0.3 to 0.6); default none"},
    {"--qsb-depth", "DB", false, "depth of the fading, 3 to 30 dB; default 15"},
    {"--qrm", "", false, "a second station calling near the tone"},
    {"--qrm-offset", "HZ", false, "its pitch from the tone, -300 to -50 or 50 to 300 Hz; default 150"},
    {"--qrm-level", "DB", false, "its level relative to the signal, -30 to 10 dB; default -6"},
    {"--qrn", "N", false, "static crashes, 1 to 60 a minute; default none"},
    {"--seed", "N", false, "start of the noise and the conditions, 0 to 2147483647; default: different every run"},
    {"--answers", "", false,
     "spoken answers: each item of the text in Morse, a pause, a voice saying it, a pause, "
     "the Morse again and a longer pause"},
    {"--voice", "NAME", false, "the eSpeak NG voice that speaks the answers; default en"},
    {"--voice-wpm", "N", false, "its speed in words per minute, 80 to 450; default 160"},
    {"--pauses", "A,B,C", false, "the pauses after the Morse, the voice and the repeat, 0 to 60 s; default 1,1,2"},
    {"--no-repeat", "", false, "no repeat of the Morse after the voice"},
    {"--repeat-level", "DB", false, "the repeat's level against the first, -30 to 0 dB; default -6"},
    {"--text", "TEXT", true, "the text to send"},
    {"-h, --help", "", false, "print this help and exit"},
    {"--version", "", false, "print the version and exit"},
};

std::string Usage()
{
    std::string line = "usage: kalvo-render";
    for (const OptionHelp& o : OptionTable) {
        if (*o.Value == '\0') {
            if (o.Name[1] == '-' && std::string(o.Name) != "--version")
                line += std::string(" [") + o.Name + "]";
            continue;
        }
        const std::string option = std::string(o.Name) + " " + o.Value;
        line += o.Required ? " " + option : " [" + option + "]";
    }
    line += " OUT\n"
            "Sends TEXT as Morse code into the sound file OUT (WAV, FLAC, Ogg Vorbis, Ogg Opus or MP3):\n"
            "8000 samples per second, 16-bit mono.\n"
            "\n"
            "Options:\n";
    for (const OptionHelp& o : OptionTable) {
        std::string option = std::string(o.Name) + (*o.Value ? std::string(" ") + o.Value : "");
        option.resize(std::max<std::size_t>(option.size() + 2, 20), ' ');
        line += "  " + option + o.Text + (o.Required ? "; required" : "") + "\n";
    }
    return line;
}

using kalvo::EngineSetup;

struct UsageError {
    std::string Message; // empty: the usage alone
};

// What the command line asks for besides a rendering.
enum class Request { Render, Help, Version };

struct Options {
    Request Asked = Request::Render;
    int CharWpm = 0;
    int OverallWpm = 0;
    int Freq = 800;
    double Compression = 0.0;
    kalvo::FileOptions File;
    std::optional<kalvo::AnswerLayout> Answers;
    std::string Text;
    std::string OutPath;
};

double ParseDouble(const std::string& option, const std::string& value, double min, double max)
{
    double x = 0.0;
    try {
        x = kalvo::StrToFloat(value);
    } catch (const kalvo::EConvertError&) {
        throw UsageError{option + ": '" + value + "' is not a number"};
    }
    if (!(x >= min && x <= max))
        throw UsageError{option + ": " + value + " is outside " + kalvo::FloatToStr(min) + " to "
                         + kalvo::FloatToStr(max)};
    return x;
}

int ParseInt(const std::string& option, const std::string& value, int min, int max)
{
    int n = 0;
    try {
        n = kalvo::StrToInt(value);
    } catch (const kalvo::EConvertError&) {
        throw UsageError{option + ": '" + value + "' is not a whole number"};
    }
    if (n < min || n > max)
        throw UsageError{option + ": " + value + " is outside " + std::to_string(min) + " to " + std::to_string(max)};
    return n;
}

// The band conditions asked for, when any beyond plain noise is: the noise
// then passes the receiver's filter with the rest.
std::optional<kalvo::BandSettings> BandOptions(std::map<std::string, std::string>& values,
                                               std::optional<double> noiseDb)
{
    for (const auto& [detail, condition] :
         {std::pair{"--qsb-depth", "--qsb"}, std::pair{"--qrm-offset", "--qrm"}, std::pair{"--qrm-level", "--qrm"}})
        if (values.count(detail) && !values.count(condition))
            throw UsageError{std::string(detail) + " needs " + condition};
    if (!values.count("--filter") && !values.count("--qsb") && !values.count("--qrm") && !values.count("--qrn"))
        return std::nullopt;
    kalvo::BandSettings band;
    band.Noise = noiseDb.has_value();
    band.SnrDb = noiseDb.value_or(band.SnrDb);
    if (values.count("--filter")) {
        band.FilterHz = ParseInt("--filter", values["--filter"], 250, 2700);
        if (std::find(band.Filters.begin(), band.Filters.end(), band.FilterHz) == band.Filters.end())
            throw UsageError{"--filter: " + values["--filter"] + " is not 250, 500, 1000 or 2700"};
    }
    if (values.count("--qsb")) {
        const auto fading = kalvo::FadingFromName(values["--qsb"]);
        if (!fading || *fading == kalvo::BandSettings::Fading::Off)
            throw UsageError{"--qsb: " + values["--qsb"] + " is not slow or fast"};
        band.Qsb = *fading;
    }
    if (values.count("--qsb-depth"))
        band.QsbDepthDb = ParseDouble("--qsb-depth", values["--qsb-depth"], band.MinDepthDb, band.MaxDepthDb);
    band.Qrm = values.count("--qrm") > 0;
    if (values.count("--qrm-offset")) {
        band.QrmOffsetHz = ParseDouble("--qrm-offset", values["--qrm-offset"], -band.MaxOffsetHz, band.MaxOffsetHz);
        if (std::abs(band.QrmOffsetHz) < band.MinOffsetHz)
            throw UsageError{"--qrm-offset: " + values["--qrm-offset"] + " is inside -50 to 50"};
    }
    if (values.count("--qrm-level"))
        band.QrmLevelDb = ParseDouble("--qrm-level", values["--qrm-level"], band.MinLevelDb, band.MaxLevelDb);
    band.Qrn = values.count("--qrn") > 0;
    if (band.Qrn)
        band.QrnPerMinute = ParseDouble("--qrn", values["--qrn"], band.MinCrashes, band.MaxCrashes);
    return band;
}

std::optional<kalvo::AnswerLayout> AnswerOptions(std::map<std::string, std::string>& values)
{
    for (const char* detail : {"--voice", "--voice-wpm", "--pauses", "--no-repeat", "--repeat-level"})
        if (values.count(detail) && !values.count("--answers"))
            throw UsageError{std::string(detail) + " needs --answers"};
    if (!values.count("--answers"))
        return std::nullopt;
    kalvo::AnswerLayout layout;
    if (values.count("--voice"))
        layout.Voice = values["--voice"];
    if (values.count("--voice-wpm"))
        layout.VoiceWpm = ParseInt("--voice-wpm", values["--voice-wpm"], 80, 450);
    if (values.count("--pauses")) {
        const std::string& text = values["--pauses"];
        const auto first = text.find(','), second = text.find(',', first == std::string::npos ? first : first + 1);
        if (first == std::string::npos || second == std::string::npos)
            throw UsageError{"--pauses: '" + text + "' is not three numbers A,B,C"};
        layout.AfterMorse = ParseDouble("--pauses", text.substr(0, first), 0.0, 60.0);
        layout.AfterVoice = ParseDouble("--pauses", text.substr(first + 1, second - first - 1), 0.0, 60.0);
        layout.AfterRepeat = ParseDouble("--pauses", text.substr(second + 1), 0.0, 60.0);
    }
    layout.Repeat = !values.count("--no-repeat");
    if (values.count("--repeat-level"))
        layout.RepeatDb = ParseDouble("--repeat-level", values["--repeat-level"], -30.0, 0.0);
    return layout;
}

Options Parse(const std::vector<std::string>& args)
{
    std::map<std::string, std::string> values;
    std::optional<std::string> outPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        static const std::set<std::string> valued{
            "--char-wpm", "--overall-wpm", "--freq",       "--compression",  "--format",
            "--quality",  "--noise",       "--seed",       "--text",         "--filter",
            "--qsb",      "--qsb-depth",   "--qrm-offset", "--qrm-level",    "--qrn",
            "--voice",    "--voice-wpm",   "--pauses",     "--repeat-level",
        };
        if (valued.count(arg)) {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a value"};
            if (values.count(arg))
                throw UsageError{arg + " given twice"};
            values[arg] = args[++i];
        } else if (arg == "--qrm" || arg == "--answers" || arg == "--no-repeat") {
            values[arg] = "on";
        } else if (arg == "--help" || arg == "-h" || arg == "--version") {
            Options o;
            o.Asked = arg == "--version" ? Request::Version : Request::Help;
            return o;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            if (outPath)
                throw UsageError{"more than one output file"};
            outPath = arg;
        }
    }
    for (const char* required : {"--char-wpm", "--overall-wpm", "--text"})
        if (!values.count(required))
            throw UsageError{std::string("missing ") + required};
    if (!outPath)
        throw UsageError{"missing OUT"};

    Options o;
    o.CharWpm = ParseInt("--char-wpm", values["--char-wpm"], 1, 1000);
    o.OverallWpm = ParseInt("--overall-wpm", values["--overall-wpm"], 1, 1000);
    if (values.count("--freq"))
        // Below half the sample rate, so the tone is what it says.
        o.Freq = ParseInt("--freq", values["--freq"], 1, EngineSetup::SampRate / 2 - 1);
    if (values.count("--compression"))
        o.Compression = ParseDouble("--compression", values["--compression"], 0.0, 10.0);
    const auto format = values.count("--format") ? kalvo::FormatForName(values["--format"])
                                                 : kalvo::FormatForFileName(*outPath);
    if (!format)
        throw UsageError{values.count("--format") ? "--format: unknown format " + values["--format"]
                                                  : "cannot tell the format from " + *outPath + "; give --format"};
    o.File.Format = *format;
    if (values.count("--quality"))
        o.File.Quality = ParseDouble("--quality", values["--quality"], 0.0, 10.0);
    // Beyond these the file is all tone or all noise.
    if (values.count("--noise"))
        o.File.NoiseSnrDb = ParseDouble("--noise", values["--noise"], -30.0, 60.0);
    o.File.Band = BandOptions(values, o.File.NoiseSnrDb);
    if (o.File.Band)
        o.File.NoiseSnrDb.reset();
    o.File.Seed = values.count("--seed") ? std::uint64_t(ParseInt("--seed", values["--seed"], 0, 2147483647))
                                         : std::random_device()();
    // The text box holds CR LF line breaks; a lone LF typed on a command line
    // stands for one.
    for (std::size_t i = 0; i < values["--text"].size(); ++i) {
        const char c = values["--text"][i];
        if (c == '\n' && (i == 0 || values["--text"][i - 1] != '\r'))
            o.Text += '\r';
        o.Text += c;
    }
    o.Answers = AnswerOptions(values);
    o.OutPath = *outPath;
    if (o.File.Band)
        o.File.Band->Seed = static_cast<std::uint32_t>(o.File.Seed);
    return o;
}

void Render(const Options& o)
{
    kalvo::RenderJob job;
    job.Text = o.Text;
    job.Timing.Compression = o.Compression;
    job.Timing.SetSpeed(o.CharWpm, o.OverallWpm, o.Freq);
    job.File = o.File;
    job.Answers = o.Answers;
    kalvo::RenderText(job, o.OutPath);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    try {
        options = Parse(args);
    } catch (const UsageError& e) {
        if (!e.Message.empty())
            std::fprintf(stderr, "kalvo-render: %s\n", e.Message.c_str());
        std::fputs(Usage().c_str(), stderr);
        return 2;
    }
    if (options.Asked == Request::Help) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (options.Asked == Request::Version) {
        std::puts("kalvo-render " KALVO_VERSION);
        return 0;
    }
    try {
        Render(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kalvo-render: %s\n", e.what());
        return 1;
    }
    return 0;
}
