#include "analysis/DetectionThresholds.h"

#include "analysis/WaveletScales.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr std::array<double, 4> kFactors{1.0, 1.25, 1.25, 0.5};
constexpr int kChunk = 4096;
}  // namespace

std::int64_t ScaleEnergy::squares(const WaveletScales &scales, int k, std::int64_t first, std::int64_t end) {
    std::int64_t sum = 0;
    if (scratch_.size() < static_cast<std::size_t>(kChunk)) scratch_.resize(kChunk);
    for (std::int64_t at = first; at < end; at += kChunk) {
        const int n = static_cast<int>(std::min<std::int64_t>(kChunk, end - at));
        scales.scale(k).readRange(lead_, at, n, scratch_.data());
        for (int i = 0; i < n; ++i) {
            // Integer products of the truncated values, so the running sum
            // is exact and adding then removing a sample leaves no residue.
            const auto v = static_cast<std::int64_t>(std::trunc(scratch_[static_cast<std::size_t>(i)]));
            sum += v * v;
        }
    }
    return sum;
}

DetectionThresholds ScaleEnergy::advance(const WaveletScales &scales, std::int64_t end) {
    if (end - scales.startPosition() < span_) {
        const std::int64_t first = scales.startPosition();
        const std::int64_t last = std::max(first + 1, std::min(scales.available(), first + span_));
        for (int k = 1; k <= 4; ++k) sums_[static_cast<std::size_t>(k - 1)] = squares(scales, k, first, last);
        count_ = last - first;
        valid_ = false;  // the running sum starts once a whole span is there
        return thresholds();
    }
    // A removed sample must read as it did when added: recount whenever the
    // leaving stretch is no longer held (or the step is a whole span).
    const bool recount =
        !valid_ || end < end_ || end - end_ >= span_ || std::max<std::int64_t>(end_ - span_, 0) < scales.firstHeld();
    for (int k = 1; k <= 4; ++k) {
        std::int64_t &s = sums_[static_cast<std::size_t>(k - 1)];
        if (recount)
            s = squares(scales, k, end - span_, end);
        else
            s += squares(scales, k, end_, end) - squares(scales, k, end_ - span_, end - span_);
    }
    valid_ = true;
    end_ = end;
    count_ = span_;
    return thresholds();
}

DetectionThresholds ScaleEnergy::thresholds() const {
    DetectionThresholds t;
    const auto n = static_cast<double>(count_);
    for (std::size_t i = 0; i < 4; ++i) t.epsilon[i] = kFactors[i] * std::sqrt(static_cast<double>(sums_[i]) / n);
    t.rms4 = std::sqrt(static_cast<double>(sums_[3]) / n);
    return t;
}
