// BandNoise: Gaussian noise limited to a receiver's passband, 300 to 2700 Hz,
// for practice files that sound like a signal on the air.
//
// White Gaussian samples (GaussianSource, so that one seed gives the same
// noise on every machine) pass a linear-phase band-pass
// filter (a Blackman-windowed sinc). The level is set by its spectral density:
// `density` is the noise power per hertz inside the band, in squared sample
// units, so the noise power in a bandwidth B of the band is density * B. The
// filter's gain is 1 in the middle of the band; its equivalent noise bandwidth
// is 2368 Hz, 1.4% under the nominal 2400 Hz for the slopes at the band's
// edges. Next() gives one sample at a time.
#pragma once

#include "audio/Gaussian.h"

#include <cstdint>
#include <vector>

namespace kalvo {

class BandNoise {
public:
    static constexpr double LowHz = 300.0;
    static constexpr double HighHz = 2700.0;
    static constexpr int Taps = 255;

    BandNoise(double sampleRate, double density, std::uint64_t seed);

    double Next();
    // The filter's equivalent noise bandwidth in hertz.
    double NoiseBandwidth() const;
    // The noise power the generator produces (density times that bandwidth).
    double Power() const { return Density * NoiseBandwidth(); }

private:
    double SampleRate;
    double Density;
    double WhiteSigma;
    GaussianSource Source;
    std::vector<double> Coefficients;
    std::vector<double> History; // the last Taps white samples, twice over
    std::size_t Position = 0;
};

} // namespace kalvo
