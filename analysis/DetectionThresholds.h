#pragma once
// The per-run detection thresholds of one lead, from the energy of each
// wavelet scale over the last four seconds, kept as running integer sums.

#include <array>
#include <cstdint>
#include <vector>

class WaveletScales;

struct DetectionThresholds {
    std::array<double, 4> epsilon{};  // scale 2^k at index k - 1
    double rms4 = 0.0;                // root mean square of scale 2^4

    double at(int k) const { return epsilon[static_cast<std::size_t>(k - 1)]; }
    DetectionThresholds scaled(double factor) const {
        DetectionThresholds t = *this;
        for (double &e : t.epsilon) e *= factor;
        return t;
    }
};

class ScaleEnergy {
public:
    // Sums over the `span` samples before the current end.
    ScaleEnergy(int lead, int span) : lead_(lead), span_(span) {}

    // Moves the end of the summed stretch to `end` and returns the thresholds:
    // with S_k the sum of squared (truncated) scale values over the n samples
    // summed, e1 = sqrt(S1/n), e2 = 1.25 sqrt(S2/n), e3 = 1.25 sqrt(S3/n),
    // e4 = 0.5 sqrt(S4/n). Until the scales have run for a whole span, the
    // stretch is what they hold from their start (look-ahead included): the
    // seconds before the recording are not there to be averaged as silence,
    // which would let the first T waves pass as beats.
    DetectionThresholds advance(const WaveletScales &scales, std::int64_t end);
    void reset() { valid_ = false; }

    std::int64_t sum(int k) const { return sums_[static_cast<std::size_t>(k - 1)]; }
    DetectionThresholds thresholds() const;

private:
    std::int64_t squares(const WaveletScales &scales, int k, std::int64_t first, std::int64_t end);

    int lead_;
    int span_;
    std::int64_t count_ = 0;  // samples summed
    bool valid_ = false;
    std::int64_t end_ = 0;
    std::array<std::int64_t, 4> sums_{};
    std::vector<double> scratch_;
};
