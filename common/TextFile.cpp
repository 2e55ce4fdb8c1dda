#include "common/TextFile.h"

#include "common/Errors.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
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

namespace {

// Closes the descriptor on every way out of a function.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::string ReadTextFile(const std::string& name)
{
    return ReadTextFile(name, name);
}

std::string ReadTextFile(const std::string& name, const std::string& shownName)
{
    const auto cannotOpen = [&shownName]() { return EInOutError("Cannot open file " + shownName); };
    const auto tooLarge = [&shownName]() {
        return EInOutError("File " + shownName + " is too large to open (over "
                           + std::to_string(MaxTextFileBytes / (1024LL * 1024)) + " MB)");
    };
    // Opened without blocking, so that a FIFO without a writer cannot hang the
    // window in open(); only a regular file is then read at all, which keeps
    // endless devices such as /dev/zero out as well.
    const FileDescriptor file{::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat info { };
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw cannotOpen();
    if (info.st_size > MaxTextFileBytes)
        throw tooLarge();
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    // The size is checked again while reading: the file may grow meanwhile.
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw cannotOpen();
        }
        if (static_cast<long long>(text.size()) + n > MaxTextFileBytes)
            throw tooLarge();
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text;
}

std::vector<std::string> ReadTextLines(const std::string& name)
{
    return SplitLines(ReadTextFile(name));
}

void WriteTextLines(const std::string& name, const std::vector<std::string>& lines)
{
    const auto fail = [&name]() { return EInOutError("Cannot create file " + name); };
    fs::path target(name);
    struct stat existing { };
    const bool exists = ::stat(name.c_str(), &existing) == 0;
    if (exists) {
        // A FIFO or a device is not replaced by a plain file behind the user's
        // back, and a file the user made read-only stays as it is.
        if (!S_ISREG(existing.st_mode) || ::access(name.c_str(), W_OK) != 0)
            throw fail();
        // Through a symbolic link the file it names is replaced, not the link.
        std::error_code ec;
        target = fs::canonical(target, ec);
        if (ec)
            throw fail();
    }
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    // The mode 0666 lets the umask decide a new file's permissions, as for any
    // other program's files; an existing file's are copied below.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = (folder
                     / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "."
                        + std::to_string(attempt)))
                        .string();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw fail();

    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    // Past a file size limit write() fails with EFBIG (the program ignores
    // SIGXFSZ), and the old file stays.
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n > 0)
            written += static_cast<std::size_t>(n);
        else if (!(n < 0 && errno == EINTR))
            ok = false;
    }
    if (exists)
        ok = (::fchmod(fd, existing.st_mode & 07777) == 0) && ok;
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
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
