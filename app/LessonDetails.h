// TLessonDetails: the "Lesson Details" window, a separate resizable window like
// the notepad, showing the running (or last) lesson's record.
//
//  - Table1: one row per character in use: character, times asked, hits at
//    the first key, misses, time-outs, median reaction time (seconds, from the
//    end of the character's sound as the device played it) and the keys most
//    often typed instead ("7 for Z x3"); sortable by any column, numbers as
//    numbers. A real table for screen readers.
//  - Map1 (TConfusionMap): characters asked (rows) against keys typed while
//    an answer was awaited (columns), each cell as dark as its share of the
//    row's keys; right answers lie on the diagonal. Its accessible description
//    lists the same counts as text.
//  - Label1: the lesson in one line (questions, length, learning order).
// Refresh reads the record and the trainer; while the window is shown it
// refreshes itself whenever the record has changed (checked every RefreshMs).
// Created hidden; closing only hides it. Nothing here changes the lesson.
#pragma once

#include "trainer/LessonRecord.h"

#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>

#include <map>
#include <string>

namespace kalvo {
class LessonRunner;
class Trainer;
} // namespace kalvo

class TConfusionMap : public QWidget {
    Q_OBJECT
public:
    explicit TConfusionMap(QWidget* parent = nullptr);

    // Rows: the characters asked; columns: them and every other key typed.
    void ShowCounts(const std::string& asked, const std::map<char, std::map<char, int>>& counts);
    const std::string& Rows() const { return FRows; }
    const std::string& Columns() const { return FColumns; }
    int Count(char asked, char typed) const;
    // "Z asked: Z 3, 7 2. Q asked: Q 5." (signs in words); "No answers yet."
    QString TextAlternative() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string FRows, FColumns;
    std::map<char, std::map<char, int>> FCounts;
};

class TLessonDetails : public QWidget {
    Q_OBJECT
public:
    static constexpr int RefreshMs = 250;
    enum Column {
        CharacterColumn,
        AskedColumn,
        FirstKeyColumn,
        MissesColumn,
        TimeOutsColumn,
        ReactionColumn,
        InsteadColumn,
        ColumnCount
    };

    TLessonDetails(const kalvo::LessonRunner& lesson, const kalvo::Trainer& trainer, QWidget* parent = nullptr);

    QLabel* Label1;
    QTableWidget* Table1;
    TConfusionMap* Map1;

    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    const kalvo::LessonRunner& Lesson;
    const kalvo::Trainer& Train;
    QTimer* Timer1;
    unsigned long ShownRevision = ~0UL; // the record's revision on screen
};
