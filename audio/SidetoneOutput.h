// SidetoneOutput: a sound stream of its own, apart from the sender's, that
// asks its render function for every block it needs, on its own thread, from
// Start until Stop. For the sidetone it holds only some 20 ms of sound, so a
// key is heard at once; the band's conditions (Role Band) hold more, as
// nothing waits on them, and wake the machine less often.
//
//  - SetRole (before Start) names what the stream is for: its messages say
//    "The <what> cannot start: ...", the sound server lists it by Name.
//  - Start(rate, render): opens the stream (mono, 16 bits) and starts it; a
//    stream that cannot be opened throws ESidetone with the reason.
//  - Stop: stops and closes it; render is not called after Stop returns.
//    Destruction stops it too.
//  - render returns whether it is sounding or about to (a key is down). A
//    stream that can pause cheaply pauses after IdlePause seconds of
//    silence, so a window left open costs next to nothing; Wake (on every key
//    press, from any thread) resumes it at once.
#pragma once

#include "common/Errors.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace kalvo {

class ESidetone : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

class SidetoneOutput {
public:
    struct Role {
        const char* What; // in messages
        const char* Name; // the stream's name at the sound server
        double Latency; // sound held ahead of the speaker, seconds
    };
    static constexpr Role Sidetone{"sidetone", "Sidetone", 0.020};
    static constexpr Role Band{"band conditions", "Band conditions", 0.100};

    using Render = std::function<bool(std::int16_t* out, std::size_t frames)>;
    virtual ~SidetoneOutput() = default;
    virtual void Start(int rate, Render render) = 0;
    virtual void Stop() = 0;
    virtual void Wake() { }

    void SetRole(const Role& role) { FRole = role; }
    const Role& StreamRole() const { return FRole; }

    // Sound the sidetone's stream asks to hold ahead of the speaker, seconds.
    static constexpr double Latency = Sidetone.Latency;
    static constexpr double IdlePause = 2.0;

protected:
    Role FRole = Sidetone;
};

} // namespace kalvo
