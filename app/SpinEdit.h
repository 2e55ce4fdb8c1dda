// TSpinEdit: a small integer spin box that behaves like a text box with up and
// down buttons.
//
// Its text is what the program reads: typing may leave any text in it (a value
// outside the range, or no number at all), and Changed fires on every change of
// the text. Only when the box loses the focus is an integer outside the range
// put back into the range (which changes the text, and so fires Changed again);
// a text that is not an integer is left as typed. The buttons step the value
// within the range.
#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

class TSpinEdit : public QWidget {
    Q_OBJECT
public:
    TSpinEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

    QString text() const { return Edit->text(); }
    void setText(const QString& text) { Edit->setText(text); }
    int minimum() const { return Min; }
    int maximum() const { return Max; }
    QLineEdit* lineEdit() const { return Edit; }

    void stepBy(int steps);
    // What losing the focus does: an integer outside the range is clamped.
    void clampToRange();

signals:
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int Min;
    int Max;
    QLineEdit* Edit;
    QToolButton* Up;
    QToolButton* Down;
};
