#include "analysis/BlockFilter.h"

#include <algorithm>

double BlockWindow::at(std::int64_t i) const {
    if (i < -n || i >= 2 * static_cast<std::int64_t>(n)) return 0.0;
    if (i < 0) return previous ? previous[i + n] : 0.0;
    if (i < n) return current ? current[i] : 0.0;
    return next ? next[i - n] : 0.0;
}

void BlockWindow::copyTo(double *destination, std::int64_t lo, std::int64_t hi) const {
    const std::int16_t *parts[3] = {previous, current, next};
    std::int64_t i = lo;
    while (i < hi) {
        const std::int64_t part = i < -n ? -1 : i < 0 ? 0 : i < n ? 1 : i < 2 * static_cast<std::int64_t>(n) ? 2 : 3;
        const std::int64_t partStart = (part - 1) * static_cast<std::int64_t>(n);
        const std::int64_t partEnd = part < 0 ? -static_cast<std::int64_t>(n) : part > 2 ? hi : partStart + n;
        const std::int64_t stop = std::min(hi, partEnd);
        const std::int16_t *source = part >= 0 && part <= 2 ? parts[part] : nullptr;
        if (source) {
            for (std::int64_t k = i; k < stop; ++k) destination[k] = source[k - partStart];
        } else {
            std::fill(destination + i, destination + stop, 0.0);
        }
        i = stop;
    }
}

void BlockFilter::applyGroup(const BlockWindow *windows, int count, std::int16_t *const *outs) const {
    for (int k = 0; k < count; ++k) apply(windows[k], outs[k]);
}
