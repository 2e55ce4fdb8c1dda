#include "tests/support/Spectrum.h"

#include <cmath>
#include <numbers>

namespace kalvo::testing {

double DensityAt(const std::vector<double>& x, double rate, double hz, int segment)
{
    const double pi = std::numbers::pi;
    const double coeff = 2 * std::cos(2 * pi * hz / rate);
    double windowPower = 0.0;
    std::vector<double> window(static_cast<std::size_t>(segment));
    for (int n = 0; n < segment; ++n) {
        window[std::size_t(n)] = 0.5 - 0.5 * std::cos(2 * pi * n / segment);
        windowPower += window[std::size_t(n)] * window[std::size_t(n)];
    }
    double sum = 0.0;
    int count = 0;
    for (std::size_t start = 0; start + std::size_t(segment) <= x.size(); start += std::size_t(segment / 2)) {
        double s1 = 0.0, s2 = 0.0;
        for (int n = 0; n < segment; ++n) {
            const double s = x[start + std::size_t(n)] * window[std::size_t(n)] + coeff * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        sum += s1 * s1 + s2 * s2 - coeff * s1 * s2;
        ++count;
    }
    return count == 0 ? 0.0 : 2.0 * sum / count / (rate * windowPower);
}

double MeanDensity(const std::vector<double>& x, double rate, double lowHz, double highHz, double stepHz)
{
    double sum = 0.0;
    int count = 0;
    for (double hz = lowHz; hz <= highHz + 1e-9; hz += stepHz, ++count)
        sum += DensityAt(x, rate, hz);
    return sum / count;
}

} // namespace kalvo::testing
