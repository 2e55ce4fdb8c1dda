#include "app/AnsiText.h"

#include <QList>

#include <array>

namespace ansi {

namespace {

// Code page 1252 from 0x80 to 0x9F; the rest of the 256 codes are Latin-1.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> Encode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < High.size(); ++i)
        if (High[i] == c)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

} // namespace

QString FromAnsi(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        text += QChar(u >= 0x80 && u < 0xA0 ? High[u - 0x80] : char16_t(u));
    }
    return text;
}

std::string ToAnsi(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    // Code points, not UTF-16 units: an emoji is one character, one substitute.
    for (char32_t c : text.toUcs4())
        bytes += Encode(c).value_or(UnencodableAnsi);
    return bytes;
}

std::optional<Unencodable> FirstUnencodable(const QString& text)
{
    int line = 1;
    for (char32_t c : text.toUcs4()) {
        if (c == U'\n')
            ++line;
        else if (!Encode(c))
            return Unencodable{c, line};
    }
    return std::nullopt;
}

} // namespace ansi
