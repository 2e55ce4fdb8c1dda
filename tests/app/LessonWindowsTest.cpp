// The lesson's details window and the progress window, opened from the
// "Advanced" menu after a lesson played through the window (answers right,
// wrong and missing). Screenshots go to the build's artifacts folder.
#include "WindowFixture.h"

#include "app/LessonDetails.h"
#include "app/ProgressWindow.h"
#include "tests/support/TempFolder.h"
#include "trainer/ProgressLog.h"

#include <QAccessible>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QLineSeries>

#include <filesystem>

namespace {

void SaveShot(QWidget* window, const char* name)
{
    QDir().mkpath(QStringLiteral(KALVO_ARTIFACTS_DIR));
    EXPECT_TRUE(window->grab().save(QStringLiteral(KALVO_ARTIFACTS_DIR "/") + QString::fromLatin1(name)));
}

} // namespace

class LessonWindowsTest : public WindowTest {
protected:
    void Ask()
    {
        ASSERT_TRUE(Form->Timer2->isActive());
        Form->Timer2Timer();
        ASSERT_TRUE(Form->Timer1->isActive());
    }
    void Type(char c) { QTest::keyClick(Form->windowHandle(), c); }
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i)
            Form->Timer1Timer();
    }
    // "q" missed once then hit, hit twice more (which brings in "7"), then "7"
    // left to time out.
    void PlayLesson()
    {
        Form->Kalvobutton->click();
        Form->StartNumEdit->setText(QStringLiteral("1"));
        Form->KalvoSendButton->click();
        Ask();
        Type('7');
        Type('q');
        Tick();
        for (int i = 0; i < 2; ++i) {
            Ask();
            Type('q');
            Tick();
        }
        ASSERT_EQ(Form->Train.ActiveCount, 2);
        Ask();
        Tick(8);
    }
    QString Cell(QTableWidget* table, int row, int column) { return table->item(row, column)->text(); }
};

TEST_F(LessonWindowsTest, DetailsShowCountsConfusionsAndKeepUpWithTheLesson)
{
    TForm1& form = MakeForm();
    ShowForm();
    PlayLesson();

    form.LessonDetails1->trigger();
    TLessonDetails* details = form.findChild<TLessonDetails*>();
    ASSERT_NE(details, nullptr);
    ASSERT_TRUE(details->isVisible());
    EXPECT_TRUE(details->Label1->text().endsWith(QStringLiteral("characters in use. Learning order: Kalvo.")));
    QTableWidget* table = details->Table1;
    using C = TLessonDetails::Column;
    const struct {
        const char* character;
        const char* asked;
        const char* first;
        const char* misses;
        const char* timeOuts;
        bool reaction;
        const char* instead;
    } rows[] = {{"Q", "3", "2", "1", "0", true, "7 for Q \u00D71"}, {"7", "1", "0", "0", "1", false, ""}};
    ASSERT_EQ(table->rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(Cell(table, r, C::CharacterColumn), QString::fromLatin1(rows[r].character));
        EXPECT_EQ(Cell(table, r, C::AskedColumn), QString::fromLatin1(rows[r].asked));
        EXPECT_EQ(Cell(table, r, C::FirstKeyColumn), QString::fromLatin1(rows[r].first));
        EXPECT_EQ(Cell(table, r, C::MissesColumn), QString::fromLatin1(rows[r].misses));
        EXPECT_EQ(Cell(table, r, C::TimeOutsColumn), QString::fromLatin1(rows[r].timeOuts));
        EXPECT_EQ(!Cell(table, r, C::ReactionColumn).isEmpty(), rows[r].reaction);
        EXPECT_EQ(Cell(table, r, C::InsteadColumn), QString::fromUtf8(rows[r].instead));
    }
    EXPECT_EQ(details->Map1->Count('q', 'q'), 3);
    EXPECT_EQ(details->Map1->Count('q', '7'), 1);
    EXPECT_EQ(details->Map1->accessibleDescription(), QStringLiteral("Q asked: Q 3, 7 1."));

    // The table is a table for screen readers: its cells are read as such.
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(table);
    ASSERT_NE(access, nullptr);
    ASSERT_NE(access->tableInterface(), nullptr);
    EXPECT_EQ(access->tableInterface()->rowCount(), 2);
    EXPECT_EQ(access->tableInterface()->cellAt(0, C::AskedColumn)->text(QAccessible::Name), QStringLiteral("3"));

    // Sorted by a column's numbers; the rows stand in lesson order until then.
    table->sortByColumn(C::AskedColumn, Qt::AscendingOrder);
    EXPECT_EQ(Cell(table, 0, C::CharacterColumn), QStringLiteral("7"));
    table->sortByColumn(C::AskedColumn, Qt::DescendingOrder);
    EXPECT_EQ(Cell(table, 0, C::CharacterColumn), QStringLiteral("Q"));

    // While open it follows the lesson: "7" answered right.
    Ask();
    Type('7');
    Tick();
    QTRY_COMPARE(details->Map1->Count('7', '7'), 1);
    SaveShot(details, "lesson-details.png");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(LessonWindowsTest, TheProgressLogIsSavedAndShownOnCommandOnly)
{
    kalvo::testing::TempFolder folder;
    TForm1& form = MakeForm();
    ShowForm();
    form.SaveProgress1->trigger();
    form.ShowProgress1->trigger();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0],
              QStringLiteral("There is no lesson to save yet: press \"Start Kalvo\", then \"Start Sending\"."));
    EXPECT_EQ(Errors[1],
              QStringLiteral("There is no progress log Kalvoprogress.txt in this folder yet: \"Save Lesson "
                             "to Progress Log\" starts it (or \"Save to Progress Log\" in Sending Practice)."));
    EXPECT_FALSE(std::filesystem::exists(kalvo::ProgressLogFileName));

    // An earlier lesson, a sending session and a damaged line already in the log.
    kalvo::testing::WriteBytes(kalvo::ProgressLogFileName,
                               "KalvoProgress1;2026-12-01T18:00:00Z;300;1;0.800;0;q:10:6:3:0.900\r\n"
                               "KalvoSending1;2026-12-02T18:00:00Z;95;18.6;96;26\r\n"
                               "KalvoProgress1;2026-12-0\r\n");
    PlayLesson();
    form.KalvoStopButton->click();
    form.SaveProgress1->trigger();
    EXPECT_EQ(form.StatusText(), QStringLiteral("The lesson was added to Kalvoprogress.txt."));
    const kalvo::ProgressLogContents log = kalvo::ReadProgressLog();
    ASSERT_EQ(log.Entries.size(), 2u);
    EXPECT_EQ(log.Entries[1].InUse, 2);
    EXPECT_EQ(log.Entries[1].Characters[0].Asked, 3);
    EXPECT_EQ(log.Entries[1].Characters[1].TimeOuts, 1);

    form.ShowProgress1->trigger();
    TProgressWindow* progress = form.findChild<TProgressWindow*>();
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->Label1->text(),
              QStringLiteral("2 lessons in the progress log. 1 sending sessions. 1 damaged lines were skipped."
                             " The last lesson's learning order: Kalvo."));
    EXPECT_EQ(progress->RatingSeries->count(), 2);
    EXPECT_EQ(progress->SendingSpeedSeries->count(), 1);
    EXPECT_EQ(progress->SendingAccuracySeries->at(0).y(), 96);
    EXPECT_TRUE(progress->Chart1->accessibleDescription().endsWith(
        QStringLiteral("; 2026-12-02T18:00:00Z: sending 18.6 wpm, 96 %.")));
    EXPECT_EQ(progress->InUseSeries->at(1).y(), 2);
    EXPECT_TRUE(progress->Chart1->accessibleDescription().startsWith(
        QStringLiteral("2026-12-01T18:00:00Z: rating 0, 1 characters; ")));
    ASSERT_EQ(progress->Table1->rowCount(), 2);
    EXPECT_EQ(Cell(progress->Table1, 0, 0), QStringLiteral("Q"));
    EXPECT_EQ(Cell(progress->Table1, 0, 2), QStringLiteral("13")); // 10 + 3 asked
    EXPECT_EQ(Cell(progress->Table1, 0, 3), QStringLiteral("69.2")); // 9 hits of 13
    SaveShot(progress, "progress.png");

    kalvo::testing::WriteBytes(kalvo::ProgressLogFileName, "My notes\r\n");
    form.SaveProgress1->trigger();
    ASSERT_EQ(Errors.size(), 3u);
    EXPECT_EQ(Errors[2], QStringLiteral("Kalvoprogress.txt is not a Kalvo progress log."));
    EXPECT_EQ(kalvo::testing::ReadBytes(kalvo::ProgressLogFileName), "My notes\r\n");
}
