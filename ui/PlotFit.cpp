#include "ui/PlotFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

template <typename Read>
std::optional<PlotRange> extent(int count, Read read) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int i = 0; i < count; ++i) {
        const double v = read(i);
        if (!std::isfinite(v)) continue;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (low > high) return std::nullopt;
    return PlotRange{low, high};
}

PlotRange widened(PlotRange r) {
    const double margin = 0.05 * (r.max - r.min);
    return PlotRange{r.min - margin, r.max + margin};
}

}  // namespace

namespace PlotFit {

std::optional<PlotRange> timeRange(const PlotSeries &series) {
    const auto r = extent(series.count(), [&](int i) { return series.time(i); });
    if (!r) return std::nullopt;
    return widened(*r);
}

std::optional<PlotRange> valueRange(const PlotSeries &series) {
    const auto r = extent(series.count(), [&](int i) { return series.value(i); });
    if (!r) return std::nullopt;
    if (r->min < r->max) return widened(*r);
    // The magnitude, so a constant negative series (an ST depression that
    // holds steady) gets a usable range rather than a reversed one.
    const double margin = 0.01 * std::fabs(r->min);
    return PlotRange{r->min - margin, r->min + margin};
}

}  // namespace PlotFit
