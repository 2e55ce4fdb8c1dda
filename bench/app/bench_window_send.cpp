// bench_window_send: the main window sending a text in real time.
//
// Prints
//  - the CPU seconds the process spends per second of audio while the window
//    sends (the event pump runs after every sample), and
//  - the time from a click on "Pause", arriving from outside during the send,
//    to the Pause handler running (clicks land whenever the sender is busy,
//    including while it waits for a free sound buffer).
// It uses the real default sound device when one can be opened (under
// tools/services.sh that is the PulseAudio null sink), else a device that
// completes each buffer after its playing time. Run with QT_QPA_PLATFORM
// offscreen or under a display.
#include "app/ErrorBox.h"
#include "app/Pravik.h"
#include "audio/EngineSetup.h"
#include "audio/SystemWaveOut.h"
#include "tests/support/TestWaveOut.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// Completes each written buffer after the time it takes to play.
class PacedWaveOut : public kalvo::TestWaveOut {
public:
    PacedWaveOut() : kalvo::TestWaveOut(Completion::OnDemand)
    {
        KeepSamples(false);
        Player = std::thread([this] {
            while (!Stop) {
                if (PendingCount() > 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(500));
                    CompleteNext();
                } else {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
            }
        });
    }
    ~PacedWaveOut() override
    {
        Stop = true;
        Player.join();
    }

private:
    std::atomic<bool> Stop{false};
    std::thread Player;
};

} // namespace

int main(int argc, char** argv)
{
    KalvoApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvo"));
    bool deviceFailed = false;
    ErrorBox::SetHandler([&](const QString& text) {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
        deviceFailed = true;
    });

    std::unique_ptr<TForm1> form = std::make_unique<TForm1>(kalvo::MakeSystemWaveOut());
    const char* deviceName = "default sound device";
    if (deviceFailed) {
        form = std::make_unique<TForm1>(std::make_unique<PacedWaveOut>());
        deviceName = "paced test device";
    }
    form->show();

    // Plain timing at 20 words per minute: "PARIS " takes 3 s.
    form->CSpeedEdit->setText(QStringLiteral("20"));
    form->SpeedEdit->setText(QStringLiteral("20"));
    form->SetSpeed();
    form->SetMemo1Text("PARIS PARIS PARIS ");

    // First send: the cost of sending, with nothing else going on.
    long samples = 0;
    form->Synth.ProcessEvents = [&] {
        ++samples;
        QCoreApplication::processEvents();
    };
    const double cpuBefore = CpuSeconds();
    const auto wallBefore = Clock::now();
    form->Sendbutton->click();
    const double cpu = CpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();

    // Second send: a second thread clicks "Pause" (pausing, then resuming)
    // every 350 ms and the handler notes when each click arrives.
    std::vector<double> latencies;
    Clock::time_point clickedAt;
    std::atomic<bool> waiting{false};
    QObject::connect(form->Button2, &QPushButton::clicked, [&] {
        if (waiting.exchange(false))
            latencies.push_back(std::chrono::duration<double>(Clock::now() - clickedAt).count());
    });
    const QPointF centre = form->Button2->rect().center();
    const QPointF global = form->Button2->mapToGlobal(centre);
    const QPointingDevice* mouse = QPointingDevice::primaryPointingDevice();
    std::atomic<bool> done{false};
    std::thread clicker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        while (!done) {
            while (waiting && !done)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (done)
                break;
            clickedAt = Clock::now();
            waiting = true;
            QCoreApplication::postEvent(form->Button2,
                                        new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier, mouse));
            QCoreApplication::postEvent(form->Button2,
                                        new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier, mouse));
            std::this_thread::sleep_for(std::chrono::milliseconds(350));
        }
    });
    form->SetMemo1Text("PARIS PARIS PARIS ");
    const long firstSamples = samples;
    form->Sendbutton->click();
    done = true;
    clicker.join();
    samples = firstSamples;
    const double audio = double(samples) / kalvo::EngineSetup::SampRate;
    std::sort(latencies.begin(), latencies.end());
    std::printf("device: %s\n", deviceName);
    std::printf("audio produced: %.2f s in %.2f s wall, %.3f CPU seconds\n", audio, wall, cpu);
    std::printf("CPU seconds per second of audio: %.4f\n", audio > 0 ? cpu / audio : 0.0);
    if (!latencies.empty()) {
        double sum = 0;
        for (double l : latencies)
            sum += l;
        std::printf("Pause click to handler: %zu clicks, median %.1f ms, mean %.1f ms, max %.1f ms\n", latencies.size(),
                    1000 * latencies[latencies.size() / 2], 1000 * sum / double(latencies.size()),
                    1000 * latencies.back());
    }
    return 0;
}
