// The numbered practice texts: 950 texts in the files "P0" to "P9" beside the
// program, a hundred to a file, one text to a line.
//
// Contract:
//  - Text n (1..950) is line n - 100*k of the file "P<k>", k = floor((n-1)/100)
//    computed in floating point. A line past the end of a file reads as empty.
//  - The practice number as typed is either the access code "wu" (whole text,
//    same case), which the window answers by switching to fast mode, or a
//    number converted by kalvo::StrToInt.
//  - After a request the number shown becomes n+1 when n < 949 and is left
//    alone otherwise (also when nothing was loaded: 0 becomes 1, 951 stays).
//  - Fetch() is the part of the "Load practice Text" command that needs no
//    window. The window runs the command in this order:
//        text = the practice number as typed
//        if IsAccessCode(text): fast mode on; timing recomputed; stop
//        hide the quick-start help and the count in use, fold the histogram
//        empty the text to send
//        r = Fetch(StrToInt(text))       // may throw, see below
//        if r.Loaded: line buffer := r.FileLines; append r.Text as a line
//        if r.Advance: the practice number := r.Next
//    The conversion throws kalvo::EConvertError ("'<text>' is not a valid
//    integer value") before anything is read; Fetch throws
//    kalvo::EInOutError ("Cannot open file P3") when the practice file cannot
//    be read and returns nothing then, so the text stays empty and the number
//    is not advanced.
//  - File names are relative: they are looked up in the current working
//    directory at the moment of the call.
#pragma once

#include <string>
#include <vector>

namespace kalvo {

class PracticeLibrary {
public:
    static constexpr int TextCount = 950;
    static constexpr int TextsPerFile = 100;
    // The practice number stops advancing here: text 950 is fetched only when typed in.
    static constexpr int LastAdvancingNumber = 949;

    struct Result {
        int Number = 0; // the number asked for
        bool Loaded = false; // a practice file was read
        std::vector<std::string> FileLines; // the whole file, for the line buffer
        std::string Text; // the practice text (may be empty)
        bool Advance = false; // the practice number is to become Next
        int Next = 0;
    };

    static bool IsAccessCode(const std::string& text);
    static int FileIndex(int number); // 0..9 for 1..950
    static std::string FileName(int number); // "P0".."P9"
    static int LineNumber(int number); // 1..100
    // Line `lineNumber` (counted from 1) of `lines`; empty past the end.
    static std::string LineOf(const std::vector<std::string>& lines, int lineNumber);
    static int NextNumber(int number); // n < 949 ? n + 1 : n
    static bool InRange(int number) { return number >= 1 && number <= TextCount; }

    // Reads the practice file when the number is in range (on every request,
    // also when the same file was read before) and picks the text.
    static Result Fetch(int number);
};

} // namespace kalvo
