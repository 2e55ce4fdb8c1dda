#include "app/ToolWindow.h"

#include "app/ProgramFont.h"
#include "common/Convert.h"
#include "trainer/HistogramFeed.h"

#include <QHeaderView>

#include <cmath>

void SetUpToolWindow(QWidget* window, const QString& objectName, const QString& title, QSize size)
{
    window->setObjectName(objectName);
    window->setWindowTitle(title);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setFont(ProgramFont(9));
    window->resize(size);
}

QTableWidget* NewCharacterTable(QWidget* window, const QString& accessibleName, const QStringList& headers)
{
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), window);
    table->setObjectName(QStringLiteral("Table1"));
    table->setAccessibleName(accessibleName);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->setTabKeyNavigation(false);
    return table;
}

QString ShownCharacter(char c)
{
    return QString(QChar(static_cast<unsigned char>(kalvo::UpCase(c))));
}

QString SpokenCharacter(char c)
{
    return QString::fromLatin1(kalvo::SpokenName(kalvo::UpCase(c)));
}

QTableWidgetItem* CharacterItem(char c)
{
    auto* item = new QTableWidgetItem(ShownCharacter(c));
    item->setData(Qt::AccessibleTextRole, SpokenCharacter(c));
    return item;
}

QTableWidgetItem* NumberItem(const QVariant& value)
{
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (!value.isValid())
        item->setData(Qt::AccessibleTextRole, QStringLiteral("none"));
    return item;
}

QTableWidgetItem* SecondsItem(const std::optional<double>& seconds)
{
    return seconds ? NumberItem(std::round(*seconds * 1000) / 1000) : NumberItem(QVariant());
}
