#include "app/LineEditAccessible.h"

#include <QFontMetrics>
#include <QVariant>

LineEditAccessible::LineEditAccessible(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText) { }

QAccessible::State LineEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !Box()->isReadOnly();
    state.readOnly = Box()->isReadOnly();
    state.selectableText = true;
    state.passwordEdit = !Readable();
    return state;
}

QString LineEditAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return Readable() ? Box()->text() : QString();
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty())
        text = Box()->placeholderText();
    return text;
}

void LineEditAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    Box()->setText(text);
}

void* LineEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void LineEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

QString LineEditAccessible::attributes(int, int* startOffset, int* endOffset) const
{
    // One font and colour for the whole box.
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

int LineEditAccessible::cursorPosition() const
{
    return Box()->cursorPosition();
}

QRect LineEditAccessible::characterRect(int offset) const
{
    // The caret's rectangle gives the line's place; the text's advance up to
    // the caret and up to the offset gives the character's.
    const QString text = Box()->text();
    const QFontMetrics metrics = Box()->fontMetrics();
    const QRect caret = Box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int x = caret.center().x() - metrics.horizontalAdvance(text.left(Box()->cursorPosition()))
        + metrics.horizontalAdvance(text.left(offset));
    // A reader may ask for any offset; one outside the text has no width.
    const int width = offset >= 0 && offset < text.size() ? metrics.horizontalAdvance(text.at(offset)) : 0;
    const QRect local(x, caret.top(), width, caret.height());
    return QRect(Box()->mapToGlobal(local.topLeft()), local.size());
}

int LineEditAccessible::selectionCount() const
{
    return Box()->hasSelectedText() ? 1 : 0;
}

int LineEditAccessible::offsetAtPoint(const QPoint& point) const
{
    return Box()->cursorPositionAt(Box()->mapFromGlobal(point));
}

void LineEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Box()->hasSelectedText())
        return;
    *startOffset = Box()->selectionStart();
    *endOffset = *startOffset + Box()->selectionLength();
}

QString LineEditAccessible::text(int startOffset, int endOffset) const
{
    if (!Readable() || startOffset > endOffset)
        return QString();
    return Box()->text().mid(startOffset, endOffset - startOffset);
}

// Offset -2 stands for the caret, as the toolkit's own description takes it.
QString LineEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                             int* endOffset) const
{
    *startOffset = *endOffset = -1;
    if (!Readable())
        return QString();
    return QAccessibleTextInterface::textBeforeOffset(offset == -2 ? cursorPosition() : offset, boundaryType,
                                                      startOffset, endOffset);
}

QString LineEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                            int* endOffset) const
{
    *startOffset = *endOffset = -1;
    if (!Readable())
        return QString();
    return QAccessibleTextInterface::textAfterOffset(offset == -2 ? cursorPosition() : offset, boundaryType,
                                                     startOffset, endOffset);
}

QString LineEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                         int* endOffset) const
{
    *startOffset = *endOffset = -1;
    if (!Readable())
        return QString();
    return QAccessibleTextInterface::textAtOffset(offset == -2 ? cursorPosition() : offset, boundaryType, startOffset,
                                                  endOffset);
}

void LineEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        Box()->deselect();
}

void LineEditAccessible::setCursorPosition(int position)
{
    Box()->setCursorPosition(position);
}

void LineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        Box()->setSelection(startOffset, endOffset - startOffset);
}

int LineEditAccessible::characterCount() const
{
    return static_cast<int>(Box()->text().size());
}

void LineEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Box()->setCursorPosition(endIndex);
    Box()->setCursorPosition(startIndex);
}

void LineEditAccessible::deleteText(int startOffset, int endOffset)
{
    Box()->setText(Box()->text().remove(startOffset, endOffset - startOffset));
}

void LineEditAccessible::insertText(int offset, const QString& text)
{
    Box()->setText(Box()->text().insert(offset, text));
}

void LineEditAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    Box()->setText(Box()->text().replace(startOffset, endOffset - startOffset, text));
}

namespace {

QAccessibleInterface* LineEditFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QLineEdit"))
        if (auto* box = qobject_cast<QLineEdit*>(object))
            return new LineEditAccessible(box);
    return nullptr;
}

} // namespace

void InstallLineEditAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(LineEditFactory);
        return true;
    }();
    (void)installed;
}
