#include "app/Unit2.h"

#include "app/AnsiText.h"
#include "app/ErrorBox.h"
#include "app/ProgramFont.h"
#include "app/TextBoxWrap.h"
#include "texts/NotesFile.h"

#include <QFont>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>

namespace {

// The notes box keeps these distances to the window's edges.
constexpr int MemoLeft = 8;
constexpr int MemoTop = 48;
constexpr int MemoWidth = 298;
constexpr int MemoHeight = 249;
constexpr int MemoRightMargin = TForm2::LayoutWidth - (MemoLeft + MemoWidth);
constexpr int MemoBottomMargin = TForm2::LayoutHeight - (MemoTop + MemoHeight);

} // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("Form2");
    setWindowTitle("Note Pad:  Enter and edit notes here.");
    setToolTip("NotePad form:  Re-size as necessary.");
    resize(LayoutWidth, LayoutHeight);
    // The notepad must not keep the program running once the main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(MemoLeft, MemoTop, MemoWidth, MemoHeight);
    QFont font = ProgramFont(10);
    Memo1->setFont(font);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setToolTip("Write your notes about progress in here.");
    Memo1->setAccessibleName("Notes");
    // Tab moves on to the button, as in every box of the program.
    Memo1->setTabChangesFocus(true);

    Button1 = new QPushButton("Save Notepad", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(24, 8, 89, 25);
    Button1->setToolTip("Click to save your notes.");
    connect(Button1, &QPushButton::clicked, this, [this] { ErrorBox::Guard([this] { Button1Click(); }); });
}

bool TForm2::LoadNotes()
{
    const std::optional<std::string> notes = kalvo::LoadNotes();
    if (!notes)
        return false;
    const QString text = ansi::FromAnsi(*notes);
    FitWrapMode(Memo1, text, true);
    Memo1->setPlainText(text);
    return true;
}

void TForm2::Button1Click()
{
    // The file holds 8-bit text: a note it cannot hold is refused whole rather
    // than saved with the character replaced, and the notes stay in the box.
    const QString notes = Memo1->toPlainText();
    if (const std::optional<ansi::Unencodable> bad = ansi::FirstUnencodable(notes)) {
        ErrorBox::Show(QStringLiteral("%1 was not saved: the character \"%2\" (U+%3) in line %4 has no "
                                      "8-bit code. Replace it and save again")
                           .arg(QString::fromLatin1(kalvo::NotesFileName))
                           .arg(QString::fromUcs4(&bad->CodePoint, 1))
                           .arg(QString::number(uint(bad->CodePoint), 16).toUpper().rightJustified(4, QLatin1Char('0')))
                           .arg(bad->Line));
        return;
    }
    kalvo::SaveNotes(ansi::ToAnsi(notes));
}

void TForm2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QSize size = event->size();
    Memo1->setGeometry(MemoLeft, MemoTop, std::max(0, size.width() - MemoLeft - MemoRightMargin),
                       std::max(0, size.height() - MemoTop - MemoBottomMargin));
}

void TForm2::setVisible(bool visible)
{
    if (visible && !shownBefore_) {
        shownBefore_ = true;
        // A window the main window has already placed keeps its place.
        if (!testAttribute(Qt::WA_Moved)) {
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect frame(QPoint(0, 0), size());
                frame.moveCenter(screen->availableGeometry().center());
                move(frame.topLeft());
            }
        }
    }
    QWidget::setVisible(visible);
}
