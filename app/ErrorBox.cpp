#include "app/ErrorBox.h"

#include <QMessageBox>

namespace ErrorBox {

namespace {

std::function<void(const QString&)>& Handler()
{
    static std::function<void(const QString&)> handler;
    return handler;
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
    if (Handler()) {
        Handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void Show(const std::exception& error)
{
    Show(QString::fromLatin1(error.what()));
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
