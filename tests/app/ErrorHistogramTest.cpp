#include "app/ErrorHistogram.h"

#include "trainer/HistogramFeed.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QImage>
#include <QLegend>
#include <QPixmap>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <set>

namespace {

using Values = std::array<double, ErrorHistogram::BarCount>;
using Labels = std::array<std::string, ErrorHistogram::BarCount>;

Values Ramp()
{
    Values v{};
    for (int i = 0; i < 40; ++i)
        v[i] = 0.2 + 0.2 * (i % 5);
    return v;
}

Labels StopLabels()
{
    kalvo::RandomGenerator random;
    kalvo::Trainer t(random);
    t.PrepareLesson(1);
    return kalvo::MakeHistogramFeed(t).Labels;
}

} // namespace

TEST(ErrorHistogram, FixedSettings)
{
    ErrorHistogram h;
    ASSERT_NE(h.chart(), nullptr);
    EXPECT_EQ(h.chart(), h.Chart1);
    EXPECT_EQ(h.Chart1->objectName(), "Chart1");
    EXPECT_EQ(h.Title(), "Error Histogram");
    EXPECT_TRUE(h.Chart1->title().isEmpty()); // kept, not drawn
    EXPECT_FALSE(h.Chart1->legend()->isVisible());
    EXPECT_EQ(h.Chart1->plotAreaBackgroundBrush().color(), QColor(Qt::white));
    EXPECT_TRUE(h.Chart1->isPlotAreaBackgroundVisible());

    ASSERT_EQ(h.Chart1->series().size(), 1);
    auto* series = qobject_cast<QBarSeries*>(h.Chart1->series().first());
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(series, h.Series1);
    EXPECT_EQ(series->objectName(), "Series1");
    EXPECT_FALSE(series->isLabelsVisible());
    ASSERT_EQ(series->count(), 1);
    EXPECT_EQ(series->barSets().first()->label(), "Bar");
    EXPECT_EQ(series->barSets().first()->color(), QColor(0, 255, 0));

    const auto bottom = h.Chart1->axes(Qt::Horizontal);
    ASSERT_EQ(bottom.size(), 1);
    auto* categories = qobject_cast<QBarCategoryAxis*>(bottom.first());
    ASSERT_NE(categories, nullptr);
    EXPECT_EQ(categories->alignment(), Qt::AlignBottom);
    EXPECT_EQ(categories->count(), 40);

    const auto left = h.Chart1->axes(Qt::Vertical);
    ASSERT_EQ(left.size(), 1);
    auto* value = qobject_cast<QValueAxis*>(left.first());
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->alignment(), Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(h.ValueAxisMin(), 0.0);
    EXPECT_DOUBLE_EQ(h.ValueAxisMax(), 1.1);
}

TEST(ErrorHistogram, ShowBarsReplacesAllPoints)
{
    ErrorHistogram h;
    h.ShowBars(Ramp(), StopLabels());
    Values ones;
    ones.fill(1.0);
    h.ShowBars(ones, Labels{});
    EXPECT_EQ(h.Bar->count(), 40);
    EXPECT_EQ(h.Values(), ones);
    EXPECT_EQ(h.Labels(), Labels{});

    h.ShowBars(Ramp(), StopLabels());
    EXPECT_EQ(h.Bar->count(), 40);
    EXPECT_EQ(h.Values(), Ramp());
    EXPECT_EQ(h.Series1->count(), 1);
    // The scale does not follow the values.
    EXPECT_DOUBLE_EQ(h.ValueAxisMin(), 0.0);
    EXPECT_DOUBLE_EQ(h.ValueAxisMax(), 1.1);
}

TEST(ErrorHistogram, LabelsAfterStop)
{
    ErrorHistogram h;
    h.ShowBars(Ramp(), StopLabels());
    const auto labels = h.Labels();
    const char* expected[] = {"Q", "7", "Z", "G", "0", "9", "8", "O", "1", "J"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(labels[i], expected[i]);
    EXPECT_EQ(labels[39], "/");
    const QStringList categories = h.Categories();
    ASSERT_EQ(categories.size(), 40);
    EXPECT_EQ(categories.join(""), "Q7ZG098O1JPWLRAM6BXDYCKN23FU45VHSITE.,?/");
}

TEST(ErrorHistogram, EmptyLabelsKeepFortyDistinctInvisibleCategories)
{
    ErrorHistogram h;
    h.ShowBars(Ramp(), StopLabels());
    h.ShowBars(Ramp(), Labels{});
    const QStringList categories = h.Categories();
    ASSERT_EQ(categories.size(), 40);
    EXPECT_EQ(std::set<QString>(categories.begin(), categories.end()).size(), 40u);
    for (const QString& c : categories) {
        EXPECT_FALSE(c.isEmpty());
        EXPECT_TRUE(c.trimmed().remove(QChar(0x200B)).isEmpty()) << c.toStdString();
    }
    EXPECT_EQ(h.Values(), Ramp());
    for (const auto& label : h.Labels())
        EXPECT_TRUE(label.empty());
}

TEST(ErrorHistogram, AllLabelsFitTheStrip)
{
    ErrorHistogram h;
    h.resize(673, 100);
    h.ShowBars(Ramp(), StopLabels());
    h.show();
    QApplication::processEvents();
    const QPixmap shot = h.grab();
    if (qEnvironmentVariableIsSet("KALVO_HISTOGRAM_SHOT"))
        shot.save(qEnvironmentVariable("KALVO_HISTOGRAM_SHOT"));

    // Every character stands whole under its own bar, inside the strip.
    const QString order = "Q7ZG098O1JPWLRAM6BXDYCKN23FU45VHSITE.,?/";
    const QRectF strip(0, 0, 673, 100);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(h.LabelText(i), QString(order[i]));
        const QRectF label = h.LabelRect(i);
        const QRectF slot = h.BarSlot(i);
        EXPECT_GE(label.left(), slot.left()) << i;
        EXPECT_LE(label.right(), slot.right()) << i;
        EXPECT_NEAR(label.center().x(), slot.center().x(), 1.0) << i;
        EXPECT_GE(label.top(), slot.bottom()) << i; // below the plot, not on the bars
        EXPECT_TRUE(strip.contains(label)) << i;
    }
    EXPECT_GT(h.BarSlot(0).height(), 60.0); // the bars keep most of the height

    // The bars are drawn in lime.
    const QImage image = shot.toImage();
    int lime = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lime += image.pixelColor(x, y) == QColor(0, 255, 0);
    EXPECT_GT(lime, 40 * 10);
}

TEST(ErrorHistogram, TrainModeDrawsNoLabelText)
{
    ErrorHistogram h;
    h.resize(673, 100);
    h.ShowBars(Ramp(), StopLabels());
    h.ShowBars(Ramp(), Labels{});
    h.show();
    QApplication::processEvents();
    for (int i = 0; i < 40; ++i)
        EXPECT_TRUE(h.LabelText(i).isEmpty()) << i;
    // Nothing on the category axis itself either.
    EXPECT_FALSE(h.BottomAxis->labelsVisible());
}
