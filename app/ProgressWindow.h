// TProgressWindow: the "Show Progress" window, a separate resizable window
// like the notepad, showing the progress log as read on the user's command.
//
//  - Chart1: the rating and the number of characters in use of every lesson,
//    two lines over a date axis (Qt Charts), and the speed and accuracy of
//    every sending session, two more on a value axis of their own on the
//    right (0 to 100 holds both wpm and per cent); a session sent without a
//    text to match has no accuracy point. Its accessible description lists
//    the lessons and the sessions as text.
//  - Table1: per character over the last RecentLessons lessons: lessons it was
//    asked in, asked, accuracy (hits per question, in per cent) and the
//    median of its median reaction times; sortable, a real table for screen
//    readers.
//  - Label1: how many lessons and sending sessions the log holds and how many
//    damaged lines were skipped.
// ShowLog replaces everything; the window reads no file itself.
// Created hidden; closing only hides it.
#pragma once

#include "trainer/ProgressLog.h"

#include <QLabel>
#include <QTableWidget>
#include <QWidget>

class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

class TProgressWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr std::size_t RecentLessons = 10;

    explicit TProgressWindow(QWidget* parent = nullptr);

    void ShowLog(const kalvo::ProgressLogContents& log);

    QLabel* Label1;
    QChartView* Chart1;
    QLineSeries* RatingSeries;
    QLineSeries* InUseSeries;
    QDateTimeAxis* DateAxis;
    QValueAxis* ValueAxis;
    QLineSeries* SendingSpeedSeries;
    QLineSeries* SendingAccuracySeries;
    QValueAxis* SendingAxis;
    QLineSeries* DrillTopSeries; // on the sending axis
    QLineSeries* DrillScoreSeries;
    QValueAxis* DrillScoreAxis;
    QTableWidget* Table1;
};
