// MidiKeys: Morse keys on MIDI, through the ALSA sequencer, as USB key
// adapters in MIDI mode present them: note 0 is the straight key, note 1 the
// dot paddle, note 2 the dash paddle, on any channel; a note on with a
// velocity above 0 presses, a note off (or a note on at velocity 0) lets go.
//
//  - MidiKeyFromMessage: that mapping, for one MIDI message.
//  - Inputs: the sequencer's ports that can be read, as "client:port name";
//    EMidi with a message for the window when the machine has no sequencer.
//  - MidiKeys(port, onKey, onGone): connects to the port and reports each
//    key from a thread of its own until destroyed; when the port goes away
//    (the adapter unplugged) it calls onGone once and stops.
#pragma once

#include "common/Errors.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kalvo {

class EMidi : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

struct MidiKeyEvent {
    int Key; // 0 straight key, 1 dot paddle, 2 dash paddle
    bool Down;
    bool operator==(const MidiKeyEvent&) const = default;
};
std::optional<MidiKeyEvent> MidiKeyFromMessage(unsigned char status, unsigned char note, unsigned char velocity);

struct MidiPort {
    int Client = 0;
    int Port = 0;
    std::string Name;
};

class MidiKeys {
public:
    static std::vector<MidiPort> Inputs();

    MidiKeys(const MidiPort& port, std::function<void(MidiKeyEvent)> onKey, std::function<void()> onGone);
    ~MidiKeys();
    MidiKeys(const MidiKeys&) = delete;
    MidiKeys& operator=(const MidiKeys&) = delete;

private:
    void Run();

    struct Sequencer;
    Sequencer* Seq;
    std::function<void(MidiKeyEvent)> OnKey;
    std::function<void()> OnGone;
    int Wake[2] = {-1, -1}; // a pipe that ends the thread's wait
    std::thread Thread;
};

} // namespace kalvo
