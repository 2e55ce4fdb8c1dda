#include "app/Unit2.h"

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

QString DecodeNotes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window)
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
    const QString text = DecodeNotes(*notes);
    FitWrapMode(Memo1, text, true);
    Memo1->setPlainText(text);
    return true;
}

void TForm2::Button1Click()
{
    kalvo::SaveNotes(Memo1->toPlainText().toLatin1().toStdString());
}

void TForm2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QSize size = event->size();
    Memo1->setGeometry(MemoLeft, MemoTop,
                       std::max(0, size.width() - MemoLeft - MemoRightMargin),
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
