#include "app/ProgressWindow.h"

#include "app/ToolWindow.h"
#include "trainer/LearningOrder.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

TProgressWindow::TProgressWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    SetUpToolWindow(this, QStringLiteral("ProgressWindow"), QStringLiteral("Progress"), QSize(640, 640));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Rating and characters in use"));
    RatingSeries = new QLineSeries;
    RatingSeries->setName(QStringLiteral("Rating"));
    InUseSeries = new QLineSeries;
    InUseSeries->setName(QStringLiteral("Characters in use"));
    chart->addSeries(RatingSeries);
    chart->addSeries(InUseSeries);
    DateAxis = new QDateTimeAxis;
    DateAxis->setFormat(QStringLiteral("yyyy-MM-dd"));
    DateAxis->setTitleText(QStringLiteral("Date (UTC)"));
    ValueAxis = new QValueAxis;
    ValueAxis->setRange(0, 100);
    ValueAxis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(DateAxis, Qt::AlignBottom);
    chart->addAxis(ValueAxis, Qt::AlignLeft);
    for (QLineSeries* series : {RatingSeries, InUseSeries}) {
        series->setPointsVisible(true);
        series->attachAxis(DateAxis);
        series->attachAxis(ValueAxis);
    }
    SendingAxis = new QValueAxis;
    SendingAxis->setRange(0, 100);
    SendingAxis->setLabelFormat(QStringLiteral("%d"));
    SendingAxis->setTitleText(QStringLiteral("Sending: wpm, %"));
    chart->addAxis(SendingAxis, Qt::AlignRight);
    DrillScoreAxis = new QValueAxis;
    DrillScoreAxis->setLabelFormat(QStringLiteral("%d"));
    DrillScoreAxis->setTitleText(QStringLiteral("Drill score"));
    DrillScoreAxis->setRange(0, 1000);
    chart->addAxis(DrillScoreAxis, Qt::AlignRight);
    // A series of points over the dates, on its own value axis.
    const auto dated = [&](const QString& name, QValueAxis* axis) {
        auto* series = new QLineSeries;
        series->setName(name);
        chart->addSeries(series);
        series->setPointsVisible(true);
        series->attachAxis(DateAxis);
        series->attachAxis(axis);
        return series;
    };
    SendingSpeedSeries = dated(QStringLiteral("Sending speed (wpm)"), SendingAxis);
    SendingAccuracySeries = dated(QStringLiteral("Sending accuracy (%)"), SendingAxis);
    DrillTopSeries = dated(QStringLiteral("Drill top speed (wpm)"), SendingAxis);
    DrillScoreSeries = dated(QStringLiteral("Drill score"), DrillScoreAxis);
    Chart1 = new QChartView(chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setAccessibleName(chart->title());
    Chart1->viewport()->setAccessibleName(chart->title());
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setFocusPolicy(Qt::TabFocus); // a screen reader's user can reach the text alternative

    Table1 = NewCharacterTable(this, QStringLiteral("Characters over the last %1 lessons").arg(RecentLessons),
                               {QStringLiteral("Character"), QStringLiteral("Lessons"), QStringLiteral("Asked"),
                                QStringLiteral("Accuracy (%)"), QStringLiteral("Median reaction (s)")});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Chart1, 3);
    layout->addWidget(Table1, 2);
}

void TProgressWindow::ShowLog(const kalvo::ProgressLogContents& log)
{
    QString summary = QStringLiteral("%1 lessons in the progress log.").arg(log.Entries.size());
    if (!log.Sending.empty())
        summary += QStringLiteral(" %1 sending sessions.").arg(log.Sending.size());
    if (!log.Drills.empty())
        summary += QStringLiteral(" %1 drills.").arg(log.Drills.size());
    if (log.Damaged > 0)
        summary += QStringLiteral(" %1 damaged lines were skipped.").arg(log.Damaged);
    if (!log.Entries.empty())
        summary += QStringLiteral(" The last lesson's learning order: %1.")
                       .arg(QString::fromLatin1(kalvo::OrderName(log.Entries.back().Order)));
    Label1->setText(summary);

    for (QLineSeries* series :
         {RatingSeries, InUseSeries, SendingSpeedSeries, SendingAccuracySeries, DrillTopSeries, DrillScoreSeries})
        series->clear();
    QStringList spoken;
    QDateTime first, last;
    const auto at = [&](const std::string& iso) {
        const QDateTime when = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
        if (!first.isValid() || when < first)
            first = when;
        if (!last.isValid() || when > last)
            last = when;
        return static_cast<qreal>(when.toMSecsSinceEpoch());
    };
    int top = 40;
    for (const kalvo::ProgressEntry& e : log.Entries) {
        const qreal x = at(e.When);
        RatingSeries->append(x, e.Rating);
        InUseSeries->append(x, e.InUse);
        top = std::max(top, e.Rating);
        spoken << QStringLiteral("%1: rating %2, %3 characters")
                      .arg(QString::fromLatin1(e.When))
                      .arg(e.Rating)
                      .arg(e.InUse);
    }
    for (const kalvo::SendingEntry& e : log.Sending) {
        const qreal x = at(e.When);
        SendingSpeedSeries->append(x, e.Wpm);
        QString line = QStringLiteral("%1: sending %2 wpm")
                           .arg(QString::fromLatin1(e.When), QString::number(e.Wpm, 'f', 1));
        if (e.Accuracy >= 0) {
            SendingAccuracySeries->append(x, e.Accuracy);
            line += QStringLiteral(", %1 %").arg(e.Accuracy);
        }
        spoken << line;
    }
    double topScore = 1000;
    for (const kalvo::DrillEntry& e : log.Drills) {
        const qreal x = at(e.When);
        DrillTopSeries->append(x, e.TopWpm);
        DrillScoreSeries->append(x, e.Score);
        topScore = std::max(topScore, e.Score);
        spoken << QStringLiteral("%1: %2 drill, score %3, at best %4 wpm")
                      .arg(QString::fromLatin1(e.When), QString::fromStdString(e.Kind))
                      .arg(e.Score)
                      .arg(e.TopWpm);
    }
    DrillScoreAxis->setRange(0, topScore);
    if (first.isValid()) {
        // A single lesson, or lessons of one moment, still get a day to stand in.
        DateAxis->setRange(first.addSecs(-43200), std::max(last, first.addSecs(1)).addSecs(43200));
    }
    ValueAxis->setRange(0, top);
    Chart1->setAccessibleDescription(spoken.isEmpty() ? QStringLiteral("No lessons, sending sessions or drills yet.")
                                                      : spoken.join(QStringLiteral("; ")) + QLatin1Char('.'));

    const auto rows = kalvo::RecentProgress(log.Entries, RecentLessons);
    Table1->setSortingEnabled(false);
    Table1->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& row = rows[r];
        Table1->setItem(r, 0, CharacterItem(row.Name));
        Table1->setItem(r, 1, NumberItem(row.Lessons));
        Table1->setItem(r, 2, NumberItem(row.Asked));
        Table1->setItem(r, 3, NumberItem(row.Asked > 0 ? std::round(1000.0 * row.Hits / row.Asked) / 10 : 0.0));
        Table1->setItem(r, 4, SecondsItem(row.MedianReaction));
    }
    Table1->setSortingEnabled(true);
}
