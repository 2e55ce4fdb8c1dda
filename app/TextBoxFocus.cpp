#include "app/TextBoxFocus.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

bool TextBoxFocus::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr || event->type() != QEvent::FocusIn)
        return false;
    // The box selects its text for these reasons inside its focus-in, before
    // the focus itself is reported; any other reason leaves the text as it is.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason && reason != Qt::ShortcutFocusReason)
        return false;
    QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(box, &plain);
    QTimer::singleShot(0, box, [later = QPointer<QLineEdit>(box)] {
        if (later && later->hasFocus() && !later->hasSelectedText() && later->inputMask().isEmpty())
            later->selectAll();
    });
    return true;
}
