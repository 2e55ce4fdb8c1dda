#include "app/SendingPractice.h"

#include "app/AnsiText.h"
#include "app/ErrorBox.h"
#include "app/StatusNotice.h"
#include "app/ToolWindow.h"
#include "morse/SendingReport.h"
#include "trainer/ProgressLog.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <chrono>

namespace {

// The keys of USB paddle adapters that present themselves as a keyboard, and
// the space bar as a straight key. X11 key symbols tell left from right.
const TSendingPractice::Binding DefaultBindings[3] = {
    {0x0020, Qt::Key_Space, QStringLiteral("Space")},
    {0xffe3, Qt::Key_Control, QStringLiteral("Left Ctrl")},
    {0xffe4, Qt::Key_Control, QStringLiteral("Right Ctrl")},
};
const char* const KeyNames[3] = {"Straight key", "Dot paddle", "Dash paddle"};

// Often enough that a character shows as its silence ends, rarely enough to cost nothing.
constexpr int PollMs = 20;

QString KeyName(const QKeyEvent* key)
{
    const quint32 sym = key->nativeVirtualKey();
    if (sym == 0xffe3 || sym == 0xffe4)
        return sym == 0xffe3 ? QStringLiteral("Left Ctrl") : QStringLiteral("Right Ctrl");
    if (sym == 0xffe9 || sym == 0xffea)
        return sym == 0xffe9 ? QStringLiteral("Left Alt") : QStringLiteral("Right Alt");
    if (sym == 0xffe1 || sym == 0xffe2)
        return sym == 0xffe1 ? QStringLiteral("Left Shift") : QStringLiteral("Right Shift");
    const QString name = QKeySequence(key->key()).toString(QKeySequence::NativeText);
    return name.isEmpty() ? QStringLiteral("key %1").arg(sym) : name;
}

} // namespace

TSendingPractice::TSendingPractice(const kalvo::MorseCodeTable& table, OutputMaker makeOutput, ToneSource tone,
                                   TargetMaker group, TargetMaker practiceLine, QWidget* parent)
    : QWidget(parent, Qt::Window), Table(table), MakeOutput(std::move(makeOutput)), Tone(std::move(tone)),
      Group(std::move(group)), PracticeLine(std::move(practiceLine))
{
    SetUpToolWindow(this, QStringLiteral("SendingPractice"), QStringLiteral("Sending Practice"), QSize(640, 680));
    std::copy(std::begin(DefaultBindings), std::end(DefaultBindings), Bindings);

    KeyPad = new QFrame(this);
    KeyPad->setObjectName(QStringLiteral("KeyPad"));
    KeyPad->setFrameShape(QFrame::StyledPanel);
    KeyPad->setFocusPolicy(Qt::StrongFocus);
    KeyPad->setMinimumHeight(48);
    KeyPad->setAccessibleName(QStringLiteral("Keying area"));
    KeyPad->setAccessibleDescription(QStringLiteral("Key here with the keys below while this area has the focus"));
    auto* padLabel = new QLabel(QStringLiteral("Key here while this area has the focus."), KeyPad);
    (new QVBoxLayout(KeyPad))->addWidget(padLabel, 0, Qt::AlignCenter);
    KeyPad->installEventFilter(this);

    ModeBox = new QComboBox(this);
    ModeBox->setObjectName(QStringLiteral("ModeBox"));
    ModeBox->addItems({QStringLiteral("Straight key"), QStringLiteral("Iambic A"), QStringLiteral("Iambic B")});
    SpeedBox = new QSpinBox(this);
    SpeedBox->setObjectName(QStringLiteral("SpeedBox"));
    SpeedBox->setRange(5, 50);
    SpeedBox->setValue(20);
    SpeedBox->setSuffix(QStringLiteral(" wpm"));
    SpeedBox->setToolTip(QStringLiteral("The keyer's speed; the reader starts from it"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Keying:"), ModeBox);
    form->addRow(QStringLiteral("&Speed:"), SpeedBox);
    auto* keys = new QHBoxLayout;
    for (int k = 0; k < 3; ++k) {
        KeyButtons[k] = new QPushButton(this);
        KeyButtons[k]->setObjectName(QString::fromLatin1(KeyNames[k]).remove(u' ') + QStringLiteral("Button"));
        KeyButtons[k]->setToolTip(QStringLiteral("Press, then press the key to use"));
        keys->addWidget(KeyButtons[k]);
        connect(KeyButtons[k], &QPushButton::clicked, this, [this, k] {
            Assigning = k;
            KeyButtons[k]->setText(QStringLiteral("%1: press a key\u2026").arg(QString::fromLatin1(KeyNames[k])));
            KeyButtons[k]->installEventFilter(this);
        });
        ShowBinding(k);
    }
    form->addRow(QStringLiteral("Keys:"), keys);
    MidiBox = new QComboBox(this);
    MidiBox->setObjectName(QStringLiteral("MidiBox"));
    MidiBox->setToolTip(QStringLiteral("A MIDI key adapter: note 0 straight key, 1 dot paddle, 2 dash paddle"));
    MidiLabel = new QLabel(this);
    MidiLabel->setObjectName(QStringLiteral("MidiLabel"));
    MidiLabel->setWordWrap(true);
    auto* midi = new QVBoxLayout;
    midi->addWidget(MidiBox);
    midi->addWidget(MidiLabel);
    auto* midiCaption = new QLabel(QStringLiteral("&MIDI key:"), this);
    midiCaption->setBuddy(MidiBox);
    form->addRow(midiCaption, midi);
    AnnounceCheck = new QCheckBox(QStringLiteral("&Announce characters"), this);
    AnnounceCheck->setObjectName(QStringLiteral("AnnounceCheck"));
    AnnounceCheck->setToolTip(QStringLiteral("A screen reader speaks each character as it is read"));
    form->addRow(AnnounceCheck);

    DecodedBox = new QPlainTextEdit(this);
    DecodedBox->setObjectName(QStringLiteral("DecodedBox"));
    DecodedBox->setReadOnly(true);
    DecodedBox->setAccessibleName(QStringLiteral("Decoded text"));
    DecodedBox->setMaximumHeight(80);

    TargetEdit = new QLineEdit(this);
    TargetEdit->setObjectName(QStringLiteral("TargetEdit"));
    TargetEdit->setAccessibleName(QStringLiteral("Target text"));
    TargetEdit->setToolTip(QStringLiteral("What you mean to send; empty to key freely"));
    GroupButton = new QPushButton(QStringLiteral("Random &Group"), this);
    GroupButton->setObjectName(QStringLiteral("GroupButton"));
    GroupButton->setToolTip(QStringLiteral("A target of five characters from the trainer's characters in use"));
    LineButton = new QPushButton(QStringLiteral("Practice &Line"), this);
    LineButton->setObjectName(QStringLiteral("LineButton"));
    LineButton->setToolTip(QStringLiteral("The practice text whose number the main window shows"));
    auto* target = new QHBoxLayout;
    target->addWidget(TargetEdit, 1);
    target->addWidget(GroupButton);
    target->addWidget(LineButton);
    form->addRow(QStringLiteral("Target:"), target);

    ReportButton = new QPushButton(QStringLiteral("&Report"), this);
    ReportButton->setObjectName(QStringLiteral("ReportButton"));
    SaveButton = new QPushButton(QStringLiteral("Save to &Progress Log"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setEnabled(false);
    ClearButton = new QPushButton(QStringLiteral("&Clear"), this);
    ClearButton->setObjectName(QStringLiteral("ClearButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ReportButton);
    buttons->addWidget(SaveButton);
    buttons->addWidget(ClearButton);
    buttons->addStretch();

    ReportBox = new QPlainTextEdit(this);
    ReportBox->setObjectName(QStringLiteral("ReportBox"));
    ReportBox->setReadOnly(true);
    ReportBox->setAccessibleName(QStringLiteral("Report"));
    // The alignment's columns line up in a font of fixed width.
    ReportBox->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Keyed lengths in dots"));
    MarkSeries = new QScatterSeries;
    MarkSeries->setName(QStringLiteral("Elements"));
    MarkSeries->setMarkerSize(7);
    GapSeries = new QScatterSeries;
    GapSeries->setName(QStringLiteral("Gaps"));
    GapSeries->setMarkerSize(7);
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("Element"));
    x->setLabelFormat(QStringLiteral("%d"));
    auto* y = new QValueAxis;
    y->setRange(0, 9);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (double ideal : {1.0, 3.0, 7.0}) {
        auto* line = new QLineSeries;
        line->setName(ideal == 1.0 ? QStringLiteral("1 dot") : QStringLiteral("%1 dots").arg(ideal));
        line->append(0, ideal);
        line->append(1, ideal);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    for (QScatterSeries* series : {MarkSeries, GapSeries}) {
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    ReportChart = new QChartView(chart, this);
    ReportChart->setObjectName(QStringLiteral("ReportChart"));
    ReportChart->setAccessibleName(chart->title());
    ReportChart->setFocusPolicy(Qt::TabFocus);
    ReportChart->setMinimumHeight(200);

    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setWordWrap(true);
    InstallStatusNoticeAccessible();
    Notice = new StatusNotice(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(KeyPad);
    layout->addLayout(form);
    auto* decodedLabel = new QLabel(QStringLiteral("&Decoded text:"), this);
    decodedLabel->setBuddy(DecodedBox);
    layout->addWidget(decodedLabel);
    layout->addWidget(DecodedBox);
    layout->addLayout(buttons);
    layout->addWidget(ReportBox, 1);
    layout->addWidget(ReportChart, 2);
    layout->addWidget(StatusLabel);

    const auto guarded = [](auto handler) { return [handler] { ErrorBox::Guard(handler); }; };
    connect(ModeBox, &QComboBox::currentIndexChanged, this, [this] { ApplySettings(); });
    connect(MidiBox, &QComboBox::activated, this, [this](int index) { ErrorBox::Guard([&] { ChooseMidi(index); }); });
    connect(SpeedBox, &QSpinBox::valueChanged, this, [this] { ApplySettings(); });
    connect(GroupButton, &QPushButton::clicked, this,
            guarded([this] { TargetEdit->setText(ansi::FromAnsi(Group ? Group() : std::string())); }));
    connect(LineButton, &QPushButton::clicked, this,
            guarded([this] { TargetEdit->setText(ansi::FromAnsi(PracticeLine ? PracticeLine() : std::string())); }));
    connect(ReportButton, &QPushButton::clicked, this, guarded([this] { ShowReport(); }));
    connect(SaveButton, &QPushButton::clicked, this, guarded([this] { SaveToProgressLog(); }));
    connect(ClearButton, &QPushButton::clicked, this, guarded([this] { Clear(); }));

    Poll = new QTimer(this);
    Poll->setInterval(PollMs);
    connect(Poll, &QTimer::timeout, this, [this] { ReadKeying(); });
    Clear();
    ApplySettings();
}

void TSendingPractice::ListMidi()
{
    Midi.reset();
    MidiBox->clear();
    MidiBox->addItem(QStringLiteral("None"));
    try {
        MidiPorts = kalvo::MidiKeys::Inputs();
    } catch (const kalvo::EMidi& error) {
        MidiPorts.clear();
        MidiBox->setEnabled(false);
        MidiLabel->setText(ansi::FromAnsi(error.what()));
        return;
    }
    for (const kalvo::MidiPort& port : MidiPorts)
        MidiBox->addItem(ansi::FromAnsi(port.Name));
    MidiBox->setEnabled(!MidiPorts.empty());
    MidiLabel->setText(MidiPorts.empty() ? QStringLiteral("No MIDI inputs: plug in a MIDI key adapter, then open "
                                                          "this window again.")
                                         : QString());
}

void TSendingPractice::ChooseMidi(int index)
{
    Midi.reset();
    Voice.ReleaseAll();
    if (index < 1 || index > static_cast<int>(MidiPorts.size()))
        return;
    const auto onKey = [this](kalvo::MidiKeyEvent key) {
        Voice.SetKey(static_cast<kalvo::SidetoneVoice::Key>(key.Key), key.Down);
        if (key.Down) {
            if (Output)
                Output->Wake();
            QMetaObject::invokeMethod(Poll, qOverload<>(&QTimer::start), Qt::QueuedConnection);
        }
    };
    const auto onGone = [this] {
        Voice.ReleaseAll();
        QMetaObject::invokeMethod(
            this,
            [this] {
                Midi.reset();
                MidiBox->setCurrentIndex(0);
                Say(QStringLiteral("The MIDI key was unplugged; its keys were let go."));
            },
            Qt::QueuedConnection);
    };
    Midi = std::make_unique<kalvo::MidiKeys>(MidiPorts[static_cast<std::size_t>(index - 1)], onKey, onGone);
}

TSendingPractice::~TSendingPractice()
{
    if (Output)
        Output->Stop();
}

void TSendingPractice::ShowBinding(int k)
{
    KeyButtons[k]->setText(QStringLiteral("%1: %2").arg(QString::fromLatin1(KeyNames[k]), Bindings[k].Name));
}

void TSendingPractice::ApplySettings()
{
    kalvo::SidetoneVoice::Settings settings;
    settings.Mode = static_cast<kalvo::Keyer::Mode>(ModeBox->currentIndex());
    settings.Wpm = SpeedBox->value();
    ToneInUse = Tone ? Tone() : std::pair<double, double>(800, 5);
    settings.Frequency = ToneInUse.first;
    settings.RiseFallMs = ToneInUse.second;
    Voice.SetSettings(settings);
}

void TSendingPractice::Say(const QString& text)
{
    StatusLabel->setText(text);
    Notice->Announce(text);
}

void TSendingPractice::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ApplySettings();
    if (!Output && MakeOutput) {
        try {
            Output = MakeOutput();
            if (Output)
                Output->Start(SampleRate,
                              [this](std::int16_t* out, std::size_t frames) { return Voice.Render(out, frames); });
        } catch (const std::exception& error) {
            Output.reset();
            // The window stays usable: keying is still read, without a tone.
            ErrorBox::Show(ansi::FromAnsi(error.what()));
        }
    }
    ListMidi(); // the adapters plugged in now
    KeyPad->setFocus(Qt::OtherFocusReason);
}

void TSendingPractice::hideEvent(QHideEvent* event)
{
    Midi.reset();
    Voice.ReleaseAll();
    Poll->stop();
    if (Output) {
        Output->Stop();
        Output.reset();
    }
    QWidget::hideEvent(event);
}

bool TSendingPractice::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (Assigning >= 0 && watched == KeyButtons[Assigning] && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int k = std::exchange(Assigning, -1);
        KeyButtons[k]->removeEventFilter(this);
        if (key->key() != Qt::Key_Escape)
            Bindings[k] = {key->nativeVirtualKey(), key->key(), KeyName(key)};
        ShowBinding(k);
        Say(QStringLiteral("%1: %2.").arg(QString::fromLatin1(KeyNames[k]), Bindings[k].Name));
        return true;
    }
    if (watched == KeyPad && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat())
            return true;
        for (int k = 0; k < 3; ++k) {
            const Binding& b = Bindings[k];
            const bool same = b.Keysym != 0 && key->nativeVirtualKey() != 0 ? b.Keysym == key->nativeVirtualKey()
                                                                            : b.QtKey == key->key();
            if (same) {
                Voice.SetKey(static_cast<kalvo::SidetoneVoice::Key>(k), type == QEvent::KeyPress);
                if (type == QEvent::KeyPress) {
                    if (Output)
                        Output->Wake();
                    Poll->start();
                }
                return true;
            }
        }
    }
    if (watched == KeyPad && type == QEvent::FocusOut)
        Voice.ReleaseAll();
    return QWidget::eventFilter(watched, event);
}

void TSendingPractice::ReadKeying()
{
    if (Tone && Tone() != ToneInUse)
        ApplySettings();
    std::string text;
    const double rate = SampleRate;
    for (const kalvo::SidetoneVoice::Edge& edge : Voice.TakeEdges()) {
        if (FirstSample < 0)
            FirstSample = static_cast<double>(edge.Sample);
        LastSample = static_cast<double>(edge.Sample);
        if (edge.On) {
            if (OffAt)
                text += Decoder->Gap((edge.Sample - *OffAt) / rate);
            OnAt = edge.Sample;
            OffAt.reset();
        } else if (OnAt) {
            Decoder->Mark((edge.Sample - *OnAt) / rate);
            OffAt = edge.Sample;
            OnAt.reset();
            // The silence is timed on the steady clock: a paused stream's own
            // clock stands still.
            OffSince = std::chrono::steady_clock::now()
                - std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                           std::chrono::duration<double>((Voice.Rendered() - edge.Sample) / rate));
        }
    }
    if (OffAt) {
        const double silence = std::chrono::duration<double>(std::chrono::steady_clock::now() - OffSince).count();
        text += Decoder->Silence(silence);
        // Past a word's gap nothing more can come of it: the next key press
        // starts the looks again.
        if (silence > 8 * Decoder->DotSeconds())
            Poll->stop();
    }
    if (text.empty())
        return;
    Decoded += text;
    DecodedBox->setPlainText(ansi::FromAnsi(Decoded));
    DecodedBox->moveCursor(QTextCursor::End);
    if (AnnounceCheck->isChecked())
        Notice->Announce(ansi::FromAnsi(text));
}

void TSendingPractice::Clear()
{
    Voice.TakeEdges();
    Decoder = std::make_unique<kalvo::FistDecoder>(Table, SpeedBox->value());
    OnAt.reset();
    OffAt.reset();
    Decoded.clear();
    FirstSample = -1;
    LastSample = 0;
    DecodedBox->clear();
    ReportBox->clear();
    MarkSeries->clear();
    GapSeries->clear();
    SaveButton->setEnabled(false);
}

void TSendingPractice::ShowReport()
{
    ReadKeying();
    const std::string sent = Decoded + Decoder->Flush();
    Decoded = sent;
    DecodedBox->setPlainText(ansi::FromAnsi(Decoded));
    const std::string target = ansi::ToAnsi(TargetEdit->text());
    const kalvo::SendingReport report = kalvo::MakeSendingReport(
        Decoder->Elements(), sent, target.empty() ? std::nullopt : std::optional<std::string>(target));
    QStringList lines;
    for (const std::string& line : kalvo::DescribeSendingReport(report))
        lines << ansi::FromAnsi(line);
    QStringList aligned;
    for (const std::string& line : kalvo::AlignmentLines(report))
        aligned << ansi::FromAnsi(line);
    ReportBox->setPlainText((aligned.isEmpty() ? QString() : aligned.join(u'\n') + u'\n') + lines.join(u'\n'));

    MarkSeries->clear();
    GapSeries->clear();
    int index = 0;
    for (const kalvo::KeyedElement& e : Decoder->Elements()) {
        if (report.DotSeconds <= 0)
            break;
        ++index;
        MarkSeries->append(index, e.Mark / report.DotSeconds);
        if (e.Ends != kalvo::KeyedElement::GapKind::None)
            GapSeries->append(index + 0.5, e.Gap / report.DotSeconds);
    }
    auto* axis = static_cast<QValueAxis*>(ReportChart->chart()->axes(Qt::Horizontal).front());
    axis->setRange(0, std::max(1, index + 1));
    for (QAbstractSeries* series : ReportChart->chart()->series()) {
        if (auto* line = qobject_cast<QLineSeries*>(series); line && !qobject_cast<QScatterSeries*>(series))
            line->replace({QPointF(0, line->at(0).y()), QPointF(index + 1, line->at(0).y())});
    }
    // A reader that cannot see the chart gets its figures in words.
    ReportChart->setAccessibleDescription(lines.mid(0, 4).join(u' '));
    LastReport = report;
    SaveButton->setEnabled(report.SentCharacters > 0);
    Say(lines.join(u' '));
}

void TSendingPractice::SaveToProgressLog()
{
    if (!LastReport)
        return;
    const double seconds = FirstSample < 0 ? 0 : (LastSample - FirstSample) / SampleRate;
    kalvo::AppendSendingEntry(kalvo::MakeSendingEntry(LastReport->Wpm, LastReport->AccuracyPercent(),
                                                      LastReport->SentCharacters, seconds,
                                                      std::chrono::system_clock::now()));
    Say(QStringLiteral("The sending was added to %1.").arg(QString::fromLatin1(kalvo::ProgressLogFileName)));
}
