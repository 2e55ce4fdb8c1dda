#include "app/Unit1.h"

#include "app/ProgramFont.h"

#include <QFont>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName("AboutBox");
    setWindowTitle("About  this version of Kalvo");
    setModal(false);
    setFixedSize(ClientWidth, ClientHeight);
    QFont font = ProgramFont(8);
    setFont(font);
    // The about box must not keep the program running once the main window closes.
    setAttribute(Qt::WA_QuitOnClose, false);

    // An etched frame: lowered outside, raised inside.
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(8, 8, 281, 161);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(8, 8, 65, 70);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap(":/kalvo/kalvo-about.png"));
    ProgramIcon->setAccessibleName("Kalvo picture");

    ProductName = MakeLabel(Panel1, "ProductName", "Kalvo", 88, 16);
    QFont bold10 = font;
    bold10.setPointSize(10);
    bold10.setBold(true);
    ProductName->setFont(bold10);
    ProductName->adjustSize();

    Version = MakeLabel(Panel1, "Version", "Version 1.0  December 2026", 88, 40);
    Label1 = MakeLabel(Panel1, "Label1", "You may copy this program and pass it on", 8, 80);
    Label2 = MakeLabel(Panel1, "Label2", "freely, unchanged and free of charge.", 8, 96);
    Label3 = MakeLabel(Panel1, "Label3", "It comes with no warranty of any kind.", 8, 112);

    Comments = new QLabel("Kalvo developers:  kalvo@example.org", Panel1);
    Comments->setObjectName("Comments");
    QFont bold = font;
    bold.setBold(true);
    Comments->setFont(bold);
    Comments->setWordWrap(true);
    Comments->setGeometry(8, 136, 265, 20);

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(111, 180, 75, 25);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::OKButtonClick()
{
    hide();
}

void TAboutBox::setVisible(bool visible)
{
    if (visible && !shownBefore_) {
        shownBefore_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(0, 0), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::setVisible(visible);
}
