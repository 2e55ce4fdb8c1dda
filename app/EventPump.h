// The window's pending events, handled from inside the synthesizer's loop,
// which asks after every sample. A look at Qt's event queue costs a system call
// (about 2 microseconds), 8000 times per second of sound; but the synthesizer
// makes half a second of sound in a few hundredths of a millisecond and then
// waits for the sound card inside the event loop itself. So the pump looks at
// the queue at most once a Slice: an event that comes during a burst waits less
// than a Slice, what is played does not change, and sending costs the main
// thread next to nothing. The first call always looks.
#pragma once

#include <QCoreApplication>

#include <chrono>
#include <functional>

namespace kalvo {

class EventPump {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds Slice{1};

    std::function<Clock::time_point()> Now = [] { return Clock::now(); };
    std::function<void()> Handle = [] { QCoreApplication::processEvents(); };

    void operator()()
    {
        if (Looked && Now() - Last < Slice)
            return;
        Handle();
        // Counted from the end of what the handlers did: a dialog opened from
        // a handler does not make the next look come at once.
        Last = Now();
        Looked = true;
    }

private:
    Clock::time_point Last{};
    bool Looked = false;
};

} // namespace kalvo
