// Band conditions through the window: its boxes set what the main window
// holds (a value out of range refused with its range), a send with noise on
// plays the band on a stream of its own until the send's sound has played and
// scales the sender's samples by the same gain, and the settings keep them.
#include "WindowFixture.h"

#include "app/BandWindow.h"
#include "tests/support/TempFolder.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {

struct TestBandStream : kalvo::SidetoneOutput {
    Render Pull;
    int Rate = 0;
    int* Running;
    explicit TestBandStream(int* running) : Running(running) { }
    void Start(int rate, Render render) override { Pull = std::move(render), Rate = rate, ++*Running; }
    void Stop() override { Pull ? --*Running : 0, Pull = nullptr; }
};

int Peak(const std::vector<std::int16_t>& samples)
{
    int peak = 0;
    for (std::int16_t v : samples)
        peak = std::max(peak, std::abs(int(v)));
    return peak;
}

} // namespace

TEST_F(WindowTest, BandConditionsSoundWithASendAndAreKept)
{
    kalvo::testing::TempFolder folder;
    TForm1& form = MakeForm();
    int running = 0, made = 0;
    TestBandStream* stream = nullptr;
    form.MakeSidetone = [&] {
        ++made;
        auto output = std::make_unique<TestBandStream>(&running);
        stream = output.get();
        return output;
    };
    form.SetMemo1Text("E");
    form.Sendbutton->click();
    const std::size_t first = Samples(2).size();
    const int clean = Peak(Samples(2));
    EXPECT_EQ(made, 0); // nothing on: no stream at all

    form.BandConditions1->trigger();
    auto* window = form.findChild<TBandConditions*>();
    ASSERT_TRUE(window && window->isVisible());
    window->NoiseCheck->setChecked(true);
    EXPECT_TRUE(form.Band.Noise);
    window->SnrBox->setValue(31.0);
    EXPECT_EQ(window->MessageLabel->text(),
              QStringLiteral("The signal-to-noise ratio 31 dB is out of range: it must lie from -10 to 30 dB."));
    EXPECT_EQ(form.Band.SnrDb, 10.0);
    window->SnrBox->setValue(0.0);
    EXPECT_TRUE(window->MessageLabel->text().isEmpty());
    EXPECT_EQ(form.Band.SnrDb, 0.0);

    form.Sendbutton->click();
    ASSERT_EQ(made, 1);
    EXPECT_EQ(stream->Rate, kalvo::LiveBand::StreamRate);
    EXPECT_STREQ(stream->StreamRole().Name, "Band conditions");
    const double gain = form.BandSound.Gain();
    EXPECT_LT(gain, 1.0);
    const auto both = Samples(4);
    EXPECT_NEAR(Peak({both.begin() + long(first), both.end()}), gain * clean, 1.0);
    ASSERT_EQ(running, 1); // until the send's sound has played
    std::vector<std::int16_t> band(800);
    stream->Pull(band.data(), band.size());
    EXPECT_GT(Peak(band), 0);
    QTRY_COMPARE_WITH_TIMEOUT(running, 0, 10000);
    EXPECT_FALSE(form.BandSound.Running());
    EXPECT_TRUE(Errors.empty());

    // Saved after the five lines and an empty order line; loaded back into the window.
    form.SaveEnv1->trigger();
    QFile file(QStringLiteral("Kalvoinit.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("1\r\n5\r\n14\r\n800\r\n1\r\n\r\n") + form.Band.ToLine().c_str() + "\r\n");
    const kalvo::BandSettings saved = form.Band;
    form.SetBand({});
    EXPECT_FALSE(window->NoiseCheck->isChecked());
    form.LoadEnv1->trigger();
    EXPECT_EQ(form.Band, saved);
    EXPECT_TRUE(window->NoiseCheck->isChecked());
}
