#include "app/LessonDetails.h"

#include "app/ToolWindow.h"
#include "trainer/LearningOrder.h"
#include "trainer/LessonRunner.h"

#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>

TConfusionMap::TConfusionMap(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Map1"));
    setAccessibleName(QStringLiteral("Keys typed for each character asked"));
    setMinimumSize(240, 200);
    setFocusPolicy(Qt::TabFocus); // a screen reader's user can reach the text alternative
    setAccessibleDescription(TextAlternative());
}

void TConfusionMap::ShowCounts(const std::string& asked, const std::map<char, std::map<char, int>>& counts)
{
    FRows = asked;
    FColumns = asked;
    FCounts.clear();
    for (const auto& [row, typed] : counts) {
        for (const auto& [key, n] : typed) {
            FCounts[row][key] = n;
            if (FColumns.find(key) == std::string::npos)
                FColumns += key;
        }
        if (FRows.find(row) == std::string::npos)
            FRows += row;
    }
    setAccessibleDescription(TextAlternative());
    update();
}

int TConfusionMap::Count(char asked, char typed) const
{
    const auto row = FCounts.find(asked);
    if (row == FCounts.end())
        return 0;
    const auto cell = row->second.find(typed);
    return cell == row->second.end() ? 0 : cell->second;
}

QString TConfusionMap::TextAlternative() const
{
    QStringList rows;
    for (char asked : FRows) {
        QStringList cells;
        // The right key first, then the others by how often they were typed.
        std::vector<std::pair<char, int>> typed;
        for (char key : FColumns)
            if (int n = Count(asked, key); n > 0)
                typed.emplace_back(key, n);
        std::stable_sort(typed.begin(), typed.end(), [asked](const auto& a, const auto& b) {
            return (a.first == asked) > (b.first == asked)
                || ((a.first == asked) == (b.first == asked) && a.second > b.second);
        });
        for (const auto& [key, n] : typed)
            cells << SpokenCharacter(key) + QLatin1Char(' ') + QString::number(n);
        if (!cells.isEmpty())
            rows << SpokenCharacter(asked) + QStringLiteral(" asked: ") + cells.join(QStringLiteral(", "))
                    + QLatin1Char('.');
    }
    return rows.isEmpty() ? QStringLiteral("No answers yet.") : rows.join(QLatin1Char(' '));
}

void TConfusionMap::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int n = static_cast<int>(FRows.size()), m = static_cast<int>(FColumns.size());
    if (n == 0 || m == 0) {
        p.drawText(rect(), Qt::AlignCenter, TextAlternative());
        return;
    }
    // One label column and row, then square cells that fit the widget.
    const int cell = std::clamp(std::min((width() - 4) / (m + 1), (height() - 4) / (n + 1)), 6, 28);
    const QPoint origin(2 + cell, 2 + cell);
    QFont font = p.font();
    font.setPixelSize(std::max(6, cell * 2 / 3));
    p.setFont(font);
    for (int j = 0; j < m; ++j)
        p.drawText(QRect(origin.x() + j * cell, 2, cell, cell), Qt::AlignCenter, ShownCharacter(FColumns[j]));
    for (int i = 0; i < n; ++i) {
        const char asked = FRows[i];
        p.setPen(Qt::black);
        p.drawText(QRect(2, origin.y() + i * cell, cell, cell), Qt::AlignCenter, ShownCharacter(asked));
        int total = 0;
        for (char key : FColumns)
            total += Count(asked, key);
        for (int j = 0; j < m; ++j) {
            const QRect box(origin.x() + j * cell, origin.y() + i * cell, cell, cell);
            const int count = Count(asked, FColumns[j]);
            // Right answers in green, wrong ones in red, darker for a larger share.
            const double share = total > 0 ? double(count) / total : 0.0;
            const int fade = 255 - static_cast<int>(share * 200);
            const QColor colour = count == 0 ? QColor(Qt::white)
                : FColumns[j] == asked       ? QColor(fade, 255, fade)
                                             : QColor(255, fade, fade);
            p.fillRect(box, colour);
            p.setPen(QColor(210, 210, 210));
            p.drawRect(box);
            if (count > 0) {
                p.setPen(Qt::black);
                p.drawText(box, Qt::AlignCenter, QString::number(count));
            }
        }
    }
}

TLessonDetails::TLessonDetails(const kalvo::LessonRunner& lesson, const kalvo::Trainer& trainer, QWidget* parent)
    : QWidget(parent, Qt::Window), Lesson(lesson), Train(trainer)
{
    SetUpToolWindow(this, QStringLiteral("LessonDetails"), QStringLiteral("Lesson Details"), QSize(720, 620));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));

    Table1 = NewCharacterTable(this, QStringLiteral("Characters of the lesson"),
                               {QStringLiteral("Character"), QStringLiteral("Asked"),
                                QStringLiteral("Hits at first key"), QStringLiteral("Misses"),
                                QStringLiteral("Time-outs"), QStringLiteral("Median reaction (s)"),
                                QStringLiteral("Typed instead")});

    Map1 = new TConfusionMap(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Table1, 3);
    layout->addWidget(Map1, 2);

    Timer1 = new QTimer(this);
    Timer1->setInterval(RefreshMs);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (Lesson.Record().Revision() != ShownRevision)
            Refresh();
    });
}

void TLessonDetails::Refresh()
{
    const kalvo::LessonRecord& record = Lesson.Record();
    ShownRevision = record.Revision();
    const std::string inUse = Train.LessonOrder.substr(0, static_cast<std::size_t>(std::max(0, Train.ActiveCount)));
    const auto rows = record.Summarise(inUse);

    const double seconds = record.LengthSeconds(kalvo::LessonRecord::Clock::now());
    QString summary = QStringLiteral("%1 questions in %2 s; %3 characters in use.")
                          .arg(record.Questions().size())
                          .arg(static_cast<long>(seconds))
                          .arg(inUse.size());
    if (!Train.LessonOrder.empty())
        summary += QStringLiteral(" Learning order: %1.").arg(QString::fromLatin1(kalvo::OrderName(Train.LessonOrder)));
    Label1->setText(summary);

    // Rows are refilled in the order of the lesson and sorted again as the user left them.
    Table1->setSortingEnabled(false);
    Table1->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& row = rows[r];
        Table1->setItem(r, CharacterColumn, CharacterItem(row.Character));
        Table1->setItem(r, AskedColumn, NumberItem(row.Asked));
        Table1->setItem(r, FirstKeyColumn, NumberItem(row.FirstKeyHits));
        Table1->setItem(r, MissesColumn, NumberItem(row.Misses));
        Table1->setItem(r, TimeOutsColumn, NumberItem(row.TimeOuts));
        Table1->setItem(r, ReactionColumn, SecondsItem(row.MedianReaction));
        QStringList instead;
        for (std::size_t i = 0; i < row.TypedInstead.size() && i < 3; ++i)
            instead << QStringLiteral("%1 for %2 \u00D7%3")
                           .arg(ShownCharacter(row.TypedInstead[i].first), ShownCharacter(row.Character))
                           .arg(row.TypedInstead[i].second);
        auto* typedInstead = new QTableWidgetItem(instead.join(QStringLiteral(", ")));
        if (instead.isEmpty())
            typedInstead->setData(Qt::AccessibleTextRole, QStringLiteral("none"));
        Table1->setItem(r, InsteadColumn, typedInstead);
    }
    Table1->setSortingEnabled(true);
    Map1->ShowCounts(inUse, record.Confusion());
}

void TLessonDetails::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
    Timer1->start();
}

void TLessonDetails::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QWidget::hideEvent(event);
}
