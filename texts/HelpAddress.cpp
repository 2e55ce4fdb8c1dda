#include "texts/HelpAddress.h"

namespace kalvo {

namespace {

// Characters that may stand raw in the path of a file URL (RFC 3986 pchar
// plus '/').
bool IsRawPathChar(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '-':
    case '.':
    case '_':
    case '~': // unreserved
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')': // sub-delims
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case ':':
    case '@':
    case '/':
        return true;
    default:
        return false;
    }
}

std::string EscapePath(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsRawPathChar(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

} // namespace

std::string HelpFileAddress(const std::string& workingDirectory)
{
    std::string path = workingDirectory;
    if (path.empty() || path.front() != '/')
        path.insert(path.begin(), '/');
    if (path.back() != '/')
        path += '/';
    path += HelpFileName;
    return "file://" + EscapePath(path);
}

} // namespace kalvo
