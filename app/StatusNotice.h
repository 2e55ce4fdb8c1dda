// StatusNotice: tells a screen reader of each new status text at the moment
// it appears. It is a notification object inside the status bar, of no size
// and so never seen; Announce() names it with the text and shows it afresh,
// and a screen reader speaks a notification when it becomes showing (a status
// label's own change is spoken only while it has the focus, which it never has).
//
// Contract: Announce(text) with an empty text announces nothing. Install the
// accessible description once with InstallStatusNoticeAccessible().
#pragma once

#include <QWidget>

class StatusNotice : public QWidget {
    Q_OBJECT
public:
    explicit StatusNotice(QWidget* statusBar);
    void Announce(const QString& text);
};

void InstallStatusNoticeAccessible();
