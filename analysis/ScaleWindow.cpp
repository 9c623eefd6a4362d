#include "analysis/ScaleWindow.h"

#include "analysis/WaveletScales.h"

#include <algorithm>
#include <cmath>

namespace {

// A scale value as the detector reads it: truncated toward zero.
int truncated(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

}  // namespace

void ScaleWindow::clear() {
    first_ = 0;
    count_ = 0;
    offset_ = 0;
}

void ScaleWindow::cover(const WaveletScales &scales, std::int64_t first, std::int64_t end) {
    if (end <= first) return;
    if (count_ == 0 || first < first_ || first > first_ + count_) {
        clear();
        first_ = first;
    } else {
        offset_ += first - first_;
        count_ -= first - first_;
        first_ = first;
    }
    append(scales, std::min(end, scales.available()));
}

void ScaleWindow::append(const WaveletScales &scales, std::int64_t to) {
    const std::int64_t from = first_ + count_;
    if (to <= from) return;
    const auto n = static_cast<std::size_t>(to - from);
    const auto used = static_cast<std::size_t>(count_);
    if (static_cast<std::size_t>(offset_) + used + n > values_[0].size()) {
        // Slide the kept values to the front; grow only when they still
        // do not fit, so steady running allocates nothing.
        for (auto &v : values_) {
            std::copy(v.begin() + offset_, v.begin() + offset_ + count_, v.begin());
            if (used + n > v.size()) v.resize(std::max(used + n, 2 * v.size()));
        }
        offset_ = 0;
    }
    if (scratch_.size() < n) scratch_.resize(n);
    for (int k = 1; k <= 4; ++k) {
        scales.scale(k).readRange(lead_, from, static_cast<int>(n), scratch_.data());
        int *out = values_[static_cast<std::size_t>(k - 1)].data() + offset_ + count_;
        for (std::size_t i = 0; i < n; ++i) out[i] = truncated(scratch_[i]);
    }
    count_ += static_cast<std::int64_t>(n);
}
