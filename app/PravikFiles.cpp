// TForm1: practice texts, random characters, the settings file, the
// notepad, the help page and the about box.
#include "app/Pravik.h"

#include "app/AnsiText.h"
#include "app/ErrorBox.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "common/Convert.h"
#include "common/TextFile.h"
#include "texts/EnvironmentFile.h"
#include "texts/HelpAddress.h"
#include "texts/PracticeLibrary.h"
#include "texts/RandomString.h"
#include "trainer/LearningOrder.h"

#include <QDir>
#include <QFileInfo>

#include <optional>
#include <string>
#include <vector>

using namespace kalvo;

using ansi::FromAnsi;
using ansi::ToAnsi;

void TForm1::LoadFileClick()
{
    SetStatusText(QStringLiteral("Choose a test (ASCII) file to load"));
    UsingEdit->hide();
    HideQuickstart();
    Label10->hide();
    FoldHistogram();
    const std::optional<QString> chosen = ChooseFile();
    if (chosen) {
        SetMemo1Text(ReadTextFile(QFile::encodeName(*chosen).toStdString(), ToAnsi(*chosen)));
        Kalvobutton->setEnabled(false);
    }
    Sender.SendPos = 1;
    Sender.SentText.clear();
    SetStatusText(QStringLiteral("Press <Send Text> to start sending"));
}

void TForm1::SetLineBuffer(const std::vector<std::string>& lines)
{
    QStringList text;
    for (const std::string& line : lines)
        text << FromAnsi(line);
    Memo3->setPlainText(text.join(u'\n'));
}

void TForm1::Button1Click()
{
    const std::string text = ToAnsi(Edit1->text());
    if (PracticeLibrary::IsAccessCode(text)) {
        Timing.EnterFastMode();
        SetSpeed();
        return;
    }
    HideQuickstart();
    Label10->hide();
    FoldHistogram();
    Memo1->clear();
    const PracticeLibrary::Result result = PracticeLibrary::Fetch(StrToInt(text));
    if (result.Loaded) {
        SetLineBuffer(result.FileLines);
        AppendMemo1(result.Text + "\r\n");
    }
    if (result.Advance)
        Edit1->setText(QString::number(result.Next));
}

void TForm1::RandChars1Click()
{
    Button3->show();
    Memo2->hide();
    Edit3->show();
    Label15->show();
    CheckBox2->setChecked(false);
    Memo1->clear();
    std::string instructions;
    for (const char* line : RandomCharsInstructions)
        instructions += std::string(line) + "\r\n";
    SetMemo1Text(instructions);
}

void TForm1::Button3Click()
{
    Button3->show();
    Label15->show();
    Edit3->show();
    RandomCharSet = ToAnsi(Edit3->text());
    if (RandomCharSet.empty())
        return;
    Memo1->clear();
    SetMemo1Text(GenerateRandomString(RandomCharSet, Random));
    Button3->hide();
    Label15->hide();
    Edit3->hide();
}

void TForm1::SaveEnv1Click()
{
    EnvironmentSettings settings;
    settings.PracticeNumber = ToAnsi(Edit1->text());
    settings.OverallSpeedPosition = CspeedScrollbar->value();
    settings.CharSpeedPosition = SpeedScrollBar->value();
    settings.FrequencyPosition = Freqscrollbar->value();
    settings.CharactersInUse = ToAnsi(UsingEdit->text());
    if (Train.Order != Trainer::DefaultLessonOrder)
        settings.LearningOrder = Train.Order;
    if (Band != BandSettings{})
        settings.BandConditions = Band.ToLine();
    SetLineBuffer(EnvironmentLines(settings));
    SaveEnvironment(settings);
}

void TForm1::LoadEnv1Click()
{
    // Each slider moves only when its position really changes, and only then
    // does its change handler rewrite its box and recompute the timing.
    EnvironmentTarget target;
    target.LineBuffer = [this](const std::vector<std::string>& lines) { SetLineBuffer(lines); };
    target.PracticeNumber = [this](const std::string& text) { Edit1->setText(FromAnsi(text)); };
    target.OverallSpeed = [this](int position) { MoveSlider(CspeedScrollbar, position); };
    target.CharSpeed = [this](int position) { MoveSlider(SpeedScrollBar, position); };
    target.Frequency = [this](int position) { MoveSlider(Freqscrollbar, position); };
    target.CharactersInUse = [this](const std::string& text) {
        StartNumEdit->setText(FromAnsi(text));
        UsingEdit->setText(FromAnsi(text));
    };
    target.LearningOrder = [this](const std::string& line) {
        // Written by the program in lower case; a line typed in by hand may
        // have capitals or spaces.
        std::string order = Trainer::DefaultLessonOrder;
        if (!line.empty()) {
            try {
                order = ParseCustomSet(line);
            } catch (const ELearningOrder&) {
                throw ELearningOrder("'" + line + "' is not a valid learning order.");
            }
        }
        SetLearningOrder(order);
    };
    target.BandConditions = [this](const std::string& line) {
        SetBand(line.empty() ? BandSettings{} : BandSettings::FromLine(line));
    };
    LoadEnvironment(target);
}

void TForm1::Notepad1Click()
{
    if (!Form2)
        return;
    Form2->show();
    Form2->raise();
    Form2->activateWindow();
    if (Form2->LoadNotes())
        Form2->move(frameGeometry().left() - 50, frameGeometry().top() + 75);
}

void TForm1::HelpFile1Click()
{
    // Without the page a browser would show an error page of its own, and with
    // no browser nothing would show at all.
    const QString page = QDir::current().absoluteFilePath(QString::fromLatin1(HelpFileName));
    if (!QFileInfo(page).isFile()) {
        ErrorBox::Show(QStringLiteral("Cannot open file %1").arg(page));
        return;
    }
    OpenAddress(QString::fromLatin1(HelpFileAddress(QDir::currentPath().toStdString())));
}

void TForm1::About1Click()
{
    if (!AboutBox)
        return;
    AboutBox->show();
    AboutBox->raise();
    AboutBox->activateWindow();
}
