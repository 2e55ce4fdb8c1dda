#include "app/StatusNotice.h"

#include <QAccessibleWidget>

StatusNotice::StatusNotice(QWidget* statusBar) : QWidget(statusBar)
{
    setObjectName(QStringLiteral("StatusNotice"));
    setGeometry(0, 0, 0, 0);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void StatusNotice::Announce(const QString& text)
{
    if (text.isEmpty())
        return;
    setAccessibleName(text);
    hide();
    show();
}

namespace {

QAccessibleInterface* StatusNoticeFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("StatusNotice"))
        if (auto* notice = qobject_cast<StatusNotice*>(object))
            return new QAccessibleWidget(notice, QAccessible::Notification);
    return nullptr;
}

} // namespace

void InstallStatusNoticeAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(StatusNoticeFactory);
        return true;
    }();
    (void)installed;
}
