#include "analysis/BlockFirFilter.h"

#include "analysis/SignalSource.h"

#include <algorithm>

BlockFirFilter::BlockFirFilter(const double *taps, int length, int delay) : taps_(taps, taps + length), delay_(delay) {}

void BlockFirFilter::apply(const BlockWindow &window, std::int16_t *out) const {
    const int n = window.n;
    const int length = static_cast<int>(taps_.size());
    // y[j] = sum h[k] x[j + D - k] reads x from D - (L - 1) to n - 1 + D; the
    // window is copied once into a contiguous run over that span (zeros where
    // it has no data) so the tap loop needs no bounds checks.
    const std::int64_t lo = std::min<std::int64_t>(0, delay_ - (length - 1));
    const std::int64_t hi = std::max<std::int64_t>(n, n + delay_);
    std::vector<double> x(static_cast<std::size_t>(hi - lo));
    double *origin = x.data() - lo;
    window.copyTo(origin, lo, hi);
    for (int j = 0; j < n; ++j) {
        const double *base = origin + j + delay_;
        double sum = 0.0;
        for (int k = 0; k < length; ++k) sum += taps_[k] * base[-k];
        out[j] = SignalSource::toSample16(sum);
    }
}
