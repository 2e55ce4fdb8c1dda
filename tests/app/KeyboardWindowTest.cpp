// The window worked from the keyboard alone: Tab moves through the controls
// (also out of the text box), Space presses the trainer's buttons, answer keys
// typed during a lesson are only judged, and Alt opens the menus.
#include "WindowFixture.h"

#include "app/ErrorHistogram.h"

#include <QAccessible>
#include <QMenu>

#include <vector>

TEST_F(WindowTest, TheWholeLessonRunsFromTheKeyboard)
{
    TForm1& form = MakeForm();
    ShowForm();
    QWindow* window = form.windowHandle();
    const auto tabUntil = [&](QWidget* target) {
        std::vector<QWidget*> passed;
        for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) {
            QTest::keyClick(window, Qt::Key_Tab);
            passed.push_back(QApplication::focusWidget());
        }
        return passed;
    };

    // Tab leaves the text box without typing into it, and goes on to the
    // speed column and the trainer.
    form.Memo1->setFocus();
    const std::vector<QWidget*> passed = tabUntil(form.Kalvobutton);
    EXPECT_EQ(form.Memo1Text(), "");
    ASSERT_EQ(QApplication::focusWidget(), form.Kalvobutton);
    for (QWidget* control : {static_cast<QWidget*>(form.CspeedScrollbar), static_cast<QWidget*>(form.Freqedit)})
        EXPECT_NE(std::find(passed.begin(), passed.end(), control), passed.end())
            << control->objectName().toStdString();

    // Space on "Start Kalvo", the count box, Space on "Start Sending".
    QTest::keyClick(window, Qt::Key_Space);
    ASSERT_TRUE(form.Train.TrainMode);
    EXPECT_EQ(QApplication::focusWidget(), form.StartNumEdit);
    tabUntil(form.KalvoSendButton);
    QTest::keyClick(window, Qt::Key_Space);
    ASSERT_TRUE(form.Train.TrainRunning);

    // The answer keys, a stray Space among them, are judged and nothing else:
    // the lesson goes on and the box shows only the echo of the hit.
    EXPECT_NE(QApplication::focusWidget(), form.KalvoStopButton);
    for (Qt::Key key : {Qt::Key_X, Qt::Key_Space, Qt::Key_Q, Qt::Key_Return})
        QTest::keyClick(window, key);
    EXPECT_TRUE(form.Train.TrainRunning);
    EXPECT_EQ(form.Memo1Text(), "q");

    // "Stop Kalvo" is ended only on purpose: Tab to it and Space.
    tabUntil(form.KalvoStopButton);
    ASSERT_EQ(QApplication::focusWidget(), form.KalvoStopButton);
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_FALSE(form.Train.TrainMode);
    EXPECT_EQ(QApplication::focusWidget(), form.Memo1);
    QTest::keyClicks(form.Memo1, "ab");
    EXPECT_EQ(form.Memo1Text().substr(0, 2), "ab"); // the box takes typing again

    QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(form.Advanced1->isVisible());
}

// Tab visits the shown controls in the window's declared reading order, the
// text box and the quick-start box included, and Shift+Tab goes back the same way.
TEST_F(WindowTest, TabFollowsTheDeclaredReadingOrder)
{
    TForm1& form = MakeForm();
    ShowForm();
    QWindow* window = form.windowHandle();
    const std::vector<QWidget*> expected = {static_cast<QWidget*>(form.LoadFile),
                                            form.Button1,
                                            form.CheckBox2,
                                            form.CheckBox1,
                                            form.Sendbutton,
                                            form.Button2,
                                            form.AbortButton,
                                            form.Button4,
                                            form.Edit1,
                                            form.Memo1,
                                            form.Memo2,
                                            form.CspeedScrollbar,
                                            form.CSpeedEdit,
                                            form.SpeedScrollBar,
                                            form.SpeedEdit,
                                            form.Freqscrollbar,
                                            form.Freqedit,
                                            form.Kalvobutton};
    form.LoadFile->setFocus();
    std::vector<std::string> heard{QApplication::focusWidget()->objectName().toStdString()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(window, Qt::Key_Tab);
        heard.push_back(QApplication::focusWidget()->objectName().toStdString());
    }
    std::vector<std::string> names;
    for (QWidget* control : expected)
        names.push_back(control->objectName().toStdString());
    EXPECT_EQ(heard, names);

    // Back into a box: its whole text is selected, once the focus has been
    // reported, and a screen reader is told that text as one run.
    QTest::keyClick(window, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), form.Freqedit);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Freqedit->selectedText(), "800");
    QAccessibleInterface* described = QAccessible::queryAccessibleInterface(form.Freqedit);
    ASSERT_NE(described->textInterface(), nullptr);
    int start = -1, end = -1;
    described->textInterface()->attributes(1, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 3));
    described->textInterface()->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 3));
}
