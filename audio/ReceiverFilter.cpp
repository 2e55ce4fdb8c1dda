#include "audio/ReceiverFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kalvo {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr int Order = 4; // of the low-pass prototype; the band-pass has twice as many poles

} // namespace

ReceiverFilter::ReceiverFilter(double sampleRate, double centreHz, double widthHz) : Rate(sampleRate)
{
    Low = std::max(centreHz - widthHz / 2, LowestEdgeHz);
    High = Low + widthHz;
    if (High > 0.45 * sampleRate) {
        High = 0.45 * sampleRate;
        Low = std::max(High - widthHz, 1.0);
    }
    // Pre-warped edges, so that the bilinear transform puts them where asked.
    const double w1 = 2 * Rate * std::tan(Pi * Low / Rate);
    const double w2 = 2 * Rate * std::tan(Pi * High / Rate);
    const double w0squared = w1 * w2;
    const double bandwidth = w2 - w1;
    // Each prototype pole p becomes two band-pass poles, roots of
    // s^2 - p B s + w0^2; the upper-half-plane ones, with their conjugates,
    // make one section each.
    int section = 0;
    for (int k = 0; k < Order; ++k) {
        const std::complex<double> p = std::polar(1.0, Pi * (2 * k + Order + 1) / (2 * Order));
        const std::complex<double> root = std::sqrt(p * p * bandwidth * bandwidth - 4 * w0squared);
        for (const std::complex<double> s : {(p * bandwidth + root) / 2.0, (p * bandwidth - root) / 2.0}) {
            if (s.imag() <= 0)
                continue;
            const std::complex<double> z = (2 * Rate + s) / (2 * Rate - s);
            Section& q = Sections[static_cast<std::size_t>(section++)];
            q.A1 = 2 * z.real();
            q.A2 = std::norm(z);
        }
    }
    Gain = 1.0;
    Gain = 1.0 / Response(std::clamp(centreHz, Low, High));
}

double ReceiverFilter::Response(double hz) const
{
    const std::complex<double> z1 = std::polar(1.0, -2 * Pi * hz / Rate);
    std::complex<double> h = Gain;
    for (const Section& s : Sections)
        h *= (s.B0 + s.B2 * z1 * z1) / (1.0 - s.A1 * z1 + s.A2 * z1 * z1);
    return std::abs(h);
}

} // namespace kalvo
