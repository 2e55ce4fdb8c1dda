// Power spectral density by Welch's method, read at single frequencies
// (Goertzel's recurrence on Hann-windowed, half-overlapping segments): the
// one-sided density in squared sample units per hertz.
#pragma once

#include <vector>

namespace kalvo::testing {

double DensityAt(const std::vector<double>& x, double rate, double hz, int segment = 1024);
// The mean density over [lowHz, highHz], read every stepHz.
double MeanDensity(const std::vector<double>& x, double rate, double lowHz, double highHz, double stepHz = 4.0);

} // namespace kalvo::testing
