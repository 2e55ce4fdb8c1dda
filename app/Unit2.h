// TForm2: the notepad, a separate resizable window in which the user keeps
// notes about progress, saved to and loaded from "Notepad.txt".
//
// Created hidden; closing it only hides it and keeps its text. The first time
// it is shown it is centred on the screen, unless it was placed before. The
// notes box grows and shrinks with the window.
// File errors are thrown as kalvo::EInOutError and shown by the application's
// error box; the window itself catches nothing.
// The notes file is 8-bit text, Latin-1 to and from the notes box, like every
// file of the program.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

class TForm2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int LayoutWidth = 317;
    static constexpr int LayoutHeight = 327;

    explicit TForm2(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1;
    QPushButton* Button1;

    // "Notepad" command, second step: when a file named "notepad.txt" exists
    // (any case), replace the notes with its text and return true; the main
    // window then places this window. Without a file nothing changes and the
    // result is false. Throws "Cannot open file ..." when the file cannot be
    // read; the notes stay as they were then.
    bool LoadNotes();

    // Centres the window on the screen when it is first shown.
    void setVisible(bool visible) override;

public slots:
    // "Save Notepad": writes the notes to "Notepad.txt", CR LF after each line.
    void Button1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool shownBefore_ = false;
};
