#pragma once
// One lead's recent stretch of the four wavelet scales as truncated integers
// in contiguous arrays, slid forward as the detector advances so each scale
// sample is read from its ring only once.

#include <array>
#include <cstdint>
#include <vector>

class WaveletScales;

class ScaleWindow {
public:
    explicit ScaleWindow(int lead) : lead_(lead) {}

    // Makes [first, end) readable, keeping what is already held. Indexes the
    // scales have not computed yet stay outside (reading 0) and are fetched
    // on a later call; only final values are ever kept.
    void cover(const WaveletScales &scales, std::int64_t first, std::int64_t end);
    void clear();

    std::int64_t first() const { return first_; }
    std::int64_t end() const { return first_ + count_; }

    // Scale k = 1..4 at an absolute index; 0 outside the window.
    int at(int k, std::int64_t index) const {
        if (index < first_ || index >= first_ + count_) return 0;
        return values_[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(offset_ + (index - first_))];
    }

private:
    void append(const WaveletScales &scales, std::int64_t to);

    int lead_;
    std::int64_t first_ = 0;
    std::int64_t count_ = 0;
    std::int64_t offset_ = 0;  // storage position of first_
    std::array<std::vector<int>, 4> values_;
    std::vector<double> scratch_;
};
