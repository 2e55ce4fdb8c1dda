// The program's one typeface: a plain sans-serif face (Liberation Sans where
// installed, whose letters are as wide as the layout's pixel places expect;
// the system's sans-serif otherwise), at the given point size.
#pragma once

#include <QFont>

inline QFont ProgramFont(int pointSize)
{
    QFont font(QStringLiteral("Liberation Sans"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
