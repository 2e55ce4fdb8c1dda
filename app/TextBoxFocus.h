// TextBoxFocus: a one-line box reached by Tab selects its whole text, as
// before, but one turn of the event loop after the focus has come, so that a
// screen reader hears the box's name first and then its selected text, once,
// rather than a selection in a box it has not yet been told about.
//
// Contract: install as event filter on QLineEdit objects; it handles their
// focus-in events only and never changes text or the signals emitted.
#pragma once

#include <QObject>

class TextBoxFocus : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
