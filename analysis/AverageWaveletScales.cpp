// Wavelet scales of an average beat by direct convolution. An average is a
// few hundred samples, so there is no need for the a-trous cascade.
#include "analysis/AverageWaveletScales.h"

#include "analysis/WaveletTables.h"

#include <algorithm>
#include <stdexcept>

std::vector<double> AverageWaveletScales::filter(int level) {
    if (level < 1 || level > kLevels) throw std::out_of_range("wavelet level must be 1 to 4");
    // The detector's own scale filters: one rule builds both.
    return WaveletTables::taps(level);
}

AverageWaveletScales::AverageWaveletScales(const std::vector<double> &signal) {
    const int n = static_cast<int>(signal.size());
    for (int level = 1; level <= kLevels; ++level) {
        const std::vector<double> taps = filter(level);
        const int length = static_cast<int>(taps.size());
        const int delay = length / 2;
        std::vector<double> &out = scales_[static_cast<std::size_t>(level - 1)];
        out.assign(signal.size(), 0.0);
        // Outside the average the edge values continue: the average starts
        // and ends on the baseline of its own segment, and zero padding would
        // put a false step wherever that baseline is not zero.
        for (int m = 0; m < n; ++m) {
            double sum = 0.0;
            for (int k = 0; k < length; ++k) {
                const int index = std::clamp(m + delay - k, 0, n - 1);
                sum += taps[static_cast<std::size_t>(k)] * signal[static_cast<std::size_t>(index)];
            }
            out[static_cast<std::size_t>(m)] = sum;
        }
    }
}
