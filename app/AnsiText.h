// The program's text is 8-bit Windows ANSI (code page 1252): what the windows
// show is converted with these, so that the typographic quotes, apostrophes and
// dashes of text pasted from a web page or a word processor keep their codes.
//
//  - FromAnsi maps every byte to one character and ToAnsi maps it back, so the
//    bytes of a file read into a box come out unchanged. The five bytes that
//    code page 1252 leaves undefined map to the control characters of the same
//    number, as Windows maps them.
//  - A character with no 8-bit code (an arrow, an emoji) becomes
//    UnencodableAnsi, a control code that has no Morse pattern: it costs only
//    the character gap and never sounds as another character.
//  - FirstUnencodable finds such a character where nothing may be lost.
#pragma once

#include <QString>

#include <optional>
#include <string>

namespace ansi {

inline constexpr char UnencodableAnsi = '\x1a'; // ASCII's own "substitute"

QString FromAnsi(const std::string& bytes);
std::string ToAnsi(const QString& text);

struct Unencodable {
    char32_t CodePoint;
    int Line; // from 1
};
std::optional<Unencodable> FirstUnencodable(const QString& text);

} // namespace ansi
