// kalvo-textgen: writes the practice text files P0 to P9 into a folder.
//
// Usage: kalvo-textgen <folder>
#include "tools/textgen/PracticeTexts.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kalvo-textgen <folder>\n");
        return 2;
    }
    try {
        kalvo::textgen::WritePracticeFiles(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
