// bench_large_text: how long the window is busy when a large text file is put
// into the text box, and when a large practice file passes the line buffer.
//
// For each file it prints the seconds spent in the command itself ("Load any
// File", or "Load practice Text" for a practice file) and in the first repaint
// of the window that follows, while nothing else can run. Run with
// QT_QPA_PLATFORM offscreen or under a display.
#include "app/ErrorBox.h"
#include "app/Pravik.h"
#include "tests/support/TestWaveOut.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

// Words of Morse practice text, `lineLength` characters to a line (0: one line).
std::string PracticeText(std::size_t bytes, std::size_t lineLength)
{
    static const std::string words = "PARIS CQ DE TEST QRM 599 ";
    std::string text;
    text.reserve(bytes + 2);
    std::size_t column = 0;
    while (text.size() < bytes) {
        for (char c : words) {
            if (lineLength && column >= lineLength && c == ' ') {
                text += "\r\n";
                column = 0;
                continue;
            }
            text += c;
            ++column;
        }
    }
    text.resize(bytes);
    return text;
}

void WriteFile(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
}

// Every 8-bit code but the line breaks, in a fixed pseudo-random order.
std::string ByteSoup(std::size_t bytes)
{
    std::string text(bytes, ' ');
    std::uint32_t seed = 1;
    for (char& c : text) {
        do {
            seed = seed * 134775813u + 1u;
            c = char(seed >> 24);
        } while (c == '\r' || c == '\n');
    }
    return text;
}

struct Timing {
    double command;
    double repaint;
};

template <class Command>
Timing Measure(TForm1& form, Command command)
{
    QElapsedTimer timer;
    timer.start();
    command();
    const double commandSeconds = timer.nsecsElapsed() / 1e9;
    timer.restart();
    form.repaint();
    QApplication::processEvents();
    return {commandSeconds, timer.nsecsElapsed() / 1e9};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ErrorBox::SetHandler([](const QString& text) { std::printf("  error: %s\n", qPrintable(text)); });
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    TForm1 form(std::make_unique<kalvo::TestWaveOut>(kalvo::TestWaveOut::Completion::Immediate));
    form.show();
    QApplication::processEvents();

    const struct {
        const char* label;
        std::string text;
    } files[] = {
        {"1 MB, one line", PracticeText(1u << 20, 0)},
        {"1 MB, one word", std::string(1u << 20, 'E')},
        {"1 MB, all bytes", ByteSoup(1u << 20)},
        {"10 MB, lines of 70", PracticeText(10u << 20, 70)},
        {"16 MB, lines of 70", PracticeText(16u << 20, 70)},
        {"17 MB (refused)", PracticeText(17u << 20, 70)},
    };
    std::printf("%-22s %12s %12s\n", "Load any File", "command s", "repaint s");
    for (const auto& file : files) {
        WriteFile("text.txt", file.text);
        form.ChooseFile = [] { return std::optional<QString>(QStringLiteral("text.txt")); };
        const Timing t = Measure(form, [&] { ErrorBox::Guard([&] { form.LoadFileClick(); }); });
        std::printf("%-22s %12.3f %12.3f\n", file.label, t.command, t.repaint);
        form.Memo1->clear();
        QApplication::processEvents();
    }

    std::printf("%-22s %12s %12s\n", "Load practice Text", "command s", "repaint s");
    for (const auto& file : files) {
        WriteFile("P0", file.text);
        form.Edit1->setText(QStringLiteral("1"));
        const Timing t = Measure(form, [&] { ErrorBox::Guard([&] { form.Button1Click(); }); });
        std::printf("%-22s %12.3f %12.3f\n", file.label, t.command, t.repaint);
    }
    return 0;
}
