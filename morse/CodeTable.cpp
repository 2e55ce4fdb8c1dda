#include "morse/CodeTable.h"

namespace kalvo {

void MorseCodeTable::CodeTableInitialize()
{
    CodeBase = 41;

    struct Entry {
        char Char;
        const char* Pattern;
    };
    // Some punctuation deliberately differs from the international assignments
    // ("-" sounds like "=", "+" is -.--.); "@" is a run of twenty dots, which the
    // sender plays without a character gap to give an unbroken dot stream.
    static constexpr Entry Entries[] = {
        {'*', "111313"},
        {'+', "31331"},
        {',', "331133"},
        {'-', "31113"},
        {'.', "131313"},
        {'/', "31131"},
        {'0', "33333"},
        {'1', "13333"},
        {'2', "11333"},
        {'3', "11133"},
        {'4', "11113"},
        {'5', "11111"},
        {'6', "31111"},
        {'7', "33111"},
        {'8', "33311"},
        {'9', "33331"},
        {':', "31313"},
        {';', "13131"},
        {'<', ""},
        {'=', "31113"},
        {'>', ""},
        {'?', "113311"},
        {'@', "11111111111111111111"},
        {'A', "13"},
        {'B', "3111"},
        {'C', "3131"},
        {'D', "311"},
        {'E', "1"},
        {'F', "1131"},
        {'G', "331"},
        {'H', "1111"},
        {'I', "11"},
        {'J', "1333"},
        {'K', "313"},
        {'L', "1311"},
        {'M', "33"},
        {'N', "31"},
        {'O', "333"},
        {'P', "1331"},
        {'Q', "3313"},
        {'R', "131"},
        {'S', "111"},
        {'T', "3"},
        {'U', "113"},
        {'V', "1113"},
        {'W', "133"},
        {'X', "3113"},
        {'Y', "3133"},
        {'Z', "3311"},
    };

    for (std::string& entry : CodeTable)
        entry.clear();
    for (const Entry& e : Entries)
        CodeTable[static_cast<unsigned char>(e.Char) - CodeBase] = e.Pattern;
}

std::string MorseCodeTable::LookupCode(const std::string& text) const
{
    if (text.empty())
        return {};
    const int i = static_cast<unsigned char>(text[0]) - CodeBase;
    if (i < 0 || i > 63)
        return {};
    return CodeTable[static_cast<std::size_t>(i)];
}

} // namespace kalvo
