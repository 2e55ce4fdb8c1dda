// LiveBand: band conditions for the live sound. From Start to Stop the band's
// own sound (noise, a second station, static) plays on a stream of its own,
// so that it goes on between the sender's notes and while a lesson waits for
// an answer; the fading shapes the sender's buffers as they are committed
// (Shape, given to TOutSound). One gain scales both, so that the two stay
// within the 16-bit limits where the sound server adds them; with every
// condition off nothing starts and Shape leaves every sample as it is.
//
//  - Start(settings, signal, patterns, makeStream): signal is the sender's
//    (its rate, tone and level). The band's stream, made only when noise,
//    the second station or static is on, runs at StreamRate, which holds
//    everything a receiver's filter passes. A running band with the same
//    settings and signal goes on undisturbed; other ones start afresh. A
//    stream that cannot start throws ESidetone and leaves the band stopped.
//  - Stop: the stream stops and closes; Shape passes samples unchanged.
//  - Start, Stop and Shape belong to the writer's thread; the stream renders
//    on its own from a generator nothing else touches.
#pragma once

#include "audio/BandConditions.h"
#include "audio/SidetoneOutput.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kalvo {

class LiveBand {
public:
    using StreamMaker = std::function<std::unique_ptr<SidetoneOutput>()>;
    static constexpr int StreamRate = 8000;

    ~LiveBand() { Stop(); }

    void Start(const BandSettings& settings, const BandConditions::Signal& signal,
               const BandConditions::PatternOf& patterns, const StreamMaker& makeStream);
    void Stop();
    bool Running() const { return Fading != nullptr; }
    double Gain() const { return FGain; }
    void Shape(std::int16_t* values, int count);

private:
    std::unique_ptr<BandConditions> Fading; // the writer's
    std::unique_ptr<BandConditions> Sound; // the stream's
    std::unique_ptr<SidetoneOutput> Stream;
    double FGain = 1.0;
    BandSettings Settings;
    BandConditions::Signal Signal;
};

} // namespace kalvo
