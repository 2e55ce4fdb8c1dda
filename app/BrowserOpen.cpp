#include "app/BrowserOpen.h"

#include "app/ErrorBox.h"

#include <QByteArray>
#include <QProcess>
#include <QUrl>

#include <memory>

namespace BrowserOpen {

namespace {

QString FailureText(const QString& address, const QString& reason)
{
    return QStringLiteral("Cannot open %1 in a browser: %2").arg(QUrl(address).toLocalFile(), reason);
}

} // namespace

void Show(const QString& address)
{
    // xdg-open waits for the browser it starts. Owned by no window, so that
    // quitting Kalvo leaves a browser still showing the page open.
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    // The last line of error output is the reason; only the end of it is
    // kept, as a browser that runs for hours may write much more.
    auto errors = std::make_shared<QByteArray>();
    QObject::connect(process, &QProcess::readyReadStandardError,
                     [process, errors] { *errors = (*errors + process->readAllStandardError()).right(4096); });
    QObject::connect(process, &QProcess::errorOccurred, [process, address](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        ErrorBox::Show(
            FailureText(address, QStringLiteral("xdg-open cannot be started (%1)").arg(process->errorString())));
    });
    QObject::connect(process, &QProcess::finished, [process, address, errors](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status == QProcess::NormalExit && code == 0)
            return;
        const QStringList lines = QString::fromLocal8Bit(*errors + process->readAllStandardError())
                                      .split(u'\n', Qt::SkipEmptyParts);
        const QString reason = !lines.isEmpty() ? lines.back().trimmed()
            : status == QProcess::NormalExit    ? QStringLiteral("xdg-open ended with code %1").arg(code)
                                                : QStringLiteral("xdg-open stopped");
        ErrorBox::Show(FailureText(address, reason));
    });
    process->start(QStringLiteral("xdg-open"), {address});
}

} // namespace BrowserOpen
