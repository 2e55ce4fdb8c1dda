// TBandConditions: the "Band Conditions" tool window. It shows the band
// conditions the main window holds and hands every accepted change to
// Apply at once, so that a lesson or a send already sounding takes it.
//
//  - Numbers are taken when a box is left or Enter is pressed. A value out
//    of range is refused with a message that gives the range, shown under
//    the controls and spoken by a screen reader; nothing changes then.
//  - Each condition's own values are enabled only while it is on.
//  - Show(settings) fills the controls (after the settings file loads).
#pragma once

#include "audio/BandSettings.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class StatusNotice;

class TBandConditions : public QWidget {
    Q_OBJECT
public:
    using Apply = std::function<void(const kalvo::BandSettings&)>;
    TBandConditions(Apply apply, QWidget* parent);

    void Show(const kalvo::BandSettings& settings);

    QCheckBox* NoiseCheck;
    QDoubleSpinBox* SnrBox;
    QComboBox* FilterBox;
    QComboBox* QsbBox;
    QDoubleSpinBox* DepthBox;
    QCheckBox* QrmCheck;
    QDoubleSpinBox* OffsetBox;
    QDoubleSpinBox* LevelBox;
    QCheckBox* QrnCheck;
    QDoubleSpinBox* RateBox;
    QSpinBox* SeedBox;
    QLabel* MessageLabel;

private:
    kalvo::BandSettings Read() const;
    void Changed();
    void EnableValues();

    Apply FApply;
    kalvo::BandSettings Shown;
    StatusNotice* Notice;
    bool Filling = false;
};
