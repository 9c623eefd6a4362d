// Wavelet scales of an average beat by direct convolution. An average is a
// few hundred samples, so there is no need for the a-trous cascade.
#include "analysis/AverageWaveletScales.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Inserts factor - 1 zeros between the taps.
std::vector<double> upsampled(const std::vector<double> &taps, int factor)
{
    std::vector<double> out((taps.size() - 1) * static_cast<std::size_t>(factor) + 1, 0.0);
    for (std::size_t k = 0; k < taps.size(); ++k) out[k * static_cast<std::size_t>(factor)] = taps[k];
    return out;
}

std::vector<double> convolved(const std::vector<double> &a, const std::vector<double> &b)
{
    std::vector<double> out(a.size() + b.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) out[i + j] += a[i] * b[j];
    return out;
}

}  // namespace

std::vector<double> AverageWaveletScales::filter(int level)
{
    if (level < 1 || level > kLevels) throw std::out_of_range("wavelet level must be 1 to 4");
    const std::vector<double> smoother{0.125, 0.375, 0.375, 0.125};
    const std::vector<double> difference{-2.0, 2.0};
    std::vector<double> taps{1.0};
    for (int j = 0; j < level - 1; ++j) taps = convolved(taps, upsampled(smoother, 1 << j));
    return convolved(taps, upsampled(difference, 1 << (level - 1)));
}

AverageWaveletScales::AverageWaveletScales(const std::vector<double> &signal)
{
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
