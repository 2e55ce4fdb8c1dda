// The common make of the program's tool windows (the lesson's details, the
// progress log): a separate top-level window in the program's font that does
// not keep the program running when the main window closes, and a read-only
// table of characters that a screen reader can walk like a real table.
//
//  - SetUpToolWindow: object name, title and first size of the window.
//  - NewCharacterTable: whole rows selected, columns sized to their contents,
//    the last one stretched; sortable by the user, but no column sorted at
//    first, so the rows stand in the order they were filled. Tab leaves the
//    table instead of walking its cells.
//  - CharacterItem: a character shown upper-case (ShownCharacter), read by
//    its spoken name (SpokenCharacter).
//  - NumberItem: a right-aligned number; an empty cell (an invalid value)
//    still reads "none". SecondsItem: a time to the millisecond, or an empty
//    cell when there is none.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QVariant>
#include <QWidget>

#include <optional>

void SetUpToolWindow(QWidget* window, const QString& objectName, const QString& title, QSize size);
QTableWidget* NewCharacterTable(QWidget* window, const QString& accessibleName, const QStringList& headers);
QString ShownCharacter(char c);
QString SpokenCharacter(char c);
QTableWidgetItem* CharacterItem(char c);
QTableWidgetItem* NumberItem(const QVariant& value);
QTableWidgetItem* SecondsItem(const std::optional<double>& seconds);
