#include "morse/TextSender.h"
#include "tests/support/SoundRig.h"
#include "tests/support/Spectrum.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ToneRuns.h"
#include "tests/support/WavFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace kalvo {
namespace {

using testing::Samples;

int RunTool(const std::string& arguments)
{
    const std::string command = std::string(KALVO_RENDER_PATH) + " " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The samples the program's own sender writes for a text, padding included.
Samples SentBySender(const std::string& text, int charWpm, int overallWpm, int freq, double compression)
{
    testing::SoundRig rig;
    MorseCodeTable table;
    table.CodeTableInitialize();
    TimingModel timing;
    timing.Compression = compression;
    timing.SetSpeed(charWpm, overallWpm, freq);
    ToneSynth synth(rig.Out);
    synth.BuildStartupTable();
    std::size_t samples = 0;
    synth.ProcessEvents = [&] { ++samples; };
    TextSender sender(table, timing, synth, rig.Out);
    sender.CurrentText = [&] { return text; };
    sender.Sending = true;
    sender.Run();
    return rig.Recorded(testing::BuffersFor(samples, EngineSetup::BufferLength));
}

// A sound file of any format, decoded by libsndfile: its rate and its first
// channel in sample units.
struct Decoded {
    int Rate = 0;
    int Format = 0;
    std::vector<double> Samples;
};

Decoded Decode(const std::filesystem::path& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    if (!file)
        return {};
    std::vector<double> all(std::size_t(info.frames) * info.channels);
    all.resize(std::size_t(sf_readf_double(file, all.data(), info.frames)) * info.channels);
    sf_close(file);
    Decoded d{info.samplerate, info.format & SF_FORMAT_TYPEMASK, {}};
    for (std::size_t i = 0; i < all.size(); i += info.channels)
        d.Samples.push_back(all[i] * 32768.0);
    return d;
}

double Rms(const std::vector<double>& x)
{
    double sum = 0.0;
    for (double v : x)
        sum += v * v;
    return std::sqrt(sum / double(x.size()));
}

class RenderToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = std::filesystem::temp_directory_path() / ("kalvo-render-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }

    // The file as the tool writes it: the canonical 44-byte header of 16-bit
    // mono at 8000 samples per second, then the samples.
    Samples ReadRendered(const std::filesystem::path& path)
    {
        using testing::Le16;
        using testing::Le32;
        const std::string b = testing::ReadBytes(path.string());
        EXPECT_GE(b.size(), 44u);
        if (b.size() < 44)
            return {};
        EXPECT_EQ(b.substr(0, 4), "RIFF");
        EXPECT_EQ(b.substr(8, 4), "WAVE");
        EXPECT_EQ(b.substr(12, 4), "fmt ");
        EXPECT_EQ(Le16(b, 20), 1); // PCM
        EXPECT_EQ(Le16(b, 22), 1); // mono
        EXPECT_EQ(Le32(b, 24), 8000u);
        EXPECT_EQ(Le16(b, 34), 16);
        EXPECT_EQ(b.substr(36, 4), "data");
        const std::uint32_t bytes = Le32(b, 40);
        EXPECT_EQ(Le32(b, 4), 36 + bytes);
        EXPECT_EQ(b.size(), 44 + std::size_t(bytes));
        const auto wav = testing::ReadWav(path.string());
        EXPECT_TRUE(wav.has_value());
        return wav ? wav->Left : Samples{};
    }

    // The tool's exit code and what it printed on each stream.
    struct Printed {
        int Code;
        std::string Out;
        std::string Err;
    };
    Printed RunPrinting(const std::string& arguments)
    {
        const std::string out = (Dir / "out.txt").string();
        const std::string err = (Dir / "err.txt").string();
        const std::string command = std::string(KALVO_RENDER_PATH) + " " + arguments + " >" + out + " 2>" + err;
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadBytes(out), testing::ReadBytes(err)};
    }

    std::filesystem::path Dir;
};

TEST_F(RenderToolTest, WritesWhatTheSenderPlays)
{
    const auto out = Dir / "paris.wav";
    ASSERT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --text 'PARIS paris' " + out.string()), 0);
    const Samples wav = ReadRendered(out);
    EXPECT_EQ(wav.size() % 4000, 0u);
    EXPECT_EQ(wav, SentBySender("PARIS paris", 14, 5, 800, 0));
}

TEST_F(RenderToolTest, FrequencyAndCompression)
{
    const auto out = Dir / "fc.wav";
    ASSERT_EQ(RunTool("--text 'CQ @' --compression 10 --freq 650 --overall-wpm 8 --char-wpm 20 " + out.string()), 0);
    EXPECT_EQ(ReadRendered(out), SentBySender("CQ @", 20, 8, 650, 10));
}

TEST_F(RenderToolTest, EveryFormatHoldsTheSenderSamples)
{
    const Samples sent = SentBySender("PARIS 599", 20, 20, 800, 0);
    const std::vector<double> exact(sent.begin(), sent.end());
    struct Case {
        const char* Name;
        const char* Options;
        int Type;
        int Rate;
    };
    const Case cases[] = {
        {"a.flac", "", SF_FORMAT_FLAC, 8000},
        {"a.ogg", "", SF_FORMAT_OGG, 8000},
        {"a.OPUS", "", SF_FORMAT_OGG, 8000},
        {"a.mp3", "", SF_FORMAT_MPEG, 8000},
        {"a.dat", "--format flac", SF_FORMAT_FLAC, 8000},
        {"b.wav", "--format mp3 --quality 0", SF_FORMAT_MPEG, 8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto out = Dir / c.Name;
        ASSERT_EQ(
            RunTool(std::string("--char-wpm 20 --overall-wpm 20 --text 'PARIS 599' ") + c.Options + " " + out.string()),
            0);
        const Decoded d = Decode(out);
        EXPECT_EQ(d.Format, c.Type);
        EXPECT_EQ(d.Rate, c.Rate);
        if (c.Type == SF_FORMAT_FLAC) {
            EXPECT_EQ(d.Samples, exact);
            continue;
        }
        // Lossy: the same length give or take the encoder's frames, the same loudness.
        EXPECT_NEAR(double(d.Samples.size()) / d.Rate, exact.size() / 8000.0, 0.1);
        EXPECT_NEAR(20 * std::log10(Rms(d.Samples) / Rms(exact)), 0.0, 1.0);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), std::ptrdiff_t(std::size(cases)));
}

// The signal-to-noise ratio of the file as a listener's receiver would see it:
// the tone's power while the key is down over the noise power in 2500 Hz. The
// noise is measured in the gaps and fills the 2400 Hz from 300 to 2700 Hz.
TEST_F(RenderToolTest, NoiseHasTheAskedSignalToNoiseRatio)
{
    const std::string text = "--char-wpm 20 --overall-wpm 20 --text 'PARIS PARIS PARIS PARIS PARIS' ";
    ASSERT_EQ(RunTool(text + (Dir / "clean.wav").string()), 0);
    const Samples clean = testing::ReadWav((Dir / "clean.wav").string())->Left;
    // Key down without the ramps; gaps a ramp away from any tone.
    constexpr std::size_t Ramp = 48;
    std::vector<char> keyDown(clean.size(), 0);
    std::vector<char> gap(clean.size(), 1);
    for (const testing::Run& run : testing::ToneRuns(clean, 20)) {
        for (std::size_t i = run.Start + Ramp; i + Ramp < run.Start + run.Length; ++i)
            keyDown[i] = 1;
        for (std::size_t i = run.Start > Ramp ? run.Start - Ramp : 0; i < run.Start + run.Length + Ramp; ++i)
            gap[std::min(i, gap.size() - 1)] = 0;
    }
    for (double snr : {0.0, 10.0, -6.0}) {
        SCOPED_TRACE(snr);
        const auto out = Dir / "noisy.wav";
        ASSERT_EQ(RunTool(text + "--seed 7 --noise " + std::to_string(snr) + " " + out.string()), 0);
        const Samples noisy = testing::ReadWav(out.string())->Left;
        ASSERT_EQ(noisy.size(), clean.size());
        double keyPower = 0, gapPower = 0;
        std::size_t keyCount = 0, gapCount = 0;
        for (std::size_t i = 0; i < noisy.size(); ++i) {
            const double v2 = double(noisy[i]) * noisy[i];
            keyPower += keyDown[i] ? v2 : 0.0;
            keyCount += keyDown[i];
            gapPower += gap[i] ? v2 : 0.0;
            gapCount += gap[i];
        }
        keyPower /= double(keyCount);
        gapPower /= double(gapCount);
        const double measured = 10 * std::log10((keyPower - gapPower) / (gapPower * 2500.0 / 2400.0));
        EXPECT_NEAR(measured, snr, 0.5);
        std::printf("SNR asked %+.1f dB, measured %+.2f dB\n", snr, measured);
    }
}

// Through the receiver's filter: the noise density at the tone, from the
// spectrum of what the noisy file holds beyond the clean one (scaled as the
// file scales it), against the clean tone's power.
TEST_F(RenderToolTest, BandNoiseThroughEachFilterHasTheAskedRatio)
{
    const std::string text = "--char-wpm 20 --overall-wpm 20 --text 'PARIS PARIS PARIS PARIS PARIS PARIS' ";
    ASSERT_EQ(RunTool(text + (Dir / "clean.wav").string()), 0);
    const Samples clean = testing::ReadWav((Dir / "clean.wav").string())->Left;
    ASSERT_EQ(RunTool(text + "--filter 500 " + (Dir / "same.wav").string()), 0);
    EXPECT_EQ(testing::ReadWav((Dir / "same.wav").string())->Left, clean); // conditions that add nothing
    double tonePower = 0;
    std::size_t keyDown = 0;
    for (const testing::Run& run : testing::ToneRuns(clean, 20))
        for (std::size_t i = run.Start + 48; i + 48 < run.Start + run.Length; ++i, ++keyDown)
            tonePower += double(clean[i]) * clean[i];
    tonePower /= double(keyDown);
    for (int filter : {250, 500, 1000, 2700}) {
        for (double snr : {-6.0, 0.0, 10.0}) {
            SCOPED_TRACE(std::to_string(filter) + " Hz, " + std::to_string(snr) + " dB");
            const auto out = Dir / "noisy.wav";
            ASSERT_EQ(RunTool(text + "--seed 3 --filter " + std::to_string(filter) + " --noise " + std::to_string(snr)
                              + " " + out.string()),
                      0);
            const Samples noisy = testing::ReadWav(out.string())->Left;
            ASSERT_EQ(noisy.size(), clean.size());
            double cross = 0, self = 0;
            for (std::size_t i = 0; i < clean.size(); ++i)
                cross += double(noisy[i]) * clean[i], self += double(clean[i]) * clean[i];
            const double gain = cross / self;
            std::vector<double> band(clean.size());
            for (std::size_t i = 0; i < clean.size(); ++i)
                band[i] = (noisy[i] - gain * clean[i]) / gain;
            const double density = testing::MeanDensity(band, 8000, 800 - filter / 8.0, 800 + filter / 8.0);
            const double measured = 10 * std::log10(tonePower / (density * 2500));
            EXPECT_NEAR(measured, snr, 0.5);
            std::printf("filter %4d Hz, SNR %+3.0f dB: measured %+.2f dB\n", filter, snr, measured);
        }
    }
}

// A file with spoken answers: sounds parted by silences of at least 0.4 s
// fall into three segments an item, the Morse, the voice and the Morse again;
// each Morse segment reads back as its item, the pauses are the ones asked
// for and the repeat is 6 dB quieter.
TEST_F(RenderToolTest, AnswersFollowTheirLayout)
{
    const auto out = Dir / "answers.wav";
    ASSERT_EQ(RunTool("--char-wpm 20 --overall-wpm 20 --answers --pauses 1,1.5,2 --text 'dl1abc cq' " + out.string()),
              0);
    const Samples samples = testing::ReadWav(out.string())->Left;
    std::vector<std::vector<testing::Run>> segments;
    for (const testing::Run& run : testing::ToneRuns(samples, 16, 64)) {
        if (segments.empty() || run.Start - (segments.back().back().Start + segments.back().back().Length) > 3200)
            segments.emplace_back();
        segments.back().push_back(run);
    }
    ASSERT_EQ(segments.size(), 6u);
    MorseCodeTable table;
    table.CodeTableInitialize();
    const auto end = [](const std::vector<testing::Run>& s) { return s.back().Start + s.back().Length; };
    const auto peak = [&](const std::vector<testing::Run>& s) {
        int p = 0;
        for (std::size_t i = s.front().Start; i < end(s); ++i)
            p = std::max(p, std::abs(int(samples[i])));
        return p;
    };
    const std::string items[] = {"DL1ABC", "CQ"};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(items[k]);
        std::string expected;
        for (char c : items[k])
            expected += (expected.empty() ? "" : " ") + table.LookupCode(std::string(1, c));
        for (int m : {0, 2}) {
            const auto& morse = segments[std::size_t(3 * k + m)];
            std::string read;
            for (std::size_t i = 0; i < morse.size(); ++i) {
                if (i > 0 && morse[i].Start - (morse[i - 1].Start + morse[i - 1].Length) > 2 * 480)
                    read += ' ';
                read += morse[i].Length > 2 * 480 ? '3' : '1';
            }
            EXPECT_EQ(read, expected);
        }
        const double pauses[] = {1.0, 1.5};
        for (int p = 0; p < 2; ++p)
            EXPECT_NEAR(
                double(segments[std::size_t(3 * k + p + 1)].front().Start - end(segments[std::size_t(3 * k + p)]))
                    / 8000,
                pauses[p], 0.01);
        EXPECT_NEAR(
            20 * std::log10(double(peak(segments[std::size_t(3 * k + 2)])) / peak(segments[std::size_t(3 * k)])), -6.0,
            0.1);
    }
    EXPECT_NEAR(double(segments[3].front().Start - end(segments[2])) / 8000, 2.0, 0.01);
    const auto none = Dir / "none.wav";
    EXPECT_EQ(RunTool("--char-wpm 20 --overall-wpm 20 --answers --voice xx-none --text 'cq' " + none.string()), 1);
    EXPECT_EQ(RunTool("--char-wpm 20 --overall-wpm 20 --answers --text ' ' " + none.string()), 1);
    EXPECT_FALSE(std::filesystem::exists(none));
}

TEST_F(RenderToolTest, UsageErrorsExitWithTwo)
{
    const std::string out = (Dir / "x.wav").string();
    EXPECT_EQ(RunTool(""), 2);
    EXPECT_EQ(RunTool("--char-wpm 14 --text E " + out), 2); // missing option
    EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --text E"), 2); // no file
    EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --speed 3 --text E " + out), 2);
    EXPECT_EQ(RunTool("--char-wpm 14.5 --overall-wpm 5 --text E " + out), 2);
    EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 0 --text E " + out), 2);
    EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --freq abc --text E " + out), 2);
    EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --compression -1 --text E " + out), 2);
    EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --text"), 2);
    for (const char* options :
         {"", "--format au", "--quality 11", "--noise x", "--seed -1", "--filter 300", "--qsb medium", "--qsb-depth 10",
          "--qrm --qrm-offset 20", "--qrm --qrm-level 11", "--qrn 0", "--qsb slow --qsb-depth 31"})
        EXPECT_EQ(RunTool(std::string("--char-wpm 14 --overall-wpm 5 --text E ") + options + " " + out + ".au"), 2);
    EXPECT_FALSE(std::filesystem::exists(out));
}

// --help and --version answer on standard output and exit with 0; a wrong
// option is named on standard error, followed by the whole usage, with 2.
TEST_F(RenderToolTest, HelpVersionAndUnknownOption)
{
    const Printed version = RunPrinting("--version");
    EXPECT_EQ(version.Code, 0);
    EXPECT_EQ(version.Out, std::string("kalvo-render ") + KALVO_VERSION + "\n");
    EXPECT_EQ(version.Err, "");

    const struct {
        const char* Arguments;
        int Code;
        const char* Error; // what precedes the usage on standard error
    } cases[] = {
        {"--help", 0, ""},
        {"-h", 0, ""},
        {"--char-wpm 14 --help", 0, ""},
        {"--bogus", 2, "kalvo-render: unknown option --bogus\n"},
        {"--char-wpm 14 --overall-wpm 5 --text E -x out.wav", 2, "kalvo-render: unknown option -x\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const Printed printed = RunPrinting(c.Arguments);
        EXPECT_EQ(printed.Code, c.Code);
        const bool help = c.Code == 0;
        EXPECT_EQ(help ? printed.Err : printed.Out, "");
        std::string usage = help ? printed.Out : printed.Err;
        ASSERT_EQ(usage.substr(0, std::strlen(c.Error)), c.Error);
        usage.erase(0, std::strlen(c.Error));
        EXPECT_EQ(usage.substr(0, usage.find('\n')),
                  "usage: kalvo-render --char-wpm N --overall-wpm N [--freq HZ] [--compression C] [--format FORMAT] "
                  "[--quality Q] [--noise SNR_DB] [--filter HZ] [--qsb SPEED] [--qsb-depth DB] [--qrm] "
                  "[--qrm-offset HZ] [--qrm-level DB] [--qrn N] [--seed N] [--answers] [--voice NAME] [--voice-wpm N] "
                  "[--pauses A,B,C] [--no-repeat] [--repeat-level DB] --text TEXT OUT");
        // Every option on a line of its own, with its unit and default.
        for (const char* line : {"\n  --char-wpm N        character speed in words per minute, 1 to 1000; required\n",
                                 "\n  --freq HZ           tone frequency in hertz, 1 to 3999; default 800\n",
                                 "\n  --compression C     Farnsworth compression, 0 to 10; default 0\n",
                                 "\n  --seed N            start of the noise and the conditions, 0 to 2147483647; "
                                 "default: different every "
                                 "run\n",
                                 "\n  --version           print the version and exit\n"})
            EXPECT_NE(usage.find(line), std::string::npos) << line;
    }
}

TEST_F(RenderToolTest, UnwritableFileFailsWithOne)
{
    for (const char* name : {"no/such/dir.wav", "no/such/dir.mp3"})
        EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --text E " + (Dir / name).string()), 1);
}

} // namespace
} // namespace kalvo
