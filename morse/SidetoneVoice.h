// SidetoneVoice: the keyer's tone, made on the sound stream's own thread.
//
// The window sets the keys and the settings from its thread (SetKey,
// ReleaseAll, SetSettings: atomics, no lock). Render, called by the sound
// stream for each block it needs, applies them at the block's start, steps
// the keyer sample by sample and writes a sine at the set frequency whose
// rise and fall are linear ramps of the set time, so a tone never clicks,
// however short. Keys therefore sound within one block of the stream.
// Every change of the keyed state is kept as an edge (the sample it happened
// at, counted from the first sample rendered) for the window to take with
// TakeEdges, to read the fist; a full edge list drops the oldest.
#pragma once

#include "morse/Keyer.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kalvo {

class SidetoneVoice {
public:
    enum class Key { Straight, Dot, Dash };
    struct Settings {
        Keyer::Mode Mode = Keyer::Mode::Straight;
        double Wpm = 20;
        double Frequency = 800;
        double RiseFallMs = 5;
        double Amplitude = 0.5; // of full scale
    };
    struct Edge {
        std::int64_t Sample;
        bool On;
    };

    explicit SidetoneVoice(int sampleRate);

    void SetKey(Key key, bool down);
    void ReleaseAll();
    void SetSettings(const Settings& settings);
    int SampleRate() const { return Rate; }

    // Whether the tone sounds or a key is down at the block's end.
    bool Render(std::int16_t* out, std::size_t frames);
    std::vector<Edge> TakeEdges();
    // Samples rendered so far: the stream's clock, ahead of what is heard by
    // the stream's latency.
    std::int64_t Rendered() const { return FRendered.load(std::memory_order_acquire); }

private:
    const int Rate;
    std::atomic<bool> Down[3]{};
    std::atomic<bool> ReleaseRequested{false};
    std::mutex SettingsLock; // held only to copy the settings, never while rendering
    Settings Wanted;
    std::atomic<bool> SettingsChanged{true};

    // The stream's thread only.
    Keyer FKeyer;
    Settings Current;
    bool Applied[3]{};
    bool Keyed = false;
    double Envelope = 0;
    double Phase = 0;
    std::atomic<std::int64_t> FRendered{0};

    std::mutex EdgesLock;
    std::vector<Edge> Edges, Pending;
};

} // namespace kalvo
