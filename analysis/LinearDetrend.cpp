#include "analysis/LinearDetrend.h"

#include "analysis/SignalSource.h"

LinearDetrend::LinearDetrend(double x1, double y1, double x2, double y2, double x3, double y3) {
    // A record too short to hold distinct points has no trend to speak of
    // beyond its level; dividing by zero would fill it with NaN instead.
    if (x2 == x1 || x3 == x1) {
        c0_ = (y1 + y2 + y3) / 3.0;
        return;
    }
    const double r = (x3 - x1) / (x2 - x1);
    const double denominator = (x3 * x3 - x1 * x1) - (x2 * x2 - x1 * x1) * r;
    c2_ = denominator != 0.0 ? ((y3 - y1) - (y2 - y1) * r) / denominator : 0.0;
    c1_ = (y2 - y1) / (x2 - x1) - c2_ * (x2 * x2 - x1 * x1) / (x2 - x1);
    c0_ = y1 - c1_ * x1 - c2_ * x1 * x1;
}

void LinearDetrend::apply(const BlockWindow &window, std::int16_t *out) const {
    const std::int64_t first = window.block * window.n;
    for (int j = 0; j < window.n; ++j) {
        const std::int64_t i = first + j;
        out[j] = i < window.signalLength && window.current
                     ? SignalSource::toSample16(window.current[j] - trendAt(static_cast<double>(i)))
                     : 0;
    }
}
