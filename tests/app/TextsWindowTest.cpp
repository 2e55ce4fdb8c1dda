// The text sources and files through the main window: practice texts, random
// strings, the settings file, the notepad, the help page and the about box.
// Each test works in a fresh temporary working directory.
#include "WindowFixture.h"

#include "app/Unit1.h"
#include "app/Unit2.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void WriteFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Practice file k holds lines "text <n>" for its numbers, P9 only 50 of them.
void WritePracticeFiles(int lastFile = 9)
{
    for (int k = 0; k <= lastFile; ++k) {
        QByteArray bytes;
        const int lines = k == 9 ? 50 : 100;
        for (int j = 1; j <= lines; ++j)
            bytes += "text " + QByteArray::number(100 * k + j) + "\r\n";
        WriteFile(QStringLiteral("P%1").arg(k), bytes);
    }
}

} // namespace

class TextsWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        Previous = QDir::currentPath();
        ASSERT_TRUE(Folder.isValid());
        QDir::setCurrent(Folder.path());
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        QDir::setCurrent(Previous);
    }
    void Load(const char* number)
    {
        Form->Edit1->setText(QString::fromLatin1(number));
        Form->Button1->click();
    }

    QTemporaryDir Folder;
    QString Previous;
};

TEST_F(TextsWindowTest, PracticeTextsLoadOneLineAndAdvanceTheNumber)
{
    WritePracticeFiles();
    TForm1& form = MakeForm();
    form.Kalvobutton->click(); // unfold the histogram panel, to see it folded again
    form.KalvoStopButton->click();

    Load("1");
    EXPECT_EQ(form.Memo1Text(), "text 1\r\n");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("2"));
    EXPECT_TRUE(form.Panel2->isHidden());
    EXPECT_EQ(form.ClientHeight(), TForm1::LayoutClientHeight - TForm1::Panel2Height);
    EXPECT_TRUE(form.Memo2->isHidden());
    EXPECT_EQ(form.Memo3->toPlainText().split(u'\n').size(), 100); // the whole file in the line buffer

    form.Button1->click();
    EXPECT_EQ(form.Memo1Text(), "text 2\r\n");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("3"));

    Load("101");
    EXPECT_EQ(form.Memo1Text(), "text 101\r\n");
    Load("948");
    EXPECT_EQ(form.Memo1Text(), "text 948\r\n");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("949"));
    form.Button1->click();
    EXPECT_EQ(form.Memo1Text(), "text 949\r\n");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("949"));
    Load("950");
    EXPECT_EQ(form.Memo1Text(), "text 950\r\n");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("950"));
    Load("951");
    EXPECT_EQ(form.Memo1Text(), "");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("951"));
    Load("0");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("1"));
    Load(" 12");
    EXPECT_EQ(form.Memo1Text(), "text 12\r\n");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("13"));
    EXPECT_TRUE(Errors.empty());

    // Saving and loading the settings between two requests changes nothing.
    form.SaveEnv1->trigger();
    form.LoadEnv1->trigger();
    form.Edit1->setText(QStringLiteral("13"));
    form.Button1->click();
    EXPECT_EQ(form.Memo1Text(), "text 13\r\n");
}

TEST_F(TextsWindowTest, PracticeCodeMissingFilesAndBadNumbers)
{
    WritePracticeFiles(2);
    WriteFile(QStringLiteral("P4"), "only one line\r\n");
    TForm1& form = MakeForm();

    form.SetMemo1Text("keep");
    Load("wu");
    EXPECT_TRUE(form.Timing.FastMode);
    EXPECT_EQ(form.Memo1Text(), "keep");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("wu"));
    EXPECT_FALSE(form.Memo2->isHidden());
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("5")); // doubled only when the slider next moves
    form.CspeedScrollbar->setValue(6);
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("12"));

    Load("WU");
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'WU' is not a valid integer value."));
    EXPECT_EQ(form.Memo1Text(), "");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("WU"));

    Load("301");
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], QStringLiteral("Cannot open file P3."));
    EXPECT_EQ(form.Memo1Text(), "");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("301"));

    Load("405"); // past the end of a short file: an empty line
    EXPECT_EQ(form.Memo1Text(), "\r\n");
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("406"));
}

TEST_F(TextsWindowTest, RandomStrings)
{
    TForm1& form = MakeForm();
    form.Edit3->setText(QStringLiteral("AB"));
    form.RandChars1->trigger();
    EXPECT_EQ(form.Memo1Text(),
              "Enter characters, no spaces, in the `Enter Characters' box.\r\n"
              "Then click the button labelled `Generate'\r\n"
              "A random string of them will appear in this box.\r\n"
              "After they appear, click the `send text' button to send them\r\n");
    EXPECT_FALSE(form.Button3->isHidden());
    EXPECT_FALSE(form.Edit3->isHidden());
    EXPECT_FALSE(form.Label15->isHidden());
    EXPECT_TRUE(form.Memo2->isHidden());
    EXPECT_FALSE(form.CheckBox2->isChecked());
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("AB"));

    form.Button3->click();
    const std::string text = form.Memo1Text();
    std::string letters;
    for (char c : text)
        if (c != ' ')
            letters += c;
    EXPECT_EQ(letters.size(), 63u);
    EXPECT_EQ(letters.find_first_not_of("AB"), std::string::npos);
    EXPECT_EQ(letters.find("AAA"), std::string::npos);
    EXPECT_EQ(letters.find("BBB"), std::string::npos);
    EXPECT_EQ(form.RandomCharSet, "AB");
    EXPECT_TRUE(form.Button3->isHidden());
    EXPECT_TRUE(form.Edit3->isHidden());

    // An empty set leaves the box as it is and the controls in view.
    form.RandChars1->trigger();
    form.Edit3->clear();
    form.SetMemo1Text("keep");
    form.Button3->click();
    EXPECT_EQ(form.Memo1Text(), "keep");
    EXPECT_FALSE(form.Button3->isHidden());
    EXPECT_FALSE(form.Edit3->isHidden());
}

TEST_F(TextsWindowTest, SettingsFileSavedAndLoaded)
{
    TForm1& form = MakeForm();
    form.SaveEnv1->trigger();
    EXPECT_EQ(ReadFile(QStringLiteral("Kalvoinit.txt")), QByteArray("1\r\n5\r\n14\r\n800\r\n1\r\n"));
    EXPECT_EQ(form.Memo3->toPlainText(), QStringLiteral("1\n5\n14\n800\n1"));
    form.LoadEnv1->trigger();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("5"));

    // In fast mode the file keeps the slider position, and loading keeps twice it.
    form.FastMode1->trigger();
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("10"));
    form.SaveEnv1->trigger();
    EXPECT_EQ(ReadFile(QStringLiteral("Kalvoinit.txt")), QByteArray("1\r\n5\r\n14\r\n800\r\n1\r\n"));
    WriteFile(QStringLiteral("Kalvoinit.txt"), "7\r\n6\r\n14\r\n800\r\n3\r\n");
    form.LoadEnv1->trigger();
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("12"));
    EXPECT_EQ(form.Timing.OverallSpeed, 12.0);
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("7"));
    EXPECT_EQ(form.StartNumEdit->text(), QStringLiteral("3"));
    EXPECT_EQ(form.UsingEdit->text(), QStringLiteral("3"));

    // Positions outside a slider's range are put into it.
    WriteFile(QStringLiteral("Kalvoinit.txt"), "1\n50\n14\n400\n1\n");
    form.LoadEnv1->trigger();
    EXPECT_EQ(form.CspeedScrollbar->value(), 30);
    EXPECT_EQ(form.Freqscrollbar->value(), 500);
    EXPECT_EQ(form.Freqedit->text(), QStringLiteral("500"));

    // Three lines: the first three are applied, the missing fourth fails.
    WriteFile(QStringLiteral("Kalvoinit.txt"), "9\r\n4\r\n20\r\n");
    form.LoadEnv1->trigger();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'' is not a valid integer value."));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("9"));
    EXPECT_EQ(form.CspeedScrollbar->value(), 4);
    EXPECT_EQ(form.SpeedScrollBar->value(), 20);
    EXPECT_EQ(form.StartNumEdit->text(), QStringLiteral("1")); // as the previous file left it

    QFile::remove(QStringLiteral("Kalvoinit.txt"));
    form.LoadEnv1->trigger();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], QStringLiteral("Cannot open file Kalvoinit.txt."));

    // Another learning order than the program's own is a sixth line; a file
    // without one brings the program's own back; a bad one is reported after
    // the five lines, and the order stays.
    form.OrderItems[1]->trigger();
    form.SaveEnv1->trigger();
    const QByteArray withOrder = ReadFile(QStringLiteral("Kalvoinit.txt"));
    EXPECT_TRUE(withOrder.endsWith("\r\n1\r\nkmuresnaptlwi.jzfoy,vg5/q92h38b?47c1d60x\r\n")) << withOrder.constData();
    WriteFile(QStringLiteral("Kalvoinit.txt"), "1\r\n5\r\n14\r\n800\r\n1\r\n");
    form.LoadEnv1->trigger();
    EXPECT_TRUE(form.OrderItems[0]->isChecked());
    WriteFile(QStringLiteral("Kalvoinit.txt"), withOrder);
    form.LoadEnv1->trigger();
    EXPECT_TRUE(form.OrderItems[1]->isChecked());
    WriteFile(QStringLiteral("Kalvoinit.txt"), "8\r\n5\r\n14\r\n800\r\n1\r\nK M K\r\n");
    form.LoadEnv1->trigger();
    ASSERT_EQ(Errors.size(), 3u);
    EXPECT_EQ(Errors[2], QStringLiteral("'K M K' is not a valid learning order."));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("8"));
    EXPECT_TRUE(form.OrderItems[1]->isChecked());
}

TEST_F(TextsWindowTest, NotepadLoadsAndIsPlacedBesideTheMainWindow)
{
    TForm1& form = MakeForm();
    TForm2 notepad;
    TAboutBox about;
    form.AttachWindows(&notepad, &about);
    ShowForm();

    notepad.Memo1->setPlainText(QStringLiteral("unsaved"));
    form.Notepad1->trigger();
    EXPECT_TRUE(notepad.isVisible());
    EXPECT_EQ(notepad.Memo1->toPlainText(), QStringLiteral("unsaved")); // no file: nothing changes

    WriteFile(QStringLiteral("Notepad.txt"), "day 1\r\nday 2\r\n");
    form.Notepad1->trigger();
    EXPECT_EQ(notepad.Memo1->toPlainText(), QStringLiteral("day 1\nday 2\n"));
    EXPECT_EQ(notepad.frameGeometry().topLeft(), form.frameGeometry().topLeft() + QPoint(-50, 75));

    notepad.Memo1->setPlainText(QStringLiteral("day 3"));
    notepad.Button1->click();
    EXPECT_EQ(ReadFile(QStringLiteral("Notepad.txt")), QByteArray("day 3\r\n"));
}

TEST_F(TextsWindowTest, HelpAddressAndAboutBox)
{
    TForm1& form = MakeForm();
    TForm2 notepad;
    TAboutBox about;
    form.AttachWindows(&notepad, &about);
    QString opened;
    form.OpenAddress = [&](const QString& address) { opened = address; };
    // A missing page is named in the error box instead of reaching the browser.
    form.HelpFile1->trigger();
    EXPECT_EQ(opened, QString());
    EXPECT_EQ(Errors, std::vector<QString>{QStringLiteral("Cannot open file %1/help.htm.").arg(QDir::currentPath())});

    WriteFile(QStringLiteral("help.htm"), "<html></html>");
    form.HelpFile1->trigger();
    EXPECT_EQ(opened, QStringLiteral("file://") + QDir::currentPath() + QStringLiteral("/help.htm"));
    EXPECT_FALSE(opened.startsWith(QStringLiteral("file:////")));
    EXPECT_EQ(Errors.size(), 1u);

    form.About1->trigger();
    form.About1->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(QApplication::topLevelWidgets().count(&about), 1);
    about.OKButtonClick();
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(form.Sendbutton->isEnabled());
}

// Text pasted from a word processor keeps its Windows codes; what has no 8-bit
// code never sounds as another character, and the notepad loses nothing.
TEST_F(TextsWindowTest, TypographicTextKeepsItsEightBitCodes)
{
    TForm1& form = MakeForm();
    form.Memo1->setPlainText(QString::fromUtf8("I’m “ok” — … → 😀"));
    EXPECT_EQ(form.Memo1Text(), "I\x92m \x93ok\x94 \x97 \x85 \x1a \x1a");
    for (char c : std::string("\x92\x93\x94\x97\x85\x1a"))
        EXPECT_EQ(form.Morse.LookupCode(std::string(1, c)), "") << int(static_cast<unsigned char>(c));

    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n' && b != 0xA0) // the box reads a no-break space as a space
            everyByte += char(b);
    form.SetMemo1Text(everyByte); // a file read in keeps its bytes
    EXPECT_EQ(form.Memo1Text(), everyByte);

    TForm2 notepad;
    notepad.Memo1->setPlainText(QString::fromUtf8("“ok”\nup → down"));
    notepad.Button1->click();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0],
              QString::fromUtf8("Notepad.txt was not saved: the character \"→\" (U+2192) in line 2 has "
                                "no 8-bit code. Replace it and save again."));
    EXPECT_FALSE(QFile::exists(QStringLiteral("Notepad.txt")));
    notepad.Memo1->setPlainText(QString::fromUtf8("“ok”"));
    notepad.Button1->click();
    EXPECT_EQ(ReadFile(QStringLiteral("Notepad.txt")), QByteArray("\x93ok\x94\r\n"));
}
