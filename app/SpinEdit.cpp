#include "app/SpinEdit.h"

#include <QEvent>
#include <QKeyEvent>

#include <algorithm>

namespace {

bool ParseInt(const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

} // namespace

TSpinEdit::TSpinEdit(int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent), Min(minimum), Max(maximum), Edit(new QLineEdit(this)), Up(new QToolButton(this)),
      Down(new QToolButton(this))
{
    Edit->setText(QString::number(value));
    Up->setArrowType(Qt::UpArrow);
    Down->setArrowType(Qt::DownArrow);
    Up->setAccessibleName("Up");
    Down->setAccessibleName("Down");
    Up->setFocusPolicy(Qt::NoFocus);
    Down->setFocusPolicy(Qt::NoFocus);
    Up->setAutoRepeat(true);
    Down->setAutoRepeat(true);
    connect(Edit, &QLineEdit::textChanged, this, &TSpinEdit::Changed);
    connect(Up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(Down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    Edit->installEventFilter(this);
    setFocusProxy(Edit);
}

void TSpinEdit::stepBy(int steps)
{
    int value = 0;
    if (!ParseInt(Edit->text(), value))
        value = Min;
    value = std::clamp(value + steps, Min, Max);
    const QString text = QString::number(value);
    if (text != Edit->text())
        Edit->setText(text);
}

void TSpinEdit::clampToRange()
{
    int value = 0;
    if (!ParseInt(Edit->text(), value))
        return;
    const int clamped = std::clamp(value, Min, Max);
    if (clamped != value)
        Edit->setText(QString::number(clamped));
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit) {
        if (event->type() == QEvent::FocusOut) {
            clampToRange();
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                stepBy(key->key() == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSpinEdit::resizeEvent(QResizeEvent*)
{
    const int buttonWidth = 14;
    const int h = height();
    Edit->setGeometry(0, 0, width() - buttonWidth, h);
    Up->setGeometry(width() - buttonWidth, 0, buttonWidth, h / 2);
    Down->setGeometry(width() - buttonWidth, h / 2, buttonWidth, h - h / 2);
}
