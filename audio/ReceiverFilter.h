// ReceiverFilter: a receiver's band-pass filter, as the band's noise, a second
// station and static reach the ear through it.
//
// An eighth-order Butterworth band-pass (four biquad sections, from the
// analogue prototype by the bilinear transform with its edges pre-warped), so
// its -3 dB points lie exactly on the band's edges and, being a recursive
// filter of high order, it rings as a real narrow filter does: a static crash
// through 250 Hz comes out as a short tone at the filter's pitch.
//
// The band is `width` hertz wide and centred on `centreHz` (the tone), except
// where the tone is too low for that: the band then begins at LowestEdgeHz,
// as a receiver's audio does (a 2.7 kHz filter below a 800 Hz tone passes 200
// to 2900 Hz); it never reaches above 45% of the sampling rate. The gain at
// the tone is exactly 1, so a noise density there is the density heard.
#pragma once

#include <array>

namespace kalvo {

class ReceiverFilter {
public:
    static constexpr double LowestEdgeHz = 200.0;

    ReceiverFilter(double sampleRate, double centreHz, double widthHz);

    double Next(double x)
    {
        for (Section& s : Sections) {
            const double y = s.B0 * x + s.Z1;
            s.Z1 = s.A1 * y + s.Z2;
            s.Z2 = s.B2 * x - s.A2 * y;
            x = y;
        }
        return x * Gain;
    }

    double LowHz() const { return Low; }
    double HighHz() const { return High; }
    // The magnitude of the response at a frequency.
    double Response(double hz) const;

private:
    // y = b0 x + b2 x[-2] - a1' y[-1] - a2 y[-2] with b1 = 0, b2 = -b0
    // (a zero at each end of the spectrum); A1 holds -a1.
    struct Section {
        double B0 = 1, B2 = -1, A1 = 0, A2 = 0;
        double Z1 = 0, Z2 = 0;
    };
    std::array<Section, 4> Sections{};
    double Gain = 1.0;
    double Rate;
    double Low;
    double High;
};

} // namespace kalvo
