// The error histogram: 40 lime bars, one per lesson character, each as high as
// that character's error weight, on a fixed scale from 0 to 1.1.
//
// The chart `Chart1` holds one bar series `Series1` with one bar set "Bar"; the
// bottom axis has one category per bar, the left axis is fixed at 0 to 1.1.
// ShowBars replaces all 40 bars and their labels at once; an empty label shows
// nothing under its bar.
// Sized for a strip of about 673 x 100 pixels. The category axis elides any
// label wider than about half a category, which at that width would turn most
// letters into "...", so the axis keeps its categories but draws no text: the
// labels are drawn by the widget itself, one centred under each bar.
// For screen readers the chart is named by its title; its accessible
// description (set by the window) lists the bars as text.
#pragma once

#include <QChartView>
#include <QStringList>

#include <array>
#include <string>

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChart;
class QGraphicsSimpleTextItem;
class QValueAxis;

class ErrorHistogram : public QChartView {
public:
    static constexpr int BarCount = 40;

    explicit ErrorHistogram(QWidget* parent = nullptr);

    void ShowBars(const std::array<double, BarCount>& values, const std::array<std::string, BarCount>& labels);

    // What the chart shows now.
    std::array<double, BarCount> Values() const;
    std::array<std::string, BarCount> Labels() const { return CurrentLabels; }
    QStringList Categories() const;
    double ValueAxisMin() const;
    double ValueAxisMax() const;
    QString Title() const;
    // The text drawn under bar `bar` and where it stands, in chart coordinates.
    QString LabelText(int bar) const;
    QRectF LabelRect(int bar) const;
    // Where bar `bar` stands, in chart coordinates.
    QRectF BarSlot(int bar) const;

    QChart* Chart1 = nullptr;
    QBarSeries* Series1 = nullptr;
    QBarSet* Bar = nullptr;
    QBarCategoryAxis* BottomAxis = nullptr;
    QValueAxis* LeftAxis = nullptr;

private:
    void PlaceLabels();

    std::array<std::string, BarCount> CurrentLabels{};
    std::array<QGraphicsSimpleTextItem*, BarCount> BarLabels{};
};
