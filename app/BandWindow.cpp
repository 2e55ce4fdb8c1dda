#include "app/BandWindow.h"

#include "app/StatusNotice.h"
#include "app/ToolWindow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

using kalvo::BandSettings;

namespace {

// A box for a number in a unit. Its own limits lie far beyond the setting's
// range, so that a value out of range can be typed and refused with a
// message instead of being clamped without a word.
QDoubleSpinBox* NumberBox(QWidget* parent, const char* name, const QString& suffix, double wide, int decimals,
                          const QString& tip)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(-wide, wide);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    box->setKeyboardTracking(false);
    box->setToolTip(tip);
    return box;
}

} // namespace

TBandConditions::TBandConditions(Apply apply, QWidget* parent) : QWidget(parent, Qt::Window), FApply(std::move(apply))
{
    SetUpToolWindow(this, QStringLiteral("BandConditions"), QStringLiteral("Band Conditions"), QSize(460, 420));

    NoiseCheck = new QCheckBox(QStringLiteral("&Noise"), this);
    NoiseCheck->setObjectName(QStringLiteral("NoiseCheck"));
    SnrBox = NumberBox(this, "SnrBox", QStringLiteral(" dB"), 1000, 1,
                       QStringLiteral("The keyed tone's power over the noise power in 2500 Hz, -10 to 30 dB"));
    FilterBox = new QComboBox(this);
    FilterBox->setObjectName(QStringLiteral("FilterBox"));
    FilterBox->addItems(
        {QStringLiteral("250 Hz"), QStringLiteral("500 Hz"), QStringLiteral("1000 Hz"), QStringLiteral("2.7 kHz")});
    FilterBox->setToolTip(QStringLiteral("The receiver's filter the noise, the second station and the static pass"));
    QsbBox = new QComboBox(this);
    QsbBox->setObjectName(QStringLiteral("QsbBox"));
    QsbBox->addItems({QStringLiteral("Off"), QStringLiteral("Slow (0.1 to 0.2 fades a second)"),
                      QStringLiteral("Fast (0.3 to 0.6 fades a second)")});
    DepthBox = NumberBox(this, "DepthBox", QStringLiteral(" dB"), 1000, 1,
                         QStringLiteral("From the fading's peaks to its troughs, 3 to 30 dB"));
    QrmCheck = new QCheckBox(QStringLiteral("Second &station (QRM)"), this);
    QrmCheck->setObjectName(QStringLiteral("QrmCheck"));
    OffsetBox = NumberBox(this, "OffsetBox", QStringLiteral(" Hz"), 10000, 0,
                          QStringLiteral("Its pitch from the tone, 50 to 300 Hz above (+) or below (-)"));
    LevelBox = NumberBox(this, "LevelBox", QStringLiteral(" dB"), 1000, 1,
                         QStringLiteral("Its level relative to the signal, -30 to 10 dB"));
    QrnCheck = new QCheckBox(QStringLiteral("S&tatic (QRN)"), this);
    QrnCheck->setObjectName(QStringLiteral("QrnCheck"));
    RateBox = NumberBox(this, "RateBox", QStringLiteral(" a minute"), 10000, 0,
                        QStringLiteral("Static crashes a minute, 1 to 60"));
    SeedBox = new QSpinBox(this);
    SeedBox->setObjectName(QStringLiteral("SeedBox"));
    SeedBox->setRange(0, 2147483647);
    SeedBox->setKeyboardTracking(false);
    SeedBox->setToolTip(QStringLiteral("The same seed gives the same conditions"));

    // A combo box reads as its current item, and its label names it; its list
    // needs a name of its own.
    FilterBox->view()->setAccessibleName(QStringLiteral("Receiver filter"));
    QsbBox->view()->setAccessibleName(QStringLiteral("Fading (QSB)"));

    auto* form = new QFormLayout;
    auto row = [&](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    form->addRow(NoiseCheck);
    row(QStringLiteral("Signal to noise &ratio:"), SnrBox);
    row(QStringLiteral("Recei&ver filter:"), FilterBox);
    row(QStringLiteral("&Fading (QSB):"), QsbBox);
    row(QStringLiteral("Fading &depth:"), DepthBox);
    form->addRow(QrmCheck);
    row(QStringLiteral("Its &offset:"), OffsetBox);
    row(QStringLiteral("Its &level:"), LevelBox);
    form->addRow(QrnCheck);
    row(QStringLiteral("&Crashes:"), RateBox);
    row(QStringLiteral("S&eed:"), SeedBox);

    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setWordWrap(true);
    MessageLabel->setStyleSheet(QStringLiteral("color: #a00000"));
    auto* note = new QLabel(QStringLiteral("The conditions sound while a text is sent or a lesson runs. "
                                           "\"SaveEnvironment\" keeps them with the other settings."),
                            this);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MessageLabel);
    layout->addStretch();
    layout->addWidget(note);

    InstallStatusNoticeAccessible();
    Notice = new StatusNotice(this);

    for (QCheckBox* check : {NoiseCheck, QrmCheck, QrnCheck})
        connect(check, &QCheckBox::toggled, this, &TBandConditions::Changed);
    for (QComboBox* box : {FilterBox, QsbBox})
        connect(box, &QComboBox::currentIndexChanged, this, &TBandConditions::Changed);
    for (QDoubleSpinBox* box : {SnrBox, DepthBox, OffsetBox, LevelBox, RateBox})
        connect(box, &QDoubleSpinBox::valueChanged, this, &TBandConditions::Changed);
    connect(SeedBox, &QSpinBox::valueChanged, this, &TBandConditions::Changed);
    Show(BandSettings{});
}

void TBandConditions::Show(const BandSettings& settings)
{
    Filling = true;
    Shown = settings;
    NoiseCheck->setChecked(settings.Noise);
    SnrBox->setValue(settings.SnrDb);
    const auto filter = std::find(BandSettings::Filters.begin(), BandSettings::Filters.end(), settings.FilterHz);
    FilterBox->setCurrentIndex(int(std::distance(BandSettings::Filters.begin(), filter)));
    QsbBox->setCurrentIndex(int(settings.Qsb));
    DepthBox->setValue(settings.QsbDepthDb);
    QrmCheck->setChecked(settings.Qrm);
    OffsetBox->setValue(settings.QrmOffsetHz);
    LevelBox->setValue(settings.QrmLevelDb);
    QrnCheck->setChecked(settings.Qrn);
    RateBox->setValue(settings.QrnPerMinute);
    SeedBox->setValue(int(settings.Seed));
    MessageLabel->clear();
    EnableValues();
    Filling = false;
}

BandSettings TBandConditions::Read() const
{
    BandSettings s;
    s.Noise = NoiseCheck->isChecked();
    s.SnrDb = SnrBox->value();
    s.FilterHz = BandSettings::Filters[std::size_t(std::clamp(FilterBox->currentIndex(), 0, 3))];
    s.Qsb = static_cast<BandSettings::Fading>(std::clamp(QsbBox->currentIndex(), 0, 2));
    s.QsbDepthDb = DepthBox->value();
    s.Qrm = QrmCheck->isChecked();
    s.QrmOffsetHz = OffsetBox->value();
    s.QrmLevelDb = LevelBox->value();
    s.Qrn = QrnCheck->isChecked();
    s.QrnPerMinute = RateBox->value();
    s.Seed = static_cast<std::uint32_t>(SeedBox->value());
    return s;
}

void TBandConditions::Changed()
{
    if (Filling)
        return;
    EnableValues();
    const BandSettings settings = Read();
    if (const auto message = settings.Invalid()) {
        const QString text = QString::fromStdString(*message);
        MessageLabel->setText(text);
        Notice->Announce(text);
        return;
    }
    MessageLabel->clear();
    if (settings == Shown)
        return;
    Shown = settings;
    FApply(settings);
}

void TBandConditions::EnableValues()
{
    SnrBox->setEnabled(NoiseCheck->isChecked());
    DepthBox->setEnabled(QsbBox->currentIndex() != 0);
    OffsetBox->setEnabled(QrmCheck->isChecked());
    LevelBox->setEnabled(QrmCheck->isChecked());
    RateBox->setEnabled(QrnCheck->isChecked());
}
