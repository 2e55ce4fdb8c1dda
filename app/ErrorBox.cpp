#include "app/ErrorBox.h"

#include "app/AnsiText.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QMessageBox>
#include <QMouseEvent>
#include <QWidget>

namespace ErrorBox {

namespace {

std::function<void(const QString&)>& Handler()
{
    static std::function<void(const QString&)> handler;
    return handler;
}

// A slider, spin box or auto-repeating arrow button held down repeats its step
// on a timer until the mouse button is released, and the box takes that
// release: every repeated step would fail again and open another box. They let
// go before the box opens.
void ReleaseHeldArrows()
{
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->autoRepeat() && button->isDown())
                button->setDown(false); // stops its repeat, and its release clicks nothing
            continue;
        }
        if (!qobject_cast<QAbstractSlider*>(widget) && !qobject_cast<QAbstractSpinBox*>(widget))
            continue;
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-1, -1), QPointF(-1, -1), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &release);
    }
}

} // namespace

QString DisplayText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void Show(const QString& message)
{
    const QString text = DisplayText(message);
    ReleaseHeldArrows();
    if (Handler()) {
        Handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    // The message can be selected and copied, to look it up or report it.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

void Show(const std::exception& error)
{
    Show(ansi::FromAnsi(error.what()));
}

void SetHandler(std::function<void(const QString&)> handler)
{
    Handler() = std::move(handler);
}

} // namespace ErrorBox

bool KalvoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ErrorBox::Show(error);
    } catch (...) {
        ErrorBox::Show(QStringLiteral("Unknown error"));
    }
    return false;
}
