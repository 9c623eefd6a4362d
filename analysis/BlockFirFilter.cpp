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
    // Four outputs at a time: each sum is still taken tap by tap in order,
    // but four independent sums keep the adder busy where one would wait
    // on each addition.
    const double *h = taps_.data();
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        const double *base = origin + j + delay_;
        double sum[4] = {0.0, 0.0, 0.0, 0.0};
        for (int k = 0; k < length; ++k)
            for (int q = 0; q < 4; ++q) sum[q] += h[k] * base[q - k];
        for (int q = 0; q < 4; ++q) out[j + q] = SignalSource::toSample16(sum[q]);
    }
    for (; j < n; ++j) {
        const double *base = origin + j + delay_;
        double sum = 0.0;
        for (int k = 0; k < length; ++k) sum += h[k] * base[-k];
        out[j] = SignalSource::toSample16(sum);
    }
}
