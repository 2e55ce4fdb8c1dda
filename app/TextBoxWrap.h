// Word wrap for the program's multi-line text boxes that stays quick for any
// text put into them.
//
// Qt's usual mode (break at word boundaries, and anywhere inside a word wider
// than the line) takes time growing with the square of a word's length: a
// file that is one 1 MB word would keep the window busy for about a minute.
// A text holding a word longer than LongWordLength is wrapped anywhere instead;
// such a word is broken anywhere in either mode, and this mode takes linear
// time. Other texts keep the usual mode.
#pragma once

#include <QPlainTextEdit>
#include <QStringView>
#include <QTextOption>

inline constexpr qsizetype LongWordLength = 4096;

inline bool HasLongWord(QStringView text)
{
    qsizetype run = 0;
    for (QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > LongWordLength)
            return true;
    }
    return false;
}

// For a text about to go into `box`: `replacing` when it is the box's whole
// new content, otherwise it is added to what the box holds.
inline void FitWrapMode(QPlainTextEdit* box, QStringView text, bool replacing)
{
    if (HasLongWord(text))
        box->setWordWrapMode(QTextOption::WrapAnywhere);
    else if (replacing)
        box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}
