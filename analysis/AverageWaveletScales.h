#pragma once
// The dyadic wavelet scales 2^1..2^4 of an average beat: smoothed derivatives
// of growing width, each aligned so index m describes the step from m to m + 1.

#include <array>
#include <vector>

class AverageWaveletScales {
public:
    static constexpr int kLevels = 4;

    explicit AverageWaveletScales(const std::vector<double> &signal);

    // Scale 2^level, level 1..4; as long as the signal.
    const std::vector<double> &scale(int level) const { return scales_.at(static_cast<std::size_t>(level - 1)); }

    // The taps of scale 2^level, for y[m] = sum q[k] x[m + D - k] with D = taps / 2:
    // the difference (-2, 2) spread by the binomial smoother (1, 3, 3, 1) / 8
    // with holes, W_j = h * h^2 * ... * h^(2^(j-2)) * g^(2^(j-1)).
    static std::vector<double> filter(int level);

private:
    std::array<std::vector<double>, kLevels> scales_;
};
