#include "app/ErrorHistogram.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QValueAxis>

namespace {

constexpr double BarWidth = 0.7; // share of a category

// A category name that shows nothing and differs from every other one (a
// category axis merges equal names): a run of zero-width spaces whose length
// is the bar's number.
QString InvisibleCategory(int bar)
{
    return QString(bar + 1, QChar(0x200B));
}

QString ToQString(const std::string& text)
{
    // The characters are 8-bit codes; the lesson's own are all plain ASCII.
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList CategoriesFor(const std::array<std::string, ErrorHistogram::BarCount>& labels)
{
    QStringList categories;
    for (int i = 0; i < ErrorHistogram::BarCount; ++i) {
        QString name = ToQString(labels[i]);
        if (name.isEmpty() || categories.contains(name))
            name = InvisibleCategory(i);
        categories << name;
    }
    return categories;
}

} // namespace

ErrorHistogram::ErrorHistogram(QWidget* parent) : QChartView(parent)
{
    QFont labelFont = font();
    labelFont.setPixelSize(10);
    QFont valueFont = font();
    valueFont.setPixelSize(9);

    Chart1 = new QChart();
    Chart1->setObjectName("Chart1");
    // The title is kept with the chart but not drawn: the strip has no room for it.
    Chart1->setWindowTitle("Error Histogram");
    Chart1->legend()->hide();
    Chart1->setBackgroundBrush(Qt::white);
    Chart1->setBackgroundRoundness(0);
    Chart1->setPlotAreaBackgroundBrush(Qt::white);
    Chart1->setPlotAreaBackgroundVisible(true);
    Chart1->layout()->setContentsMargins(0, 0, 0, 0);
    // Room at the bottom for one line of bar labels.
    Chart1->setMargins(QMargins(2, 4, 4, QFontMetrics(labelFont).height()));
    Chart1->setAnimationOptions(QChart::NoAnimation);

    Series1 = new QBarSeries();
    Series1->setObjectName("Series1");
    Series1->setLabelsVisible(false);
    Series1->setBarWidth(BarWidth);
    Bar = new QBarSet("Bar");
    Bar->setColor(QColor(0, 255, 0));
    Bar->setBorderColor(QColor(0, 128, 0));
    Series1->append(Bar);
    Chart1->addSeries(Series1);

    BottomAxis = new QBarCategoryAxis();
    BottomAxis->setLabelsVisible(false);
    BottomAxis->setGridLineVisible(false);
    Chart1->addAxis(BottomAxis, Qt::AlignBottom);
    Series1->attachAxis(BottomAxis);

    LeftAxis = new QValueAxis();
    LeftAxis->setRange(0.0, 1.1);
    LeftAxis->setLabelsFont(valueFont);
    LeftAxis->setLabelFormat("%.1f");
    LeftAxis->setTickType(QValueAxis::TicksDynamic);
    LeftAxis->setTickAnchor(0.0);
    LeftAxis->setTickInterval(0.5);
    Chart1->addAxis(LeftAxis, Qt::AlignLeft);
    Series1->attachAxis(LeftAxis);

    for (auto& label : BarLabels) {
        label = new QGraphicsSimpleTextItem(Chart1);
        label->setFont(labelFont);
        label->setBrush(Qt::black);
    }

    setChart(Chart1);
    // Screen readers know the chart by its title; the window describes the bars.
    setAccessibleName(Chart1->windowTitle());
    viewport()->setAccessibleName(Chart1->windowTitle());
    setFrameShape(QFrame::NoFrame);
    setContentsMargins(0, 0, 0, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(Chart1, &QChart::plotAreaChanged, this, [this](const QRectF&) { PlaceLabels(); });
    ShowBars({}, {});
}

void ErrorHistogram::ShowBars(const std::array<double, BarCount>& values,
                              const std::array<std::string, BarCount>& labels)
{
    CurrentLabels = labels;
    BottomAxis->setCategories(CategoriesFor(labels));
    Bar->remove(0, Bar->count());
    QList<qreal> points;
    points.reserve(BarCount);
    for (double v : values)
        points << v;
    Bar->append(points);
    // The scale stays fixed whatever the values are.
    LeftAxis->setRange(0.0, 1.1);
    for (int i = 0; i < BarCount; ++i)
        BarLabels[i]->setText(ToQString(labels[i]));
    PlaceLabels();
}

void ErrorHistogram::PlaceLabels()
{
    const QRectF plot = Chart1->plotArea();
    for (int i = 0; i < BarCount; ++i) {
        const QRectF slot = BarSlot(i);
        const QRectF text = BarLabels[i]->boundingRect();
        BarLabels[i]->setPos(slot.center().x() - text.width() / 2, plot.bottom() + 1);
    }
}

std::array<double, ErrorHistogram::BarCount> ErrorHistogram::Values() const
{
    std::array<double, BarCount> values{};
    for (int i = 0; i < BarCount && i < Bar->count(); ++i)
        values[i] = Bar->at(i);
    return values;
}

QStringList ErrorHistogram::Categories() const
{
    return BottomAxis->categories();
}
double ErrorHistogram::ValueAxisMin() const
{
    return LeftAxis->min();
}
double ErrorHistogram::ValueAxisMax() const
{
    return LeftAxis->max();
}
QString ErrorHistogram::Title() const
{
    return Chart1->windowTitle();
}
QString ErrorHistogram::LabelText(int bar) const
{
    return BarLabels.at(bar)->text();
}

QRectF ErrorHistogram::LabelRect(int bar) const
{
    const auto* label = BarLabels.at(bar);
    return label->boundingRect().translated(label->pos());
}

QRectF ErrorHistogram::BarSlot(int bar) const
{
    // Bar k stands on category k, which spans k - 0.5 to k + 0.5 on the axis.
    const QPointF left = Chart1->mapToPosition(QPointF(bar - 0.5, 0.0), Series1);
    const QPointF right = Chart1->mapToPosition(QPointF(bar + 0.5, 0.0), Series1);
    const QRectF plot = Chart1->plotArea();
    return QRectF(left.x(), plot.top(), right.x() - left.x(), plot.height());
}
