// TAboutBox: the small "About" window with the program's picture, name,
// version, distribution notice and contact line.
//
// Fixed size, no minimise or maximise box, created hidden. Showing it never
// blocks the main window (show(), not exec()); the first time it is centred
// on the screen. "OK", the Enter key, Escape and the title bar's close box
// all only hide it.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 298;
    static constexpr int ClientHeight = 213;

    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Comments;
    QPushButton* OKButton;

    // Centres the box on the screen when it is first shown.
    void setVisible(bool visible) override;

public slots:
    void OKButtonClick();

private:
    bool shownBefore_ = false;
};
