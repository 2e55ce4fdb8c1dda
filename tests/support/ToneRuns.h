// Runs of tone in a stream of samples: where sound starts and how long it
// lasts. A sample at least `threshold` away from zero is loud; a run is a
// stretch from one loud sample to the last loud sample before a quiet spell of
// more than `bridge` samples. Shorter quiet spells (the waveform crossing zero,
// the ramps of one tone) do not split a run. The window tests look at exact
// samples (threshold 1: anything but zero); recordings from a sound server
// need a threshold above the noise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kalvo::testing {

struct Run {
    std::size_t Start; // index of the first loud sample
    std::size_t Length; // up to and including the last loud sample
};

std::vector<Run> ToneRuns(const std::vector<std::int16_t>& samples, std::size_t bridge, int threshold = 1);

} // namespace kalvo::testing
