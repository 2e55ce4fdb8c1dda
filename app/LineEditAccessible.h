// LineEditAccessible: what a screen reader is told about a one-line box. It
// reports the box's text, caret, selection and editing as the toolkit's own
// description does, with one difference: the box's whole text is one run of
// equal attributes. The toolkit's description reports an empty run at every
// offset, and a screen reader that reads a line run by run then drops the
// characters ("Code Speed text" without its 5, "14" read as "1").
//
// Contract: InstallLineEditAccessible() once, after the application object
// exists; every QLineEdit is then described by this class. Echo modes other
// than Normal report no text.
#pragma once

#include <QAccessibleWidget>
#include <QLineEdit>

class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* box);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // Text.
    void addSelection(int startOffset, int endOffset) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;
    int cursorPosition() const override;
    QRect characterRect(int offset) const override;
    int selectionCount() const override;
    int offsetAtPoint(const QPoint& point) const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    void removeSelection(int selectionIndex) override;
    void setCursorPosition(int position) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int characterCount() const override;
    void scrollToSubstring(int startIndex, int endIndex) override;

    // Editing.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QLineEdit* Box() const { return static_cast<QLineEdit*>(widget()); }
    bool Readable() const { return Box()->echoMode() == QLineEdit::Normal; }
};

void InstallLineEditAccessible();
