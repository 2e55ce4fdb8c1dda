#include "morse/SidetoneVoice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kalvo {

namespace {

// Enough for minutes of fast keying between two looks of the window.
constexpr std::size_t MaxEdges = 4096;

} // namespace

SidetoneVoice::SidetoneVoice(int sampleRate) : Rate(sampleRate)
{
    Pending.reserve(MaxEdges);
}

void SidetoneVoice::SetKey(Key key, bool down)
{
    Down[static_cast<int>(key)].store(down, std::memory_order_release);
}

void SidetoneVoice::ReleaseAll()
{
    for (auto& key : Down)
        key.store(false, std::memory_order_release);
    ReleaseRequested.store(true, std::memory_order_release);
}

void SidetoneVoice::SetSettings(const Settings& settings)
{
    const std::lock_guard lock(SettingsLock);
    Wanted = settings;
    SettingsChanged.store(true, std::memory_order_release);
}

bool SidetoneVoice::Render(std::int16_t* out, std::size_t frames)
{
    if (SettingsChanged.exchange(false, std::memory_order_acq_rel)) {
        // The window never holds this lock for longer than a copy.
        const std::lock_guard lock(SettingsLock);
        Current = Wanted;
        FKeyer.SetMode(Current.Mode);
        FKeyer.SetDotSamples(std::lround(1.2 / std::clamp(Current.Wpm, 1.0, 100.0) * Rate));
    }
    if (ReleaseRequested.exchange(false, std::memory_order_acq_rel)) {
        FKeyer.ReleaseAll();
        std::fill(std::begin(Applied), std::end(Applied), false);
    }
    for (int k = 0; k < 3; ++k) {
        const bool down = Down[k].load(std::memory_order_acquire);
        if (down == Applied[k])
            continue;
        Applied[k] = down;
        if (k == 0)
            FKeyer.SetStraight(down);
        else if (k == 1)
            FKeyer.SetDot(down);
        else
            FKeyer.SetDash(down);
    }

    const double step = 1.0 / std::max(1.0, Current.RiseFallMs / 1000.0 * Rate);
    const double turn = 2 * std::numbers::pi * Current.Frequency / Rate;
    const double amplitude = std::clamp(Current.Amplitude, 0.0, 1.0) * 32767.0;
    std::int64_t at = FRendered.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < frames; ++i, ++at) {
        const bool keyed = FKeyer.Step();
        if (keyed != Keyed) {
            Keyed = keyed;
            if (Pending.size() < MaxEdges)
                Pending.push_back({at, keyed});
        }
        Envelope = keyed ? std::min(1.0, Envelope + step) : std::max(0.0, Envelope - step);
        // Silence costs no sine: a window left open waiting for a key is cheap.
        out[i] = Envelope == 0 ? 0 : static_cast<std::int16_t>(std::lround(amplitude * Envelope * std::sin(Phase)));
        // The phase runs on in silence, so a tone starts wherever it is;
        // the ramp keeps the start smooth.
        Phase += turn;
        if (Phase >= 2 * std::numbers::pi)
            Phase -= 2 * std::numbers::pi;
    }
    FRendered.store(at, std::memory_order_release);
    if (!Pending.empty() && EdgesLock.try_lock()) {
        if (Edges.size() + Pending.size() > MaxEdges)
            Edges.erase(Edges.begin(), Edges.begin() + std::min(Edges.size(), Pending.size()));
        Edges.insert(Edges.end(), Pending.begin(), Pending.end());
        EdgesLock.unlock();
        Pending.clear();
    }
    return Keyed || Envelope > 0 || FKeyer.Sending() || Applied[0] || Applied[1] || Applied[2];
}

std::vector<SidetoneVoice::Edge> SidetoneVoice::TakeEdges()
{
    const std::lock_guard lock(EdgesLock);
    std::vector<Edge> taken;
    taken.swap(Edges);
    return taken;
}

} // namespace kalvo
