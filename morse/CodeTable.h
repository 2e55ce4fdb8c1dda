// The Morse code table: character code -> pattern of element lengths in dots
// ("13" is dot dash). Entries cover the codes CodeBase (41) to CodeBase + 63;
// codes outside that span, and unfilled entries, give the empty pattern.
// LookupCode looks only at the first character and does not change case.
#pragma once

#include <array>
#include <string>

namespace kalvo {

class MorseCodeTable {
public:
    std::array<std::string, 64> CodeTable;
    int CodeBase = 0;

    void CodeTableInitialize();
    std::string LookupCode(const std::string& text) const;
};

} // namespace kalvo
