#include "audio/LiveBand.h"

#include <algorithm>
#include <cmath>

namespace kalvo {

void LiveBand::Start(const BandSettings& settings, const BandConditions::Signal& signal,
                     const BandConditions::PatternOf& patterns, const StreamMaker& makeStream)
{
    if (Running() && settings == Settings && signal == Signal)
        return;
    Stop();
    if (!settings.AnyOn())
        return;
    BandConditions::Signal streamSignal = signal;
    streamSignal.Rate = StreamRate;
    auto sound = std::make_unique<BandConditions>(settings, streamSignal, patterns);
    const double gain = std::min(1.0, 32767.0 / sound->Peak());
    if (settings.Noise || settings.Qrm || settings.Qrn) {
        std::unique_ptr<SidetoneOutput> stream = makeStream ? makeStream() : nullptr;
        if (!stream)
            throw ESidetone("The band conditions cannot start: there is no sound output for them.");
        stream->SetRole(SidetoneOutput::Band);
        BandConditions* band = sound.get();
        stream->Start(StreamRate, [band, gain](std::int16_t* out, std::size_t frames) {
            for (std::size_t i = 0; i < frames; ++i)
                out[i] = static_cast<std::int16_t>(std::clamp(std::round(gain * band->NextBand()), -32768.0, 32767.0));
            return true;
        });
        Stream = std::move(stream);
    }
    Sound = std::move(sound);
    Fading = std::make_unique<BandConditions>(settings, signal, patterns);
    FGain = gain;
    Settings = settings;
    Signal = signal;
}

void LiveBand::Stop()
{
    if (Stream)
        Stream->Stop();
    Stream.reset();
    Sound.reset();
    Fading.reset();
    FGain = 1.0;
}

void LiveBand::Shape(std::int16_t* values, int count)
{
    if (!Fading)
        return;
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<std::int16_t>(
            std::clamp(std::round(FGain * Fading->NextFade() * values[i]), -32768.0, 32767.0));
}

} // namespace kalvo
