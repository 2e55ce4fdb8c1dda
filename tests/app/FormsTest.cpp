// The notepad window and the about box, under Qt's offscreen platform.
#include "app/Unit1.h"
#include "app/Unit2.h"

#include "common/Errors.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>

#include <cstdlib>

using kalvo::testing::ReadBytes;
using kalvo::testing::TempFolder;
using kalvo::testing::WriteBytes;

namespace {

QPoint ScreenCentre()
{
    return QGuiApplication::primaryScreen()->availableGeometry().center();
}

} // namespace

TEST(NotepadWindow, LayoutCaptionsAndHints)
{
    TForm2 form;
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "Note Pad:  Enter and edit notes here.");
    EXPECT_EQ(form.toolTip(), "NotePad form:  Re-size as necessary.");
    EXPECT_EQ(form.size(), QSize(317, 327));

    ASSERT_EQ(form.findChild<QPlainTextEdit*>("Memo1"), form.Memo1);
    EXPECT_EQ(form.Memo1->geometry(), QRect(8, 48, 298, 249));
    EXPECT_EQ(form.Memo1->toolTip(), "Write your notes about progress in here.");
    EXPECT_EQ(form.Memo1->font().pointSize(), 10);
    EXPECT_EQ(form.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(form.Memo1->toPlainText().isEmpty());

    ASSERT_EQ(form.findChild<QPushButton*>("Button1"), form.Button1);
    EXPECT_EQ(form.Button1->geometry(), QRect(24, 8, 89, 25));
    EXPECT_EQ(form.Button1->text(), "Save Notepad");
    EXPECT_EQ(form.Button1->toolTip(), "Click to save your notes.");
}

TEST(NotepadWindow, NotesBoxFollowsEveryEdge)
{
    TForm2 form;
    form.show();
    form.resize(417, 427);
    QApplication::processEvents();
    EXPECT_EQ(form.Memo1->geometry(), QRect(8, 48, 398, 349));
    form.resize(217, 227);
    QApplication::processEvents();
    EXPECT_EQ(form.Memo1->geometry(), QRect(8, 48, 198, 149));
}

TEST(NotepadWindow, CentredWhenFirstShownAndClosingOnlyHides)
{
    TForm2 form;
    form.Memo1->setPlainText("keep me");
    form.show();
    QApplication::processEvents();
    EXPECT_LE((form.geometry().center() - ScreenCentre()).manhattanLength(), 6); // within the frame's width

    form.move(10, 20);
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.pos(), QPoint(10, 20)); // not centred a second time
    EXPECT_EQ(form.Memo1->toPlainText(), "keep me");
}

TEST(NotepadWindow, PlacedBeforeFirstShowKeepsItsPlace)
{
    TForm2 form;
    form.move(30, 40);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.pos(), QPoint(30, 40));
}

TEST(NotepadWindow, SaveWritesCrLfAfterEachLine)
{
    TempFolder folder;
    TForm2 form;
    form.Memo1->setPlainText("Day 1: E T A\nDay 2: slow on Q\n\nTry 12 wpm");
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(ReadBytes("Notepad.txt"), "Day 1: E T A\r\nDay 2: slow on Q\r\n\r\nTry 12 wpm\r\n");
}

TEST(NotepadWindow, SavingEmptyNotesGivesAnEmptyFile)
{
    TempFolder folder;
    WriteBytes("Notepad.txt", "old\r\n");
    TForm2 form;
    form.Button1Click();
    EXPECT_TRUE(std::filesystem::exists("Notepad.txt"));
    EXPECT_EQ(ReadBytes("Notepad.txt"), "");
}

TEST(NotepadWindow, SaveFailureIsThrownForTheErrorBox)
{
    TempFolder folder;
    std::filesystem::create_directory("Notepad.txt");
    TForm2 form;
    form.Memo1->setPlainText("lost?");
    try {
        form.Button1Click();
        FAIL() << "no error";
    } catch (const kalvo::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Cannot create file Notepad.txt");
    }
    EXPECT_EQ(form.Memo1->toPlainText(), "lost?");
}

TEST(NotepadWindow, LoadReplacesUnsavedNotes)
{
    TempFolder folder;
    WriteBytes("notepad.txt", "saved line\r\nsecond\r\n");
    TForm2 form;
    form.Memo1->setPlainText("unsaved");
    EXPECT_TRUE(form.LoadNotes());
    EXPECT_EQ(form.Memo1->toPlainText(), "saved line\nsecond\n");
    // Saving straight back gives the same file.
    form.Button1Click();
    EXPECT_EQ(ReadBytes("Notepad.txt"), "saved line\r\nsecond\r\n");
}

TEST(NotepadWindow, LoadWithoutFileKeepsTheNotes)
{
    TempFolder folder;
    TForm2 form;
    form.Memo1->setPlainText("unsaved");
    EXPECT_FALSE(form.LoadNotes());
    EXPECT_EQ(form.Memo1->toPlainText(), "unsaved");
}

TEST(NotepadWindow, NotesAreEightBitLatin1Text)
{
    TempFolder folder;
    TForm2 form;
    form.Memo1->setPlainText(QString::fromUtf8("Caf\xC3\xA9 5"));
    form.Button1Click();
    EXPECT_EQ(ReadBytes("Notepad.txt"), "Caf\xE9 5\r\n");
    form.Memo1->clear();
    ASSERT_TRUE(form.LoadNotes());
    EXPECT_EQ(form.Memo1->toPlainText(), QString::fromUtf8("Caf\xC3\xA9 5\n"));

    // A file written elsewhere is read byte for byte.
    WriteBytes("Notepad.txt", "Caf\xE9\r\n");
    ASSERT_TRUE(form.LoadNotes());
    EXPECT_EQ(form.Memo1->toPlainText(), QString::fromUtf8("Caf\xC3\xA9\n"));
}

TEST(AboutBox, LayoutAndTexts)
{
    TAboutBox box;
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), "About  this version of Kalvo");
    EXPECT_EQ(box.size(), QSize(298, 213));
    EXPECT_EQ(box.minimumSize(), box.maximumSize()); // fixed size
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(box.isModal());

    ASSERT_EQ(box.findChild<QFrame*>("Panel1"), box.Panel1);
    EXPECT_EQ(box.Panel1->geometry(), QRect(8, 8, 281, 161));
    EXPECT_NE(box.Panel1->frameShape(), QFrame::NoFrame);

    ASSERT_EQ(box.findChild<QLabel*>("ProgramIcon"), box.ProgramIcon);
    EXPECT_EQ(box.ProgramIcon->geometry(), QRect(8, 8, 65, 70));
    EXPECT_TRUE(box.ProgramIcon->hasScaledContents());
    const QPixmap picture = box.ProgramIcon->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(64, 70));

    ASSERT_EQ(box.findChild<QLabel*>("ProductName"), box.ProductName);
    EXPECT_EQ(box.ProductName->text(), "Kalvo");
    EXPECT_EQ(box.ProductName->pos(), QPoint(88, 16));
    EXPECT_TRUE(box.ProductName->font().bold());
    EXPECT_EQ(box.ProductName->font().pointSize(), 10);

    ASSERT_EQ(box.findChild<QLabel*>("Version"), box.Version);
    EXPECT_EQ(box.Version->pos(), QPoint(88, 40));
    EXPECT_TRUE(box.Version->text().startsWith("Version "));

    const std::pair<QLabel*, QPoint> notice[] = {{box.Label1, {8, 80}}, {box.Label2, {8, 96}}, {box.Label3, {8, 112}}};
    const char* names[] = {"Label1", "Label2", "Label3"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(box.findChild<QLabel*>(names[i]), notice[i].first);
        EXPECT_EQ(notice[i].first->pos(), notice[i].second);
        EXPECT_FALSE(notice[i].first->text().isEmpty());
    }

    ASSERT_EQ(box.findChild<QLabel*>("Comments"), box.Comments);
    EXPECT_EQ(box.Comments->pos(), QPoint(8, 136));
    EXPECT_TRUE(box.Comments->font().bold());
    EXPECT_TRUE(box.Comments->wordWrap());

    ASSERT_EQ(box.findChild<QPushButton*>("OKButton"), box.OKButton);
    EXPECT_EQ(box.OKButton->geometry(), QRect(111, 180, 75, 25));
    EXPECT_EQ(box.OKButton->text(), "OK");
    EXPECT_TRUE(box.OKButton->isDefault());
}

TEST(AboutBox, ShownWithoutBlockingAndHiddenByOk)
{
    TAboutBox box;
    box.show(); // returns at once: the box is not modal
    QApplication::processEvents();
    EXPECT_TRUE(box.isVisible());
    EXPECT_LE((box.geometry().center() - ScreenCentre()).manhattanLength(), 6); // within the frame's width
    box.show();
    EXPECT_TRUE(box.isVisible());
    QTest::mouseClick(box.OKButton, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
}

TEST(AboutBox, EnterPressesOkAndClosingOnlyHides)
{
    TAboutBox box;
    box.show();
    QApplication::processEvents();
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());

    box.show();
    QApplication::processEvents();
    EXPECT_TRUE(box.close());
    EXPECT_FALSE(box.isVisible());
    box.show();
    EXPECT_TRUE(box.isVisible()); // still there to be shown again
}
