// The one place where an error that escaped a command is shown.
//
// The box is titled with the application title, shows a stop icon, and gives
// the message with a full stop appended when its last character sorts after "."
// (a letter or a digit, for instance). The program then carries on with
// whatever state the command had reached.
// Tests (and tools without a screen) replace the box with a handler that
// receives the final text.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

namespace ErrorBox {

// The text shown for a message: the full-stop rule applied.
QString DisplayText(const QString& message);

void Show(const QString& message);
void Show(const std::exception& error);

// Replaces the box (empty function: the box again).
void SetHandler(std::function<void(const QString&)> handler);

// Runs a command and shows anything it throws.
template <class F>
void Guard(F&& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        Show(error);
    }
}

} // namespace ErrorBox

// The application object: its event dispatch is the backstop that shows any
// error a handler let through, so that nothing escapes into the event loop.
class KalvoApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
