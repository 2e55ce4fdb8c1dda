#include "morse/TextSender.h"
#include "tests/support/SoundRig.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WavFile.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

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
Samples SentBySender(const std::string& text, const std::string& charWpm, const std::string& overallWpm,
                     const std::string& freq, double compression)
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
    EXPECT_EQ(wav, SentBySender("PARIS paris", "14", "5", "800", 0));
}

TEST_F(RenderToolTest, FrequencyAndCompression)
{
    const auto out = Dir / "fc.wav";
    ASSERT_EQ(RunTool("--text 'CQ @' --compression 10 --freq 650 --overall-wpm 8 --char-wpm 20 " + out.string()), 0);
    EXPECT_EQ(ReadRendered(out), SentBySender("CQ @", "20", "8", "650", 10));
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
                  "usage: kalvo-render --char-wpm N --overall-wpm N [--freq HZ] [--compression C] --text TEXT OUT.wav");
        // Every option on a line of its own, with its unit and default.
        for (const char* line : {"\n  --char-wpm N        character speed in words per minute, 1 to 1000; required\n",
                                 "\n  --freq HZ           tone frequency in hertz, 1 to 3999; default 800\n",
                                 "\n  --compression C     Farnsworth compression, 0 to 10; default 0\n",
                                 "\n  --version           print the version and exit\n"})
            EXPECT_NE(usage.find(line), std::string::npos) << line;
    }
}

TEST_F(RenderToolTest, UnwritableFileFailsWithOne)
{
    EXPECT_EQ(RunTool("--char-wpm 14 --overall-wpm 5 --text E " + (Dir / "no/such/dir.wav").string()), 1);
}

} // namespace
} // namespace kalvo
