#include "analysis/BeatLeadCheck.h"

#include <algorithm>

namespace {

// Runs of two or more consecutive samples within 2 units of an extreme.
struct ExtremeRuns {
    int runs = 0;
    int samples = 0;
};

template <typename Near>
ExtremeRuns runsWhere(const double *x, int count, Near near) {
    ExtremeRuns result;
    int length = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && near(x[i])) {
            ++length;
            continue;
        }
        if (length >= 2) {
            ++result.runs;
            result.samples += length;
        }
        length = 0;
    }
    return result;
}

}  // namespace

BeatLeadCheck::BeatLeadCheck(const SignalSource &analysis)
    : source_(analysis), rate_(analysis.samplingRate()), filter_(FirTables::amplitudeNoiseFilter()) {
    window_.resize(static_cast<std::size_t>(3 * rate_ + filter_.length));
}

const double *BeatLeadCheck::read(int channel, std::int64_t first, int count) {
    double *out = window_.data();
    const std::int64_t length = source_.length();
    const std::int64_t from = std::max<std::int64_t>(first, 0);
    const std::int64_t to = std::min<std::int64_t>(first + count, length);
    if (from >= to) {
        const double nearest = length > 0 ? source_.readSample(channel, first < 0 ? 0 : length - 1) : 0.0;
        std::fill(out, out + count, nearest);
        return out;
    }
    const int before = static_cast<int>(from - first);
    const int held = static_cast<int>(to - from);
    source_.readRange(channel, from, held, out + before);
    std::fill(out, out + before, out[before]);
    std::fill(out + before + held, out + count, out[before + held - 1]);
    return out;
}

bool BeatLeadCheck::clipped(int channel, std::int64_t fiducial) {
    const int count = rate_;
    const double *x = read(channel, fiducial - rate_ / 2, count);
    const auto [lo, hi] = std::minmax_element(x, x + count);
    const double h = static_cast<double>(std::int64_t{1} << std::clamp(source_.resolutionBits() - 2, 0, 62));
    if (h > *hi - 2.0 && *lo + 2.0 > -h) return false;

    const double low = *lo;
    const double high = *hi;
    const ExtremeRuns atLow = runsWhere(x, count, [low](double v) { return v <= low + 2.0; });
    const ExtremeRuns atHigh = runsWhere(x, count, [high](double v) { return v >= high - 2.0; });
    const int longest = rate_ * 35 / 100;
    return atLow.runs > 3 || atHigh.runs > 3 || atLow.samples > longest || atHigh.samples > longest;
}

std::pair<double, double> BeatLeadCheck::filteredRange(int channel, std::int64_t first, int count, double enough) {
    // Output i is the filter centred on sample first + i (the table's delay
    // taken out), so the stretch's edges use real neighbours.
    const int taps = filter_.length;
    const double *x = read(channel, first + filter_.delay - (taps - 1), count + taps - 1);
    const double *h = filter_.taps;
    double lowest = 0.0;
    double highest = 0.0;
    for (int i = 0; i < count; ++i) {
        const double *newest = x + i + taps - 1;
        double y = 0.0;
        for (int k = 0; k < taps; ++k) y += h[k] * newest[-k];
        if (i == 0) {
            lowest = highest = y;
        } else {
            lowest = std::min(lowest, y);
            highest = std::max(highest, y);
        }
        // Nothing later can make the range smaller.
        if (enough > 0.0 && highest - lowest >= enough) break;
    }
    return {lowest, highest};
}

bool BeatLeadCheck::weak(int channel, std::int64_t fiducial) {
    const int bits = source_.resolutionBits();
    const double full = static_cast<double>(std::int64_t{1} << std::clamp(bits, 0, 62));
    const double needed = bits > 12 ? full / 2048.0 : full / 32.0;
    const auto [lowest, highest] = filteredRange(channel, fiducial - 2 * rate_, 3 * rate_, needed);
    return highest - lowest < needed;
}

double BeatLeadCheck::activity(int channel, std::int64_t fiducial) {
    const int half = static_cast<int>(kActivityReach * rate_);
    const auto [lowest, highest] = filteredRange(channel, fiducial - half, 2 * half + 1, 0.0);
    return highest - lowest;
}
