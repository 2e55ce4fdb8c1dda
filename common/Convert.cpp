#include "common/Convert.h"

#include "common/Errors.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace kalvo {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsBlank(char c)
{
    return c == ' ';
}

} // namespace

int StrToInt(const std::string& text)
{
    const auto fail = [&text]() { return EConvertError("'" + text + "' is not a valid integer value"); };
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        throw fail();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            throw fail();
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t(std::numeric_limits<int>::max()) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        throw fail();
    return static_cast<int>(value);
}

double StrToFloat(const std::string& text)
{
    const auto fail = [&text]() { return EConvertError("'" + text + "' is not a valid floating point value"); };
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    const std::size_t start = i;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        throw fail();
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            throw fail();
    }
    const std::size_t end = i;
    while (i < n && IsBlank(text[i]))
        ++i;
    if (i != n)
        throw fail();
    // The program's numbers have a full stop as the decimal separator whatever
    // the user's locale, so the digits are read under the "C" locale.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", locale_t(0));
    const std::string number = text.substr(start, end - start);
    char* numberEnd = nullptr;
    errno = 0;
    const double value = ::strtod_l(number.c_str(), &numberEnd, cLocale);
    if (numberEnd != number.c_str() + number.size() || (errno == ERANGE && std::isinf(value)))
        throw fail();
    return value;
}

double FDiv(double numerator, double denominator)
{
    if (denominator == 0.0) {
        if (numerator == 0.0 || std::isnan(numerator))
            throw EInvalidOp();
        throw EZeroDivide();
    }
    const double quotient = numerator / denominator;
    if (std::isinf(quotient) && std::isfinite(numerator) && std::isfinite(denominator))
        throw EOverflow();
    return quotient;
}

std::int64_t RoundHalfEven(double value)
{
    // Converting NaN or a value beyond the integer's range is undefined; NaN
    // fails as the FPU would, the others saturate.
    if (std::isnan(value))
        throw EInvalidOp();
    constexpr double limit = 9223372036854775807.0; // 2^63, just past the largest int64
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result;
    if (diff < 0.5)
        result = floor;
    else if (diff > 0.5)
        result = floor + 1.0;
    else
        result = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
    return static_cast<std::int64_t>(result);
}

std::string FloatToStr(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    // to_chars, unlike printf, ignores the locale: the separator stays a full stop.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

char UpCase(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
char LowCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = UpCase(c);
    return text;
}

} // namespace kalvo
