// Number conversions and small arithmetic helpers with the program's own rules.
//
// Numbers typed by the user are converted without a prior test:
//  - StrToInt: leading blanks, an optional sign, decimal digits, nothing else;
//    the value must fit a 32-bit signed integer. Anything else (a fraction,
//    trailing blanks, an empty text) throws EConvertError
//    "'<text>' is not a valid integer value".
//  - StrToFloat: optional blanks around, optional sign, digits with an optional
//    '.' fraction and an optional exponent. Anything else throws EConvertError
//    "'<text>' is not a valid floating point value".
// Conversions follow these rules whatever the C or Qt locale says: a full stop
// is the decimal separator, and anything left over is an error.
// FDiv divides like the FPU with exceptions unmasked: x/0 throws EZeroDivide,
// 0/0 throws EInvalidOp, a finite quotient too large for a double throws
// EOverflow. RoundHalfEven rounds to the nearest integer, halves to the even
// neighbour; NaN throws EInvalidOp and values beyond 64 bits saturate.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace kalvo {

// The longest element, gap or fall ramp the program plays: a longer note could
// not be cut short once begun.
inline constexpr double MaxNoteSeconds = 60.0;
// Whether a length in seconds can be played: finite and within MaxNoteSeconds.
inline bool IsPlayableLength(double seconds)
{
    return std::isfinite(seconds) && seconds <= MaxNoteSeconds;
}

int StrToInt(const std::string& text);
double StrToFloat(const std::string& text);
double FDiv(double numerator, double denominator);
std::int64_t RoundHalfEven(double value);

// Decimal text of a double as the program writes numbers back into boxes:
// integral values without a fraction ("10"), others with up to 15 significant
// digits ("2.5").
std::string FloatToStr(double value);

// ASCII-only case mapping: only 'a'..'z' and 'A'..'Z' change.
char UpCase(char c);
char LowCase(char c);
std::string UpperCase(std::string text);

} // namespace kalvo
