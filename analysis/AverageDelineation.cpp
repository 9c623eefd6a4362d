// Average-beat delineation. All windows are stated for 250 samples/s; the
// fractions of a second they stand for are truncated to whole samples.
#include "analysis/AverageDelineation.h"

#include "analysis/AverageWaveletScales.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kQrsHalfWindow = 25;  // 0.1 s either side of R
constexpr int kQrsMargin = 5;       // 0.02 s beyond the main QRS slopes
constexpr int kFurtherSearch = 12;  // 0.05 s beyond them for a further wave
constexpr int kFurtherMargin = 2;   // 0.01 s beyond that wave's slope
constexpr int kPBeforeOnset = 50;   // 0.2 s
constexpr int kPBeforeR = 62;       // 0.25 s, when no QRS onset was found
constexpr int kPClearOfR = 12;      // 0.05 s, keeps the R upstroke out then
constexpr int kPGapToQrs = 1;       // 0.005 s
constexpr int kPMargin = 5;         // 0.02 s
constexpr int kTAfterR = 25;        // 0.1 s
constexpr int kTWindowEnd = 100;    // 0.4 s after R at normal rates
constexpr int kSlowCycle = 175;     // 0.7 s
constexpr int kTMargin = 10;        // 0.04 s

struct Extremum {
    int index = -1;
    double value = 0.0;
    bool found() const { return index >= 0; }
};

// A strict extremum: higher (sign +1) or lower (sign -1) than both
// neighbours. A run of equal values counts as one point, the first of the
// run: an average of a single beat holds whole sample values, and its scales
// often reach the same value on two samples at the turn of a slope.
bool isExtremum(const std::vector<double> &w, int i, int sign) {
    const int n = static_cast<int>(w.size());
    const double v = sign * w[static_cast<std::size_t>(i)];
    if (!(v > sign * w[static_cast<std::size_t>(i - 1)])) return false;
    int j = i + 1;
    while (j < n && sign * w[static_cast<std::size_t>(j)] == v) ++j;
    return j < n && sign * w[static_cast<std::size_t>(j)] < v;
}

// The strongest strict extremum of the given sign in [from, to] whose
// magnitude exceeds `threshold`; not found when there is none.
Extremum strongest(const std::vector<double> &w, int from, int to, int sign, double threshold) {
    const int n = static_cast<int>(w.size());
    from = std::max(from, 1);
    to = std::min(to, n - 2);
    Extremum best;
    for (int i = from; i <= to; ++i) {
        const double v = w[static_cast<std::size_t>(i)];
        if (sign * v <= threshold || !isExtremum(w, i, sign)) continue;
        if (!best.found() || sign * v > sign * best.value) best = {i, v};
    }
    return best;
}

struct Slopes {
    Extremum first;
    Extremum second;
};

// A wave shows on a scale as a pair of opposite extrema, one per slope. Both
// must be there, or there is no wave.
bool dominantPair(const std::vector<double> &w, int from, int to, double threshold, Slopes *slopes) {
    const Extremum positive = strongest(w, from, to, +1, threshold);
    const Extremum negative = strongest(w, from, to, -1, threshold);
    if (!positive.found() || !negative.found()) return false;
    const bool positiveFirst = positive.index < negative.index;
    slopes->first = positiveFirst ? positive : negative;
    slopes->second = positiveFirst ? negative : positive;
    return true;
}

// The first sample after `from`, up to `to`, where the scale has left the
// sign it has at `from`: the peak between two opposite slopes.
int zeroCrossing(const std::vector<double> &w, int from, int to) {
    const double reference = w[static_cast<std::size_t>(from)];
    for (int i = from + 1; i < to; ++i)
        if (w[static_cast<std::size_t>(i)] * reference <= 0.0) return i;
    return to;
}

double rms(const std::vector<double> &w) {
    if (w.empty()) return 0.0;
    double sum = 0.0;
    for (double v : w) sum += v * v;
    return std::sqrt(sum / static_cast<double>(w.size()));
}

void delineateQrs(const std::vector<double> &w2, int r, double epsilon, AverageDelineation &d) {
    const int n = static_cast<int>(w2.size());
    Slopes main;
    if (!dominantPair(w2, r - kQrsHalfWindow, r + kQrsHalfWindow, epsilon, &main)) return;
    const int first = main.first.index;
    const int second = main.second.index;
    d.r = zeroCrossing(w2, first, second);
    d.qrsOnset = std::max(first - kQrsMargin, 0);
    d.qrsEnd = std::min(second + kQrsMargin, n - 1);

    // A small wave ahead of the main one (a q before R, an r before S) has a
    // slope of the opposite sign just before the first main slope.
    const double minor = 0.1 * epsilon;
    const int firstSign = main.first.value > 0.0 ? 1 : -1;
    const Extremum before = strongest(w2, first - kFurtherSearch, first - 1, -firstSign, minor);
    if (before.found()) {
        d.qrsOnset = std::max(before.index - kFurtherMargin, 0);
        d.q = zeroCrossing(w2, before.index, first);
    }
    const int secondSign = main.second.value > 0.0 ? 1 : -1;
    const Extremum after = strongest(w2, second + 1, second + kFurtherSearch, -secondSign, minor);
    if (after.found()) {
        d.s = zeroCrossing(w2, second, after.index);
        int end = after.index + kFurtherMargin;
        // The end is where that last slope has flattened to half its steepest.
        while (end < n - 1 && std::fabs(w2[static_cast<std::size_t>(end)]) >= 0.5 * std::fabs(after.value)) ++end;
        d.qrsEnd = std::min(end, n - 1);
    }
}

void delineateP(const std::vector<double> &w4, int r, int rr, double kappa, AverageDelineation &d) {
    int from = r - kPBeforeR;
    int to = r - kPClearOfR;
    if (d.qrsOnset > 0) {
        from = d.qrsOnset - kPBeforeOnset;
        if (rr > 0) from = std::max(from, r - static_cast<int>(0.4 * rr));
        to = d.qrsOnset - kPGapToQrs;
    }
    Slopes p;
    if (!dominantPair(w4, from, to, 0.15 * kappa, &p)) return;
    d.pPeak = zeroCrossing(w4, p.first.index, p.second.index);
    d.pOnset = std::max(p.first.index - kPMargin, 0);
    d.pEnd = p.second.index + kPMargin;
    if (d.qrsOnset > 0) d.pEnd = std::min(d.pEnd, d.qrsOnset - 1);
}

void delineateT(const std::vector<double> &w4, int r, int rr, double kappa, AverageDelineation &d) {
    const int n = static_cast<int>(w4.size());
    const int from = r + kTAfterR;
    int to = rr > 0 && rr < kSlowCycle ? r + static_cast<int>(0.5 * rr) : r + kTWindowEnd;
    to = std::min(to, n - 3);
    Slopes t;
    if (!dominantPair(w4, from, to, 0.2 * kappa, &t)) return;
    d.tPeak = zeroCrossing(w4, t.first.index, t.second.index);
    d.tOnset = std::max(t.first.index - kTMargin, 0);
    d.tEnd = std::min(t.second.index + kTMargin, n - 1);
}

}  // namespace

AverageDelineation delineateAverage(const std::vector<double> &average, int rPosition, int expectedRrSamples) {
    AverageDelineation d;
    const int n = static_cast<int>(average.size());
    if (n < 3 || rPosition < 0 || rPosition >= n) return d;
    const AverageWaveletScales scales(average);
    const double epsilon = 1.25 * rms(scales.scale(2));
    const double kappa = 0.5 * rms(scales.scale(4));
    delineateQrs(scales.scale(2), rPosition, epsilon, d);
    delineateP(scales.scale(4), rPosition, expectedRrSamples, kappa, d);
    delineateT(scales.scale(4), rPosition, expectedRrSamples, kappa, d);
    return d;
}
