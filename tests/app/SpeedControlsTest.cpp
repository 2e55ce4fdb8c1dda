// The speed, frequency and tone controls, driven as a person would: sliders
// moved, values typed into the boxes and confirmed with Enter at the window.
#include "WindowFixture.h"

#include "common/Errors.h"
#include "tests/support/Failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include <sys/stat.h>

namespace {

void TypeInto(TForm1& form, QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    TypeAtWindow(form.windowHandle(), text);
    QTest::keyClick(form.windowHandle(), Qt::Key_Return);
}

} // namespace

TEST_F(WindowTest, EnterInTheOverallSpeedBoxMovesTheSliderOnlyWhenItsPositionChanges)
{
    TForm1& form = MakeForm();
    ShowForm();

    form.CspeedScrollbar->setValue(30);
    TypeInto(form, form.CSpeedEdit, QStringLiteral("45"));
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(form.CspeedScrollbar->value(), 30); // already at its end: no change, no rewrite
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("45"));
    EXPECT_EQ(form.Timing.OverallSpeed, 45.0);

    form.CspeedScrollbar->setValue(20);
    TypeInto(form, form.CSpeedEdit, QStringLiteral("45"));
    EXPECT_EQ(form.CspeedScrollbar->value(), 30);
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("30"));
    EXPECT_EQ(form.Timing.OverallSpeed, 30.0);

    // The Enter key is swallowed: it never reaches the box as text.
    EXPECT_FALSE(form.CSpeedEdit->text().contains(QLatin1Char('\r')));
}

TEST_F(WindowTest, TypingWithoutEnterChangesNothingUntilAnotherControlRecomputes)
{
    TForm1& form = MakeForm();
    ShowForm();
    form.SpeedEdit->setFocus();
    form.SpeedEdit->selectAll();
    TypeAtWindow(form.windowHandle(), QStringLiteral("20"));
    EXPECT_EQ(form.Timing.CharSpeed, 14.0);
    form.Freqscrollbar->setValue(600);
    EXPECT_EQ(form.Timing.CharSpeed, 20.0);
    EXPECT_EQ(form.Timing.ToneFreq, 600.0);
    EXPECT_EQ(form.Freqedit->text(), QStringLiteral("600"));
}

TEST_F(WindowTest, EnterWithANonNumberReportsItAndLeavesTheSlider)
{
    TForm1& form = MakeForm();
    ShowForm();
    TypeInto(form, form.Freqedit, QStringLiteral("loud"));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'loud' is not a valid integer value."));
    EXPECT_EQ(form.Freqscrollbar->value(), 800);
    EXPECT_EQ(form.Timing.ToneFreq, 800.0);
}

TEST_F(WindowTest, AnOverallSpeedOfZeroTypedAtTheSliderMinimumIsADivisionByZero)
{
    TForm1& form = MakeForm();
    ShowForm();
    form.CspeedScrollbar->setValue(3);
    const double dot = form.Timing.DotTime;
    TypeInto(form, form.CSpeedEdit, QStringLiteral("0"));
    ASSERT_FALSE(Errors.empty());
    EXPECT_EQ(Errors.back(), QStringLiteral("Floating point division by zero."));
    EXPECT_EQ(form.Timing.OverallSpeed, 0.0);
    EXPECT_EQ(form.Timing.DotTime, dot);
}

TEST_F(WindowTest, FastAndSlowModes)
{
    TForm1& form = MakeForm();
    form.FastMode1->trigger();
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("10"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("6"));
    EXPECT_EQ(form.Label9->text(), QStringLiteral("60"));
    form.FastMode1->trigger();
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("20"));
    form.SlowMode1->trigger();
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("10"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("3"));
    EXPECT_EQ(form.Label9->text(), QStringLiteral("30"));
    EXPECT_EQ(form.Timing.OverallSpeed, 10.0);

    // In fast mode a slider position counts double.
    form.FastMode1->trigger();
    form.CspeedScrollbar->setValue(10);
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("20"));
    EXPECT_EQ(form.Timing.OverallSpeed, 20.0);

    // Half of an odd speed is rounded up and stays a whole number.
    form.CSpeedEdit->setText(QStringLiteral("7"));
    form.SlowMode1->trigger();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("4"));
    EXPECT_EQ(form.Timing.OverallSpeed, 4.0);
}

TEST_F(WindowTest, FastModeChangesEvenWhenTheOverallSpeedBoxHoldsNoNumber)
{
    TForm1& form = MakeForm();
    form.CSpeedEdit->setText(QStringLiteral("7.5"));
    form.FastMode1->trigger();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'7.5' is not a valid integer value."));
    EXPECT_TRUE(form.Timing.FastMode);
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("7.5"));
    form.CSpeedEdit->setText(QString());
    form.SlowMode1->trigger();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], QStringLiteral("'' is not a valid integer value."));
    EXPECT_FALSE(form.Timing.FastMode);
}

// The boxes are read in order, character speed, overall speed, frequency: a
// box that holds no number leaves the ones before it applied and the later
// ones, and the timing, as they were.
TEST_F(WindowTest, AFailingSpeedBoxLeavesTheEarlierOnesApplied)
{
    TForm1& form = MakeForm();
    const double dot = form.Timing.DotTime, charGap = form.Timing.CharGapTime, wordGap = form.Timing.WordGapTime;
    form.SpeedEdit->setText(QStringLiteral("20"));
    form.CSpeedEdit->setText(QStringLiteral("1.5"));
    form.Freqedit->setText(QStringLiteral("600"));
    EXPECT_EQ(kalvo::testing::Failure<kalvo::EConvertError>([&] { form.SetSpeed(); }),
              "'1.5' is not a valid integer value");
    EXPECT_EQ(form.Timing.CharSpeed, 20.0);
    EXPECT_EQ(form.Timing.OverallSpeed, 5.0);
    EXPECT_EQ(form.Timing.ToneFreq, 800.0);
    EXPECT_EQ(form.Timing.DotTime, dot);
    EXPECT_EQ(form.Timing.CharGapTime, charGap);
    EXPECT_EQ(form.Timing.WordGapTime, wordGap);

    form.SpeedEdit->setText(QStringLiteral("10"));
    form.CSpeedEdit->setText(QStringLiteral("8"));
    form.Freqedit->setText(QStringLiteral("800 "));
    EXPECT_THROW(form.SetSpeed(), kalvo::EConvertError);
    EXPECT_EQ(form.Timing.CharSpeed, 10.0);
    EXPECT_EQ(form.Timing.OverallSpeed, 8.0);
    EXPECT_EQ(form.Timing.ToneFreq, 800.0);
    EXPECT_EQ(form.Timing.DotTime, dot);

    // Blanks before the number and a sign are taken, as the conversion always has.
    form.SpeedEdit->setText(QStringLiteral(" 14"));
    form.CSpeedEdit->setText(QStringLiteral("+45"));
    form.Freqedit->setText(QStringLiteral("800"));
    form.SetSpeed();
    EXPECT_EQ(form.Timing.CharSpeed, 14.0);
    EXPECT_EQ(form.Timing.OverallSpeed, 45.0);
}

TEST_F(WindowTest, CompressionIsOfferedInTheAdvancedMenu)
{
    TForm1& form = MakeForm();
    form.Fcompression1->trigger();
    EXPECT_FALSE(form.SpinEdit1->isHidden());
    EXPECT_FALSE(form.Label14->isHidden());
    form.SpinEdit1->setText(QStringLiteral("10"));
    EXPECT_EQ(form.Timing.Compression, 10.0);
    EXPECT_NEAR(form.Timing.CharGapTime, 2 * form.Timing.DotTime, 1e-12);
    form.SpinEdit1->setText(QStringLiteral("1,5"));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'1,5' is not a valid floating point value."));
    EXPECT_EQ(form.Timing.Compression, 10.0);
    form.Fcompression1->trigger();
    EXPECT_TRUE(form.SpinEdit1->isHidden());
}

TEST_F(WindowTest, ToneControlsToggleTogetherAndRebuildTheTable)
{
    TForm1& form = MakeForm();
    form.ToggleTone1->trigger();
    for (QWidget* w :
         std::initializer_list<QWidget*>{form.SpinEdit2, form.Label17, form.SpinEdit3, form.Label16, form.CheckBox3})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
    form.SpinEdit3->setText(QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(form.Synth.Wavetable[256], 1.0);
    form.CheckBox3->click();
    EXPECT_EQ(form.Synth.Wavetable[0], 0.0);
    EXPECT_EQ(form.Synth.Wavetable[1], 1.0);
    EXPECT_EQ(form.Synth.Wavetable[512], -1.0);
    form.SpinEdit3->setText(QStringLiteral("x"));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(form.Synth.Wavetable[1], 1.0); // the previous table stays
    // Typed out of range, the value is used until the box loses the focus.
    form.SpinEdit3->setText(QStringLiteral("10"));
    form.SpinEdit3->clampToRange();
    EXPECT_EQ(form.SpinEdit3->text(), QStringLiteral("3"));
    form.ToggleTone1->trigger();
    EXPECT_TRUE(form.SpinEdit2->isHidden());
}

TEST_F(WindowTest, LoadAnyFileChosenCancelledAndUnreadable)
{
    TForm1& form = MakeForm();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.txt"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("cq cq\rde w1abc\nk\r\n");
    }
    form.Sender.SendPos = 5;
    form.Sender.SentText = "old";
    form.ChooseFile = [&] { return std::optional<QString>(path); };
    form.LoadFile->click();
    EXPECT_EQ(form.Memo1Text(), "cq cq\r\nde w1abc\r\nk\r\n");
    EXPECT_FALSE(form.Kalvobutton->isEnabled());
    EXPECT_EQ(form.Sender.SendPos, 1);
    EXPECT_EQ(form.Sender.SentText, "");
    EXPECT_TRUE(form.Memo2->isHidden());
    EXPECT_FALSE(form.CheckBox2->isChecked());
    EXPECT_EQ(form.StatusText(), QStringLiteral("Press <Send Text> to start sending"));

    // Sending it enables "Start Kalvo" again.
    form.SetMemo1Text("e");
    form.Sendbutton->click();
    EXPECT_TRUE(form.Kalvobutton->isEnabled());

    // Cancelled: the box keeps its text, the rest happens all the same.
    form.SetMemo1Text("keep");
    form.Sender.SendPos = 3;
    form.ChooseFile = [] { return std::optional<QString>(); };
    form.LoadFile->click();
    EXPECT_EQ(form.Memo1Text(), "keep");
    EXPECT_TRUE(form.Kalvobutton->isEnabled());
    EXPECT_EQ(form.Sender.SendPos, 1);
    EXPECT_EQ(form.StatusText(), QStringLiteral("Press <Send Text> to start sending"));

    // Unreadable: the error names the file and nothing else changes.
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    form.Sender.SendPos = 3;
    form.ChooseFile = [&] { return std::optional<QString>(missing); };
    form.LoadFile->click();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("Cannot open file ") + missing + QStringLiteral("."));
    EXPECT_EQ(form.Memo1Text(), "keep");
    EXPECT_EQ(form.Sender.SendPos, 3);
    EXPECT_EQ(form.StatusText(), QStringLiteral("Choose a test (ASCII) file to load"));
}

// "Load any File" reads through the one text-file reader, so a FIFO is refused
// at once instead of hanging the window; a text with a word too long for
// word-boundary wrapping is wrapped anywhere, which Qt lays out in linear time.
TEST_F(WindowTest, LoadAnyFileRefusesAFifoAndWrapsLongWordsAnywhere)
{
    TForm1& form = MakeForm();
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    form.ChooseFile = [&] { return std::optional<QString>(fifo); };
    form.LoadFile->click();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("Cannot open file ") + fifo + QStringLiteral("."));

    const struct {
        QByteArray text;
        QTextOption::WrapMode mode;
    } cases[] = {
        {"E " + QByteArray(4097, 'E'), QTextOption::WrapAnywhere},
        {"cq cq " + QByteArray(4096, 'E'), QTextOption::WrapAtWordBoundaryOrAnywhere},
    };
    const QString path = dir.filePath(QStringLiteral("text.txt"));
    for (const auto& c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.text);
        file.close();
        form.ChooseFile = [&] { return std::optional<QString>(path); };
        form.LoadFile->click();
        EXPECT_EQ(form.Memo1Text(), c.text.toStdString());
        EXPECT_EQ(form.Memo1->wordWrapMode(), c.mode) << c.text.size();
    }
}

TEST_F(WindowTest, QuickstartAndFontCommands)
{
    TForm1& form = MakeForm();
    form.CheckBox2->click();
    EXPECT_TRUE(form.Memo2->isHidden());
    form.CheckBox2->click();
    EXPECT_FALSE(form.Memo2->isHidden());
    EXPECT_TRUE(form.Memo2->toPlainText().startsWith(QStringLiteral("---Quickstart Instructions---")));

    const QFont before = form.Memo1->font();
    form.ChooseFont = [](const QFont&) { return std::optional<QFont>(); };
    form.Button4->click();
    EXPECT_EQ(form.Memo1->font(), before);
    QFont chosen = before;
    chosen.setPointSize(14);
    form.ChooseFont = [&](const QFont& current) {
        EXPECT_EQ(current, before);
        return std::optional<QFont>(chosen);
    };
    form.Button4->click();
    EXPECT_EQ(form.Memo1->font().pointSize(), 14);
}

// A change that fails inside another command ends that command with one box,
// and a slider arrow held down stops repeating while the box is up.
TEST_F(WindowTest, OneFailureOneErrorBox)
{
    TForm1& form = MakeForm();
    ShowForm();
    form.SpeedEdit->setText(QStringLiteral("abc"));
    TypeInto(form, form.Freqedit, QStringLiteral("700"));
    EXPECT_EQ(Errors, std::vector<QString>{QStringLiteral("'abc' is not a valid integer value.")});

    // The settings file moves the sliders one by one: the first failing move ends the load.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QFile file(QStringLiteral("Kalvoinit.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("7\r\n10\r\n20\r\n900\r\n4\r\n");
    file.close();
    Errors.clear();
    form.LoadEnv1->trigger();
    QDir::setCurrent(saved);
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(form.Freqscrollbar->value(), 700); // the later lines were not applied
    EXPECT_EQ(form.StartNumEdit->text(), QStringLiteral("1"));

    // The box stays up a second, as a person reads it; the arrow's repeat must not go on.
    Errors.clear();
    ErrorBox::SetHandler([this](const QString& text) {
        Errors.push_back(text);
        QTest::qWait(1000);
    });
    QScrollBar* slider = form.Freqscrollbar;
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() - 4, slider->height() / 2));
    QTest::qWait(300);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 4, slider->height() / 2));
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(slider->value(), 701);

    // The same for the arrow of a spin box (the compression box recomputes the timing).
    form.Fcompression1->trigger();
    QToolButton* up = nullptr;
    for (QToolButton* arrow : form.SpinEdit1->findChildren<QToolButton*>())
        if (arrow->arrowType() == Qt::UpArrow)
            up = arrow;
    ASSERT_NE(up, nullptr);
    QTest::mousePress(up, Qt::LeftButton);
    QTest::qWait(600); // held past the auto-repeat delay
    QTest::mouseRelease(up, Qt::LeftButton);
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_EQ(form.SpinEdit1->text(), QStringLiteral("1"));
}
