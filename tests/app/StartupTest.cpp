// The main window after start-up, with and without a sound device, and the
// error box's text rule.
#include "WindowFixture.h"

#include "app/ErrorBox.h"

#include <QMenuBar>
#include <QStyle>
#include <QTextDocument>

TEST_F(WindowTest, StartUpStateIsTheLayoutWithItsDefaults)
{
    TForm1& form = MakeForm();
    EXPECT_TRUE(Errors.empty());

    // The histogram panel is folded away: the window is 100 pixels shorter than its layout.
    EXPECT_EQ(form.ClientHeight(), TForm1::LayoutClientHeight - TForm1::Panel2Height);
    EXPECT_EQ(form.height(), form.menuBar()->sizeHint().height() + 371);
    EXPECT_TRUE(form.Panel2->isHidden());

    EXPECT_EQ(form.StatusText(), QStringLiteral("Load text into the text box, or press <Start Kalvo.>"));
    EXPECT_EQ(form.Memo2->toPlainText(),
              QStringLiteral("---Quickstart Instructions---\n"
                             "Press <Start Kalvo> button,\n"
                             "Press <Start Sending> button,\n"
                             "Type each character you hear,\n"
                             "If it's unknown, wait.  You'll be shown.\n"
                             "Stop with <Stop Kalvo> button"));
    EXPECT_EQ(form.SpeedEdit->text(), QStringLiteral("14"));
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("5"));
    EXPECT_EQ(form.Freqedit->text(), QStringLiteral("800"));
    EXPECT_EQ(form.Freqscrollbar->value(), 800);
    EXPECT_EQ(form.SpeedScrollBar->value(), 14);
    EXPECT_EQ(form.CspeedScrollbar->value(), 5);
    EXPECT_FALSE(form.KalvoSendButton->isEnabled());
    EXPECT_FALSE(form.KalvoStopButton->isEnabled());
    EXPECT_TRUE(form.Kalvobutton->isEnabled());
    EXPECT_TRUE(form.Sendbutton->isEnabled());

    // Hidden at start: tone, compression, progress, random-string and trainer controls.
    for (QWidget* w : std::initializer_list<QWidget*>{
             form.SpinEdit1, form.Label14, form.SpinEdit2, form.SpinEdit3, form.Label16, form.Label17, form.CheckBox3,
             form.Edit2, form.Label12, form.Button3, form.Edit3, form.Label15, form.StartNumEdit, form.StartNumLabel,
             form.UsingEdit, form.Label10, form.Memo3})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(form.Memo2->isHidden());

    EXPECT_NEAR(form.Timing.DotTime, 0.0857143, 1e-7);
    EXPECT_NEAR(form.Timing.CharGapTime, 1.389474, 1e-6);
    EXPECT_NEAR(form.Timing.WordGapTime, 0.577444, 1e-6);
    EXPECT_EQ(form.Timing.ToneFreq, 800.0);
    EXPECT_EQ(form.OutSound1.InitStage(), 4);
    EXPECT_EQ(form.OutSound1.SampRate(), 8000);
    EXPECT_EQ(form.OutSound1.BufferLength(), 4000);
}

TEST_F(WindowTest, ControlsCarryTheirNamesPlacesAndHints)
{
    TForm1& form = MakeForm();
    QWidget* send = form.findChild<QWidget*>(QStringLiteral("Sendbutton"));
    ASSERT_NE(send, nullptr);
    EXPECT_EQ(send->geometry(), QRect(328, 8, 65, 25));
    EXPECT_EQ(form.Memo1->geometry(), QRect(32, 72, 401, 169));
    EXPECT_EQ(form.CspeedScrollbar->geometry(), QRect(448, 88, 169, 17));
    EXPECT_EQ(form.Sendbutton->toolTip(), QStringLiteral("Send any text in the box, or the loaded practice text"));
    EXPECT_EQ(form.Freqscrollbar->toolTip(), QStringLiteral("Set audio frequency for morse"));
    QStringList advanced;
    for (QAction* action : form.Advanced1->actions())
        advanced << action->text();
    // The menu's own commands come first, in their order; those added beside
    // them follow.
    EXPECT_EQ(advanced.mid(0, 10),
              (QStringList{"SaveEnvironment", "LoadEnvironment", "FastMode", "SlowMode", "ToggleProgress",
                           "RandomChars", "Dits", "Toggle Tone", "Toggle Uppercase", "Fcompression"}));
    EXPECT_EQ(advanced.mid(10),
              (QStringList{"Wait for Speech", "Save Text as Audio File\u2026", "Lesson Details",
                           "Save Lesson to Progress Log", "Show Progress", "Sending Practice\u2026", "Learning &Order",
                           "Band Conditions\u2026", "Speak Answers", "Speak Right Answers", "Answer Voice\u2026",
                           "Call and Word Drills\u2026"}));
    QStringList bar;
    for (QAction* action : form.menuBar()->actions())
        bar << action->text();
    EXPECT_EQ(bar, (QStringList{"&Advanced", "&Notepad", "&Help"})); // Alt opens them
}

TEST_F(WindowTest, WithoutASoundDeviceTheErrorIsShownOnceAndTheWindowStillOpens)
{
    auto device = std::make_unique<kalvo::TestWaveOut>();
    device->FailOpen(kalvo::MMSYSERR_NODRIVER);
    const std::string deviceText = device->ErrorText(kalvo::MMSYSERR_NODRIVER);
    Form = std::make_unique<TForm1>(std::move(device));
    TForm1& form = *Form;

    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], ErrorBox::DisplayText(QString::fromStdString(deviceText)));
    // The steps after opening the sound output did not run.
    EXPECT_EQ(form.SpeedEdit->text(), QString());
    EXPECT_EQ(form.CSpeedEdit->text(), QString());
    EXPECT_EQ(form.StatusText(), QString());
    EXPECT_EQ(form.Memo2->toPlainText(), QString());
    EXPECT_EQ(form.Freqscrollbar->value(), 500);

    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));

    // Sending then reports that the sound output is not ready.
    form.SetMemo1Text("E");
    form.Sendbutton->click();
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], QStringLiteral("Cannot send sample until output transfer thread has been created."));
    // The failed send still ends as a send: the buttons are back at once.
    EXPECT_TRUE(form.Sendbutton->isEnabled());
    EXPECT_EQ(form.StatusText(), QStringLiteral("The box shows only the text that was sent."));
}

TEST(ErrorBoxText, AFullStopFollowsMessagesEndingAfterTheFullStopInCodeOrder)
{
    EXPECT_EQ(ErrorBox::DisplayText("Cannot open file P3"), QStringLiteral("Cannot open file P3."));
    EXPECT_EQ(ErrorBox::DisplayText("'x' is not a valid integer value"),
              QStringLiteral("'x' is not a valid integer value."));
    EXPECT_EQ(ErrorBox::DisplayText("ends with a digit 7"), QStringLiteral("ends with a digit 7."));
    EXPECT_EQ(ErrorBox::DisplayText("already ends."), QStringLiteral("already ends."));
    EXPECT_EQ(ErrorBox::DisplayText("a quote'"), QStringLiteral("a quote'"));
    EXPECT_EQ(ErrorBox::DisplayText("a bracket)"), QStringLiteral("a bracket)"));
    EXPECT_EQ(ErrorBox::DisplayText("a question?"), QStringLiteral("a question?."));
    EXPECT_EQ(ErrorBox::DisplayText(""), QString());
}

TEST_F(WindowTest, AnErrorInAHandlerIsShownAndTheProgramCarriesOn)
{
    TForm1& form = MakeForm();
    form.SpeedEdit->setText(QStringLiteral("fast"));
    form.CspeedScrollbar->setValue(10); // its handler recomputes the timing from all three boxes
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QStringLiteral("'fast' is not a valid integer value."));
    EXPECT_EQ(form.CSpeedEdit->text(), QStringLiteral("10"));
    EXPECT_NEAR(form.Timing.DotTime, 0.0857143, 1e-7); // the timing kept its values
}

TEST_F(WindowTest, TheStatusTextStaysWhenThePointerCrossesTheMenu)
{
    TForm1& form = MakeForm();
    ShowForm();
    // What the menu does when the pointer rests on an item: it sends the
    // item's status tip, empty here, up to the window.
    form.Dits1->showStatusText(form.menuBar());
    QCoreApplication::processEvents();
    EXPECT_EQ(form.StatusText(), QStringLiteral("Load text into the text box, or press <Start Kalvo.>"));
}

// Every caption and every line of the quick-start box can be read where the
// layout puts it, in the program's font: nothing cut off, wrapped away or
// covered by another control, before and after "Start Kalvo".
TEST_F(WindowTest, EveryCaptionAndQuickstartLineIsReadable)
{
    TForm1& form = MakeForm();
    ShowForm();
    const auto check = [&](const char* state) {
        for (QWidget* w : form.centralWidget()->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&form))
                continue;
            const QFontMetrics fm(w->font());
            int needed = 0;
            if (auto* label = qobject_cast<QLabel*>(w))
                needed = fm.horizontalAdvance(label->text());
            else if (auto* check = qobject_cast<QCheckBox*>(w))
                needed = fm.horizontalAdvance(check->text()) + w->style()->pixelMetric(QStyle::PM_IndicatorWidth)
                    + w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
            else if (auto* button = qobject_cast<QPushButton*>(w))
                needed = fm.horizontalAdvance(button->text()) + 4;
            else
                continue;
            EXPECT_LE(needed, w->width()) << state << ": " << w->objectName().toStdString();
            // Controls after it among its siblings are drawn over it (a shared
            // edge pixel, as the layout has between neighbours, hides no text).
            const QRect face = w->geometry().adjusted(1, 1, -1, -1);
            const QObjectList& siblings = w->parentWidget()->children();
            for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
                auto* over = qobject_cast<QWidget*>(siblings[i]);
                if (over && over->isVisibleTo(&form) && over->geometry().intersects(face))
                    ADD_FAILURE() << state << ": " << w->objectName().toStdString() << " lies under "
                                  << over->objectName().toStdString();
            }
        }
        if (form.Memo2->isVisibleTo(&form)) {
            const QFontMetrics fm(form.Memo2->font());
            const QStringList lines = form.Memo2->toPlainText().split(u'\n');
            const int margin = int(form.Memo2->document()->documentMargin());
            ASSERT_EQ(lines.size(), 6);
            for (const QString& line : lines)
                EXPECT_LE(fm.horizontalAdvance(line), form.Memo2->viewport()->width() - 2 * margin)
                    << state << ": " << line.toStdString();
            EXPECT_LE(lines.size() * fm.lineSpacing(), form.Memo2->viewport()->height() - 2 * margin) << state;
        }
    };
    check("at start");
    form.Kalvobutton->click();
    check("lesson prepared");
    form.KalvoSendButton->click();
    check("lesson running");
}
