#include "app/CallDrillWindow.h"

#include "app/AnsiText.h"
#include "app/ErrorBox.h"
#include "app/StatusNotice.h"
#include "app/ToolWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <vector>

using kalvo::DrillRun;

TCallDrills::TCallDrills(Hooks hooks, kalvo::RandomGenerator& random, QWidget* parent)
    : QWidget(parent, Qt::Window), FHooks(std::move(hooks)), Random(random)
{
    SetUpToolWindow(this, QStringLiteral("CallDrills"), QStringLiteral("Call and Word Drills"), QSize(560, 620));
    KindBox = new QComboBox(this);
    KindBox->setObjectName(QStringLiteral("KindBox"));
    KindBox->addItems({QStringLiteral("Callsigns"), QStringLiteral("Words"), QStringLiteral("A list loaded")});
    KindBox->view()->setAccessibleName(QStringLiteral("Drill"));
    LoadButton = new QPushButton(QStringLiteral("&Load List\u2026"), this);
    LoadButton->setObjectName(QStringLiteral("LoadButton"));
    LoadButton->setToolTip(QStringLiteral("A text file of items, one a line (a list of calls works as it is)"));
    LengthBox = new QComboBox(this);
    LengthBox->setObjectName(QStringLiteral("LengthBox"));
    LengthBox->addItems({QStringLiteral("25"), QStringLiteral("50")});
    LengthBox->view()->setAccessibleName(QStringLiteral("Items"));
    SpeedBox = new QSpinBox(this);
    SpeedBox->setObjectName(QStringLiteral("SpeedBox"));
    SpeedBox->setRange(DrillRun::MinWpm, CeilingWpm);
    SpeedBox->setValue(20);
    SpeedBox->setSuffix(QStringLiteral(" wpm"));
    StartButton = new QPushButton(QStringLiteral("S&tart"), this);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    AnswerEdit = new QLineEdit(this);
    AnswerEdit->setObjectName(QStringLiteral("AnswerEdit"));
    AnswerEdit->setMaxLength(int(kalvo::MaxItemLength));
    AnswerEdit->setEnabled(false);
    RepeatButton = new QPushButton(QStringLiteral("&Repeat"), this);
    RepeatButton->setObjectName(QStringLiteral("RepeatButton"));
    RepeatButton->setToolTip(QStringLiteral("Send the item once more; it then scores half (Alt+R)"));
    RepeatButton->setEnabled(false);
    StatusLabel = new QLabel(QStringLiteral("Choose a drill and press Start."), this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    ResultTable = NewCharacterTable(
        this, QStringLiteral("Items of the run"),
        {QStringLiteral("Sent"), QStringLiteral("Typed"), QStringLiteral("Marks"), QStringLiteral("Speed")});
    ResultTable->setObjectName(QStringLiteral("ResultTable"));
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    SummaryLabel->setAccessibleName(QStringLiteral("Result of the run"));
    SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    SaveButton = new QPushButton(QStringLiteral("Sa&ve to Progress Log"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setEnabled(false);
    ProgressButton = new QPushButton(QStringLiteral("Show &Progress"), this);
    ProgressButton->setObjectName(QStringLiteral("ProgressButton"));
    ExportButton = new QPushButton(QStringLiteral("Save as Audio &File\u2026"), this);
    ExportButton->setObjectName(QStringLiteral("ExportButton"));
    ExportButton->setToolTip(QStringLiteral("A new drill of this kind, with spoken answers, into a sound file"));

    auto* form = new QFormLayout;
    auto row = [&](const QString& caption, QWidget* field, QWidget* beside = nullptr) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        if (!beside) {
            form->addRow(label, field);
            return;
        }
        auto* line = new QHBoxLayout;
        line->addWidget(field, 1);
        line->addWidget(beside);
        form->addRow(label, line);
    };
    row(QStringLiteral("&Drill:"), KindBox, LoadButton);
    row(QStringLiteral("&Items:"), LengthBox);
    row(QStringLiteral("Start &speed:"), SpeedBox, StartButton);
    row(QStringLiteral("&Answer:"), AnswerEdit, RepeatButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(StatusLabel);
    layout->addWidget(ResultTable, 1);
    layout->addWidget(SummaryLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaveButton);
    buttons->addWidget(ProgressButton);
    buttons->addWidget(ExportButton);
    buttons->addStretch();
    layout->addLayout(buttons);

    InstallStatusNoticeAccessible();
    Notice = new StatusNotice(this);
    connect(StartButton, &QPushButton::clicked, this, &TCallDrills::StartRun);
    connect(LoadButton, &QPushButton::clicked, this, &TCallDrills::LoadList);
    connect(AnswerEdit, &QLineEdit::returnPressed, this, &TCallDrills::Answer);
    connect(RepeatButton, &QPushButton::clicked, this, &TCallDrills::RepeatItem);
    connect(SaveButton, &QPushButton::clicked, this, [this] {
        if (!FRun || !FRun->Done() || !FHooks.Save)
            return;
        kalvo::DrillEntry entry;
        entry.When = kalvo::IsoUtc(std::chrono::system_clock::now());
        entry.Kind = KindName().toStdString();
        entry.Items = int(FRun->Items.size());
        entry.Score = FRun->Score();
        entry.StartWpm = FRun->Results.front().Wpm;
        entry.EndWpm = FRun->Wpm();
        entry.TopWpm = FRun->TopWpm();
        entry.Missed = FRun->Missed;
        try {
            FHooks.Save(entry);
        } catch (const std::exception& error) {
            ErrorBox::Show(error); // the log as it was, and the run kept
            return;
        }
        SaveButton->setEnabled(false);
        Say(QStringLiteral("The run was added to %1.").arg(QString::fromLatin1(kalvo::ProgressLogFileName)));
    });
    connect(ExportButton, &QPushButton::clicked, this, [this] {
        if (KindBox->currentIndex() == 2 && List.empty()) {
            Say(QStringLiteral("Load a list first."));
            return;
        }
        if (FHooks.Export)
            FHooks.Export(NewItems(), SpeedBox->value());
    });
    connect(ProgressButton, &QPushButton::clicked, this, [this] {
        if (FHooks.ShowProgress)
            FHooks.ShowProgress();
    });
}

void TCallDrills::SetRunning(bool running)
{
    for (QWidget* w : std::initializer_list<QWidget*>{StartButton, KindBox, LengthBox, SpeedBox, LoadButton})
        w->setEnabled(!running);
    AnswerEdit->setEnabled(running);
    RepeatButton->setEnabled(running);
}

QString TCallDrills::KindName() const
{
    static const char* const names[] = {"calls", "words", "list"};
    return QString::fromLatin1(names[std::clamp(KindBox->currentIndex(), 0, 2)]);
}

void TCallDrills::Say(const QString& text)
{
    StatusLabel->setText(text);
    Notice->Announce(text);
}

void TCallDrills::LoadList()
{
    const std::optional<std::string> bytes = FHooks.ChooseListFile ? FHooks.ChooseListFile() : std::nullopt;
    if (!bytes)
        return;
    try {
        const kalvo::DrillList list = kalvo::ParseDrillList(*bytes, FHooks.Codable);
        List = list.Items;
        KindBox->setCurrentIndex(2);
        Say(QStringLiteral("%1 items loaded. %2").arg(List.size()).arg(ansi::FromAnsi(list.Message)).trimmed());
    } catch (const kalvo::EDrillList& error) {
        Say(ansi::FromAnsi(error.what()));
    }
}

std::vector<std::string> TCallDrills::NewItems()
{
    // A new draw each time, as the trainer's and the random strings' are.
    Random.Randomize();
    const int kind = KindBox->currentIndex();
    const std::size_t count = LengthBox->currentIndex() == 1 ? 50 : 25;
    const auto pick = [this](std::size_t n) { return std::min(n - 1, std::size_t(Random.Random() * double(n))); };
    std::vector<std::string> items;
    for (std::size_t i = 0; i < count; ++i) {
        if (kind == 0)
            items.push_back(kalvo::MakeCall(Random));
        else if (kind == 1)
            items.push_back(kalvo::DrillWords()[pick(kalvo::DrillWords().size())]);
        else
            items.push_back(List[pick(List.size())]);
    }
    return items;
}

void TCallDrills::StartRun()
{
    if (FRun && !FRun->Done())
        return;
    if (const auto busy = FHooks.Busy ? FHooks.Busy() : std::nullopt) {
        Say(ansi::FromAnsi(*busy));
        return;
    }
    const int kind = KindBox->currentIndex();
    if (kind == 2 && List.empty()) {
        Say(QStringLiteral("Load a list first."));
        return;
    }
    std::vector<std::string> items = NewItems();
    FRun = std::make_unique<DrillRun>(std::move(items), SpeedBox->value(), CeilingWpm);
    ResultTable->setRowCount(0);
    SummaryLabel->clear();
    SaveButton->setEnabled(false);
    SetRunning(true);
    AnswerEdit->clear();
    AnswerEdit->setFocus(Qt::OtherFocusReason);
    if (FHooks.Started)
        FHooks.Started();
    SendCurrent();
}

void TCallDrills::SendCurrent()
{
    if (Sending) {
        SendAgain = true; // after the item being written
        return;
    }
    Sending = true;
    do {
        SendAgain = false;
        if (!FRun || FRun->Done())
            break;
        StatusLabel->setText(QStringLiteral("Item %1 of %2 at %3 wpm")
                                 .arg(FRun->Results.size() + 1)
                                 .arg(FRun->Items.size())
                                 .arg(FRun->Wpm()));
        if (FHooks.Send)
            FHooks.Send(FRun->Current(), FRun->Wpm());
    } while (SendAgain);
    Sending = false;
}

void TCallDrills::RepeatItem()
{
    if (!FRun || FRun->Done())
        return;
    if (!FRun->Repeat()) {
        Say(QStringLiteral("One repeat an item."));
        return;
    }
    AnswerEdit->setFocus(Qt::OtherFocusReason);
    SendCurrent();
}

void TCallDrills::Answer()
{
    if (!FRun || FRun->Done())
        return;
    const DrillRun::Result& r = FRun->Answer(ansi::ToAnsi(AnswerEdit->text()));
    AnswerEdit->clear();
    QString marks;
    for (std::size_t i = 0; i < r.Item.size(); ++i)
        marks += i < r.Typed.size() && r.Typed[i] == r.Item[i] ? QLatin1Char('.') : QLatin1Char('X');
    if (r.Typed.size() > r.Item.size())
        marks += QString(int(r.Typed.size() - r.Item.size()), QLatin1Char('+'));
    const int row = ResultTable->rowCount();
    ResultTable->insertRow(row);
    const QString cells[] = {ansi::FromAnsi(r.Item), ansi::FromAnsi(r.Typed), r.Right ? QStringLiteral("right") : marks,
                             QString::number(r.Wpm) + (r.Repeated ? QStringLiteral(" (repeated)") : QString())};
    for (int c = 0; c < 4; ++c)
        ResultTable->setItem(row, c, new QTableWidgetItem(cells[c]));
    ResultTable->scrollToBottom();
    if (FRun->Done()) {
        Finish();
        return;
    }
    Say(r.Right ? QStringLiteral("right, %1 wpm").arg(r.Wpm)
                : QStringLiteral("wrong: it was %1").arg(ansi::FromAnsi(r.Item)));
    SendCurrent();
}

void TCallDrills::Finish()
{
    SetRunning(false);
    std::vector<std::pair<char, int>> missed(FRun->Missed.begin(), FRun->Missed.end());
    std::stable_sort(missed.begin(), missed.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    QStringList most;
    for (std::size_t i = 0; i < missed.size() && i < 5; ++i)
        most << QStringLiteral("%1 %2").arg(SpokenCharacter(missed[i].first)).arg(missed[i].second);
    const int right = int(
        std::count_if(FRun->Results.begin(), FRun->Results.end(), [](const auto& r) { return r.Right; }));
    double& best = Best[KindName()];
    best = std::max(best, FRun->Score());
    const QString summary =
        QStringLiteral("Score %1: %2 of %3 right, from %4 to %5 wpm, at best %6 wpm. Most missed: %7. Best score of "
                       "this drill: %8.")
            .arg(FRun->Score())
            .arg(right)
            .arg(FRun->Results.size())
            .arg(FRun->Results.front().Wpm)
            .arg(FRun->Wpm())
            .arg(FRun->TopWpm())
            .arg(most.isEmpty() ? QStringLiteral("none") : most.join(QStringLiteral(", ")))
            .arg(best);
    SummaryLabel->setText(summary);
    Say(summary);
    SaveButton->setEnabled(true);
    StartButton->setFocus(Qt::OtherFocusReason);
    if (FHooks.Ended)
        FHooks.Ended();
}
