#include "audio/BandNoise.h"

#include <cmath>
#include <numbers>

namespace kalvo {

namespace {

constexpr double Pi = std::numbers::pi;

double Sinc(double x)
{
    return x == 0.0 ? 1.0 : std::sin(Pi * x) / (Pi * x);
}

} // namespace

BandNoise::BandNoise(double sampleRate, double density, std::uint64_t seed)
    : SampleRate(sampleRate), Density(density), Source(seed), Coefficients(Taps), History(std::size_t(2) * Taps, 0.0)
{
    const double low = LowHz / sampleRate;
    const double high = HighHz / sampleRate;
    const int middle = Taps / 2;
    for (int n = 0; n < Taps; ++n) {
        const double m = n - middle;
        const double window = 0.42 - 0.5 * std::cos(2 * Pi * n / (Taps - 1)) + 0.08 * std::cos(4 * Pi * n / (Taps - 1));
        Coefficients[n] = window * (2 * high * Sinc(2 * high * m) - 2 * low * Sinc(2 * low * m));
    }
    // Unit gain in the middle of the band, where the density is defined.
    const double centre = 2 * Pi * (LowHz + HighHz) / 2 / sampleRate;
    double re = 0.0;
    double im = 0.0;
    for (int n = 0; n < Taps; ++n) {
        re += Coefficients[n] * std::cos(centre * n);
        im -= Coefficients[n] * std::sin(centre * n);
    }
    const double gain = std::hypot(re, im);
    for (double& c : Coefficients)
        c /= gain;
    // White noise of variance s^2 has the one-sided density 2 s^2 / rate.
    WhiteSigma = std::sqrt(density * sampleRate / 2);
}

double BandNoise::NoiseBandwidth() const
{
    double sum = 0.0;
    for (double c : Coefficients)
        sum += c * c;
    return sum * SampleRate / 2;
}

double BandNoise::Next()
{
    // The history is kept twice, so that the taps always read one unbroken run.
    const double white = WhiteSigma * Source.Next();
    History[Position] = white;
    History[Position + Taps] = white;
    Position = (Position + 1) % Taps;
    const double* x = &History[Position];
    // The filter is symmetric: each coefficient serves two samples.
    const int middle = Taps / 2;
    double sum = Coefficients[middle] * x[middle];
    for (int n = 0; n < middle; ++n)
        sum += Coefficients[n] * (x[n] + x[Taps - 1 - n]);
    return sum;
}

} // namespace kalvo
