// The call and word drills through the window: a run of callsigns sent at
// the run's speed, answers typed right and wrong with a repeat between, the
// speeds, the score, the table and what is announced.
#include "WindowFixture.h"

#include "app/CallDrillWindow.h"
#include "app/ExportDialog.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WavFile.h"
#include "trainer/ProgressLog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>

TEST_F(WindowTest, ACallDrillFollowsTheAnswers)
{
    TForm1& form = MakeForm();
    form.CallDrills1->trigger();
    auto* drills = form.findChild<TCallDrills*>();
    ASSERT_TRUE(drills && drills->isVisible());
    drills->SpeedBox->setValue(20);
    drills->StartButton->click();
    const kalvo::DrillRun* run = drills->Run();
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->Items.size(), 25u);
    EXPECT_FALSE(drills->StartButton->isEnabled());
    // The first call sounds at 20 wpm: a dot of 60 ms.
    const auto runs = ToneRuns(Samples(form.OutSound1.Mark()->Buffer + 1));
    ASSERT_FALSE(runs.empty());
    const std::size_t dot = std::min_element(runs.begin(), runs.end(), [](auto& a, auto& b) {
                                return a.Length < b.Length;
                            })->Length;
    EXPECT_NEAR(double(dot) / form.OutSound1.SampRate(), 0.06, 0.007);

    // Right, wrong, repeated and right, right, wrong.
    const struct {
        bool Right, Repeat;
        int WpmAfter;
    } answers[] = {{true, false, 21}, {false, false, 20}, {true, true, 21}, {true, false, 22}, {false, false, 21}};
    double score = 0;
    int wpm = 20;
    for (const auto& a : answers) {
        const std::string item = run->Current();
        if (a.Repeat)
            drills->RepeatButton->click();
        score += a.Right ? double(wpm) * double(item.size()) / (a.Repeat ? 2 : 1) : 0;
        drills->AnswerEdit->setText(QString::fromStdString(a.Right ? item : item + "X"));
        QTest::keyClick(drills->AnswerEdit, Qt::Key_Return);
        EXPECT_EQ(run->Wpm(), a.WpmAfter);
        EXPECT_EQ(drills->StatusLabel->text().startsWith(QStringLiteral("Item")), true);
        wpm = a.WpmAfter;
    }
    EXPECT_DOUBLE_EQ(run->Score(), score);
    ASSERT_EQ(drills->ResultTable->rowCount(), 5);
    EXPECT_EQ(drills->ResultTable->item(0, 2)->text(), QStringLiteral("right"));
    EXPECT_TRUE(drills->ResultTable->item(1, 2)->text().endsWith(QStringLiteral("+")));
    EXPECT_EQ(drills->ResultTable->item(2, 3)->text(), QStringLiteral("20 (repeated)"));

    // The rest right: the run ends, its summary is announced, it is saved.
    kalvo::testing::TempFolder folder;
    while (!run->Done()) {
        drills->AnswerEdit->setText(QString::fromStdString(run->Current()));
        QTest::keyClick(drills->AnswerEdit, Qt::Key_Return);
    }
    EXPECT_EQ(run->Wpm(), 41);
    EXPECT_TRUE(drills->SummaryLabel->text().startsWith(QStringLiteral("Score ")));
    EXPECT_EQ(drills->StatusLabel->text(), drills->SummaryLabel->text());
    ASSERT_TRUE(drills->SaveButton->isEnabled());
    drills->SaveButton->click();
    const auto log = kalvo::ReadProgressLog();
    ASSERT_EQ(log.Drills.size(), 1u);
    EXPECT_EQ(log.Drills[0].Kind, "calls");
    EXPECT_EQ(log.Drills[0].TopWpm, 41);
    EXPECT_DOUBLE_EQ(log.Drills[0].Score, run->Score());

    // A drill for away from the desk: 25 calls with their answers, a minute at least.
    ExportDialog::SetChooser([](QWidget*) {
        return ExportChoice{"drill.wav", 5.0, std::nullopt, false, std::nullopt};
    });
    drills->ExportButton->click();
    QSignalSpy finished(form.findChild<AudioExport*>(), &AudioExport::Finished);
    ASSERT_TRUE(finished.wait(20000));
    ExportDialog::SetChooser({});
    EXPECT_GT(kalvo::testing::ReadWav("drill.wav")->Left.size(), 60u * 8000);
    EXPECT_TRUE(Errors.empty());
}
