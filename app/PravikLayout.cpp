// TForm1: the controls at their places, the client height and the
// histogram panel folded and unfolded.
#include "app/Pravik.h"

#include "app/ErrorHistogram.h"
#include "app/ProgramFont.h"
#include "app/StatusNotice.h"

#include <QMenuBar>

using namespace kalvo;

namespace {

template <class W>
W* Place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                        int height, const char* hint)
{
    auto* button = Place(new QPushButton(QString::fromLatin1(caption), parent), name, left, top, width, height);
    if (hint)
        button->setToolTip(QString::fromLatin1(hint));
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    return Place(new QLineEdit(parent), name, left, top, width, height);
}

QScrollBar* MakeSlider(QWidget* parent, const char* name, int left, int top, int width, int height, int minimum,
                       int maximum, int position, const char* hint)
{
    auto* slider = Place(new QScrollBar(Qt::Horizontal, parent), name, left, top, width, height);
    slider->setRange(minimum, maximum);
    slider->setValue(position);
    slider->setPageStep(1);
    slider->setToolTip(QString::fromLatin1(hint));
    return slider;
}

} // namespace

void TForm1::BuildLayout()
{
    const QFont font = ProgramFont(8);
    setFont(font);

    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(Client);

    Panel1 = Place(new QFrame(Client), "Panel1", 0, 0, 633, 65);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    LoadFile = MakeButton(Panel1, "LoadFile", "Load any File", 8, 8, 73, 25, "Load a text file to send from disk");
    Button1 = MakeButton(Panel1, "Button1", "Load practice Text", 88, 8, 97, 25,
                         "Load a supplied practice text, numbered 1 - 950:  Enter number in box below.");
    CheckBox2 = Place(new QCheckBox(QStringLiteral("Show Quickscreen"), Panel1), "CheckBox2", 216, 8, 113, 17);
    CheckBox2->setChecked(true);
    CheckBox2->setToolTip(QStringLiteral("Clear to hide red instruction box"));
    CheckBox1 = Place(new QCheckBox(QStringLiteral("Show text"), Panel1), "CheckBox1", 216, 24, 97, 17);
    CheckBox1->setChecked(true);
    CheckBox1->setToolTip(QStringLiteral("Clear to hide text in window"));
    Sendbutton = MakeButton(Panel1, "Sendbutton", "Send Text", 328, 8, 65, 25,
                            "Send any text in the box, or the loaded practice text");
    Button2 = MakeButton(Panel1, "Button2", "Pause", 400, 8, 57, 25, "Pause and resume sending");
    AbortButton = MakeButton(Panel1, "AbortButton", "Abort/Show text", 464, 8, 89, 25,
                             "Stop sending text, show sent portion");
    Button4 = MakeButton(Panel1, "Button4", "Font", 560, 8, 41, 25, nullptr);
    Label11 = MakeLabel(Panel1, "Label11", "Practice Text Number (1 - 950)", 24, 48);
    Edit1 = MakeEdit(Panel1, "Edit1", 176, 40, 33, 21);
    Edit1->setText(QStringLiteral("1"));
    Edit1->setToolTip(QStringLiteral("Number of Practice Text to send: 1 - 950"));
    CheckBox3 = Place(new QCheckBox(QStringLiteral("SquareWave"), Panel1), "CheckBox3", 272, 48, 97, 17);
    SpinEdit3 = Place(new TSpinEdit(0, 3, 1, Panel1), "SpinEdit3", 368, 40, 33, 22);
    Label17 = MakeLabel(Panel1, "Label17", "Harmonics", 408, 48);
    Label16 = MakeLabel(Panel1, "Label16", "Rise/Fall time, msec", 528, 48);

    SpinEdit2 = Place(new TSpinEdit(1, 50, 5, Client), "SpinEdit2", 480, 40, 41, 22);
    SpinEdit2->setToolTip(QStringLiteral("Lower, makes elements \"clickier\":   higher, \"woolier\""));

    Label2 = MakeLabel(Client, "Label2", "3", 448, 72);
    Label9 = MakeLabel(Client, "Label9", "30", 600, 72);
    CspeedScrollbar = MakeSlider(Client, "CspeedScrollbar", 448, 88, 169, 17, 3, 30, 5, "Set the overall morse speed");
    Label1 = MakeLabel(Client, "Label1", "Code Speed", 488, 112);
    CSpeedEdit = MakeEdit(Client, "CSpeedEdit", 584, 112, 33, 21);
    Label3 = MakeLabel(Client, "Label3", "12", 456, 136);
    Label4 = MakeLabel(Client, "Label4", "35", 600, 136);
    SpeedScrollBar = MakeSlider(Client, "SpeedScrollBar", 448, 152, 169, 16, 12, 35, 14,
                                "Set the Farnsworth (character) speed");
    Label5 = MakeLabel(Client, "Label5", "Farnsworth Speed", 488, 176);
    SpeedEdit = MakeEdit(Client, "SpeedEdit", 584, 176, 33, 21);
    Label6 = MakeLabel(Client, "Label6", "500", 456, 201);
    Label7 = MakeLabel(Client, "Label7", "1000", 592, 200);
    Freqscrollbar = MakeSlider(Client, "Freqscrollbar", 448, 216, 169, 16, 500, 1000, 500,
                               "Set audio frequency for morse");
    Label8 = MakeLabel(Client, "Label8", "Audio Frequency", 472, 240);
    Freqedit = MakeEdit(Client, "Freqedit", 576, 240, 41, 21);

    Memo1 = Place(new QPlainTextEdit(Client), "Memo1", 32, 72, 401, 169);
    Memo1->setToolTip(QStringLiteral("Text to be sent appears here"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont = font;
    memoFont.setPointSize(10);
    Memo1->setFont(memoFont);
    // The quick-start box ends where the text box's scroll bar begins and is
    // wide enough for its longest line in the program's font, which would
    // otherwise wrap and push the last line out of sight.
    Memo2 = Place(new QPlainTextEdit(Client), "Memo2", 221, 144, 196, 89);
    Memo2->setToolTip(QStringLiteral("Get going in a hurry!"));
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setStyleSheet(QStringLiteral("color: red;"));
    Edit2 = MakeEdit(Client, "Edit2", 128, 224, 313, 21);
    QFont progressFont = font;
    progressFont.setPointSize(9);
    Edit2->setFont(progressFont);
    Label12 = MakeLabel(Client, "Label12", "Text as sent", 240, 296);
    Button3 = MakeButton(Client, "Button3", "Generate String", 168, 248, 89, 25,
                         "Click to generate a random string from the characters you've entered.");
    Button3->setStyleSheet(QStringLiteral("color: red;"));
    Edit3 = MakeEdit(Client, "Edit3", 264, 248, 73, 21);
    Label15 = MakeLabel(Client, "Label15", "Enter Characters", 392, 256);
    Memo3 = Place(new QPlainTextEdit(Client), "Memo3", 304, 272, 313, 81);
    Memo3->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo3->hide();
    SpinEdit1 = Place(new TSpinEdit(0, 10, 0, Client), "SpinEdit1", 128, 280, 41, 22);
    SpinEdit1->setToolTip(QStringLiteral("Set Farnsworth Compression"));
    Label14 = MakeLabel(Client, "Label14", "Fcompression", 176, 280);

    Kalvobutton = MakeButton(Client, "Kalvobutton", "Start Kalvo", 24, 256, 75, 25,
                             "Prepare for interactive learning process");
    KalvoSendButton = MakeButton(Client, "KalvoSendButton", "Start Sending", 24, 280, 75, 25,
                                 "Start the interactive training: characters are sent one at a time");
    KalvoStopButton = MakeButton(Client, "KalvoStopButton", "Stop Kalvo", 24, 312, 75, 25,
                                 "Stop the interactive training and show your progress");
    KalvoStopButton->setEnabled(false);
    StartNumEdit = MakeEdit(Client, "StartNumEdit", 136, 200, 57, 21);
    StartNumEdit->setText(QStringLiteral("1"));
    StartNumEdit->hide();
    StartNumLabel = MakeLabel(Client, "StartNumLabel", "Characters to Start", 200, 208);
    // To the right of its box the caption would lie under the quick-start box;
    // it stands to the left of the box instead, on the box's line.
    StartNumLabel->move(StartNumEdit->x() - 6 - StartNumLabel->width(), 204);
    StartNumLabel->hide();
    UsingEdit = MakeEdit(Client, "UsingEdit", 128, 312, 57, 21);
    UsingEdit->setReadOnly(true);
    UsingEdit->setText(QStringLiteral("1"));
    UsingEdit->hide();
    Label10 = MakeLabel(Client, "Label10", "Characters in use", 192, 312);
    Label10->hide();

    Panel2 = Place(new QFrame(Client), "Panel2", 0, 352, ClientWidth, Panel2Height);
    Chart1 = new ErrorHistogram(Panel2);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(0, 0, ClientWidth, Panel2Height);
    Panel2->hide();

    // The quick-start box lies over the text box's lower right corner.
    Memo2->raise();
    Memo2->setPlainText(QString());

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(StatusBarHeight);
    // The status text is a label of its own: the bar's temporary messages are
    // cleared whenever the pointer passes over a menu item.
    StatusText1 = new QLabel(StatusBar1);
    StatusText1->setObjectName(QStringLiteral("StatusText1"));
    StatusBar1->addWidget(StatusText1, 1);
    setStatusBar(StatusBar1);
    Notice = new StatusNotice(StatusBar1);
    AnswerNotice = new StatusNotice(StatusBar1);
    AnswerNotice->setObjectName(QStringLiteral("AnswerNotice"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);
    BandStopTimer = new QTimer(this);
    BandStopTimer->setObjectName(QStringLiteral("BandStopTimer"));
    BandStopTimer->setInterval(50);

    SetClientHeight(LayoutClientHeight);
}

void TForm1::SetClientHeight(int height)
{
    CurrentClientHeight = height;
    Client->setFixedSize(ClientWidth, height - StatusBarHeight);
    Panel2->move(0, height - StatusBarHeight - Panel2Height);
    setFixedSize(ClientWidth, menuBar()->sizeHint().height() + height);
}

void TForm1::HideQuickstart()
{
    Memo2->hide();
    CheckBox2->setChecked(false);
}

void TForm1::FoldHistogram()
{
    if (Panel2->isHidden())
        return;
    SetClientHeight(CurrentClientHeight - Panel2Height);
    Panel2->hide();
}

void TForm1::UnfoldHistogram()
{
    if (!Panel2->isHidden())
        return;
    SetClientHeight(CurrentClientHeight + Panel2Height);
    Panel2->show();
}

void TForm1::CheckBox2Click()
{
    Memo2->setVisible(CheckBox2->isChecked());
}
