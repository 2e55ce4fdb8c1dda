// "Sending Practice" through the window: keys at the keying area key the
// sidetone's voice, the stream (a test stream driven here) plays it, and what
// was keyed is read back and reported.
#include "WindowFixture.h"

#include "app/SendingPractice.h"

#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

struct TestSidetone : kalvo::SidetoneOutput {
    Render Pull;
    int* Running;
    explicit TestSidetone(int* running) : Running(running) { }
    void Start(int, Render render) override { Pull = std::move(render), ++*Running; }
    void Stop() override { Pull ? --*Running : 0, Pull = nullptr; }
};

} // namespace

TEST_F(WindowTest, SendingPracticeKeysTheSidetoneAndReadsTheFist)
{
    TForm1& form = MakeForm();
    int running = 0;
    TestSidetone* stream = nullptr;
    form.MakeSidetone = [&] {
        auto made = std::make_unique<TestSidetone>(&running);
        stream = made.get();
        return made;
    };
    form.SendingPractice1->trigger();
    auto* practice = form.findChild<TSendingPractice*>();
    ASSERT_TRUE(practice && practice->isVisible());
    ASSERT_EQ(running, 1);
    if (!QFileInfo::exists(QStringLiteral("/dev/snd/seq"))) {
        EXPECT_FALSE(practice->MidiBox->isEnabled());
        EXPECT_TRUE(practice->MidiLabel->text().startsWith(QStringLiteral("No MIDI keys: this machine has no ALSA")));
    }

    // "TE" on the straight key at 20 wpm (a dot of 60 ms), the stream asking for 10 ms at a time.
    std::vector<std::int16_t> block(480);
    const auto play = [&](double seconds) {
        for (int i = 0; i < int(seconds * 100 + 0.5); ++i)
            stream->Pull(block.data(), block.size());
    };
    const auto key = [&](QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, 65, 0x20, 0, QStringLiteral(" "));
        QCoreApplication::sendEvent(practice->KeyPad, &event);
    };
    for (double mark : {0.18, 0.06}) {
        key(QEvent::KeyPress);
        play(mark);
        key(QEvent::KeyRelease);
        play(0.18);
    }
    play(0.5);
    practice->ReadKeying();
    EXPECT_EQ(practice->DecodedBox->toPlainText(), QStringLiteral("TE "));

    practice->TargetEdit->setText(QStringLiteral("tie"));
    practice->ReportButton->click();
    const QString report = practice->ReportBox->toPlainText();
    EXPECT_TRUE(report.startsWith(QStringLiteral("Target: TIE\nSent:   T_E\n         -\nSpeed: 20.0 wpm")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("1 missing"))) << report.toStdString();
    EXPECT_TRUE(practice->SaveButton->isEnabled());

    // A key held when the area loses the focus is let go: no endless tone.
    key(QEvent::KeyPress);
    play(0.1);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(practice->KeyPad, &out);
    play(0.1);
    EXPECT_TRUE(std::all_of(block.begin(), block.end(), [](std::int16_t s) { return s == 0; }));
    practice->hide();
    EXPECT_EQ(running, 0);

    // No sound device: the program's error box, and the window stays usable.
    form.MakeSidetone = []() -> std::unique_ptr<kalvo::SidetoneOutput> {
        throw kalvo::ESidetone("The sidetone cannot start: no device.");
    };
    form.SendingPractice1->trigger();
    EXPECT_TRUE(practice->isVisible());
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("The sidetone cannot start: no device."));
}
