#include "analysis/WaveletTables.h"

#include <stdexcept>

namespace {

const std::vector<double> kLowPass{0.125, 0.375, 0.375, 0.125};
const std::vector<double> kHighPass{-2.0, 2.0};

std::vector<double> spread(const std::vector<double> &filter, int factor) {
    std::vector<double> out((filter.size() - 1) * static_cast<std::size_t>(factor) + 1, 0.0);
    for (std::size_t i = 0; i < filter.size(); ++i) out[i * static_cast<std::size_t>(factor)] = filter[i];
    return out;
}

std::vector<double> convolve(const std::vector<double> &a, const std::vector<double> &b) {
    std::vector<double> out(a.size() + b.size() - 1, 0.0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) out[i + j] += a[i] * b[j];
    return out;
}

void checkScale(int scale) {
    if (scale < 1 || scale > WaveletTables::kScaleCount) throw std::invalid_argument("No such wavelet scale");
}

}  // namespace

namespace WaveletTables {

std::vector<double> taps(int scale) {
    checkScale(scale);
    std::vector<double> filter{1.0};
    for (int level = 0; level < scale - 1; ++level) filter = convolve(filter, spread(kLowPass, 1 << level));
    return convolve(filter, spread(kHighPass, 1 << (scale - 1)));
}

int delay(int scale) {
    checkScale(scale);
    // Lengths are 2^(k+1) - 2, so the centre falls between taps D - 1 and D.
    return static_cast<int>(taps(scale).size()) / 2;
}

}  // namespace WaveletTables
