#include "common/TextFile.h"

#include "common/Errors.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvo {

namespace fs = std::filesystem;

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> ReadTextLines(const std::string& name)
{
    std::error_code ec;
    if (fs::is_directory(name, ec))
        throw EInOutError("Cannot open file " + name);
    std::ifstream in(name, std::ios::binary);
    if (!in)
        throw EInOutError("Cannot open file " + name);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw EInOutError("Cannot open file " + name);
    return SplitLines(text);
}

void WriteTextLines(const std::string& name, const std::vector<std::string>& lines)
{
    const auto fail = [&name]() { return EInOutError("Cannot create file " + name); };
    const fs::path target(name);
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw fail();
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n <= 0)
            ok = false;
        else
            written += static_cast<std::size_t>(n);
    }
    // mkstemp creates the file readable by its owner only; give it the usual mode.
    ok = (::fchmod(fd, 0644) == 0) && ok;
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(pattern.c_str(), name.c_str()) != 0) {
        std::remove(pattern.c_str());
        throw fail();
    }
}

std::optional<std::string> FindFileIgnoringCase(const std::string& name)
{
    std::error_code ec;
    if (fs::is_regular_file(name, ec))
        return name;
    const fs::path target(name);
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        return s;
    };
    const std::string wanted = lower(target.filename().string());
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && lower(entry.path().filename().string()) == wanted) {
            return target.parent_path().empty() ? entry.path().filename().string()
                                                : (target.parent_path() / entry.path().filename()).string();
        }
    }
    return std::nullopt;
}

} // namespace kalvo
