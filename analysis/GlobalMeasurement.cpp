#include "analysis/GlobalMeasurement.h"

#include "analysis/ChannelTable.h"
#include "analysis/RestingValues.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRAt = 0.3;  // seconds into every average
constexpr double kPi = 3.14159265358979323846;
constexpr int kStandardLeads = 12;  // "I" .. "V6" in the channel table
constexpr double kFlatUnits = 10.0;
constexpr double kNoiseShare = 0.1;

// Smoothing (seconds): light for the QRS slopes, broad for P and T.
constexpr double kSlopeSmoothing = 0.008;
constexpr double kWaveSmoothing = 0.040;
constexpr double kResidueSmoothing = 0.020;
// Where the spatial curves are searched, relative to R or to the limits found.
constexpr double kQrsPeakReach = 0.060;
constexpr double kQrsMaxHalf = 0.120;
constexpr double kIsoelectricSpan = 0.012;  // level taken just before the QRS onset
constexpr double kPFirst = 0.300, kPLast = 0.040;
// A P hump's sides fall below this share of its height.
constexpr double kPDistinct = 0.45;
constexpr double kPLongest = 0.25;
constexpr double kTAfterQrs = 0.080;
constexpr double kTMaxAfterR = 0.49;  // the average ends 0.5 s after R
constexpr double kBeforeNextR = 0.1;

struct Fractions {
    double qrsOnset, qrsOffset, pOnset, pOffset, tOffset;
};
// Share of a curve's peak (above its floor) at which a limit is placed. The
// QRS limits mostly end at a trough of the velocity below kQrsValley; the
// lower level serves where the curve falls steadily.
constexpr Fractions kFractions{0.005, 0.005, 0.05, 0.05, 0.05};
constexpr double kQrsValley = 0.03;

std::vector<double> movingAverage(const std::vector<double> &x, int half) {
    const int n = static_cast<int>(x.size());
    std::vector<double> prefix(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) prefix[static_cast<std::size_t>(i) + 1] = prefix[static_cast<std::size_t>(i)] + x[i];
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int a = std::max(0, i - half), b = std::min(n, i + half + 1);
        y[static_cast<std::size_t>(i)] =
            (prefix[static_cast<std::size_t>(b)] - prefix[static_cast<std::size_t>(a)]) / (b - a);
    }
    return y;
}

// Central slope per sample.
std::vector<double> slope(const std::vector<double> &x) {
    const int n = static_cast<int>(x.size());
    std::vector<double> d(static_cast<std::size_t>(n), 0.0);
    for (int i = 1; i + 1 < n; ++i) d[static_cast<std::size_t>(i)] = 0.5 * (x[i + 1] - x[i - 1]);
    return d;
}

int argMax(const std::vector<double> &c, int first, int last) {
    int best = first;
    for (int i = first; i <= last; ++i)
        if (c[static_cast<std::size_t>(i)] > c[static_cast<std::size_t>(best)]) best = i;
    return best;
}

double minimum(const std::vector<double> &c, int first, int last) {
    return *std::min_element(c.begin() + first, c.begin() + last + 1);
}

// Walking from `peak` by `step` (-1 or +1) until `stop`, the first index where
// the curve falls to `level` or below, or turns upwards again at or below
// `valley`; none when neither happens.
std::optional<int> fallBelow(const std::vector<double> &c, int peak, int step, int stop, double level,
                             double valley = 0.0) {
    const auto at = [&c](int i) { return c[static_cast<std::size_t>(i)]; };
    for (int i = peak; step < 0 ? i >= stop : i <= stop; i += step) {
        if (at(i) <= level) return i;
        const int next = i + step;
        if (at(i) <= valley && next >= 0 && next < static_cast<int>(c.size()) && at(next) > at(i)) return i;
    }
    return std::nullopt;
}

bool isNoisy(const std::vector<double> &x, int rate, int r) {
    const std::vector<double> smooth = movingAverage(x, std::max(1, static_cast<int>(kResidueSmoothing * rate / 2)));
    const int qrsFrom = r - static_cast<int>(0.06 * rate), qrsTo = r + static_cast<int>(0.08 * rate);
    double sum = 0.0;
    int count = 0;
    for (int i = 0; i < static_cast<int>(x.size()); ++i) {
        if (i >= qrsFrom && i <= qrsTo) continue;
        const double e = x[static_cast<std::size_t>(i)] - smooth[static_cast<std::size_t>(i)];
        sum += e * e;
        ++count;
    }
    const auto [lo, hi] = std::minmax_element(x.begin() + std::max(0, qrsFrom),
                                              x.begin() + std::min(static_cast<int>(x.size()), qrsTo + 1));
    return count > 0 && std::sqrt(sum / count) > kNoiseShare * (*hi - *lo);
}

int channelNamed(const std::vector<QString> &names, const char *name) {
    const auto it = std::find(names.begin(), names.end(), QLatin1String(name));
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

// Frontal axis from the areas of one wave in leads I and III, in degrees.
std::optional<double> areaAxis(const std::vector<double> &leadI, const std::vector<double> &leadIII, int from, int to,
                               int isoelectric) {
    double areaI = 0.0, areaIII = 0.0;
    for (int i = from; i <= to; ++i) {
        areaI += leadI[static_cast<std::size_t>(i)] - leadI[static_cast<std::size_t>(isoelectric)];
        areaIII += leadIII[static_cast<std::size_t>(i)] - leadIII[static_cast<std::size_t>(isoelectric)];
    }
    if (areaI == 0.0 && areaIII == 0.0) return std::nullopt;
    return std::atan2(2.0 * areaIII + areaI, std::sqrt(3.0) * areaI) * 180.0 / kPi;
}

}  // namespace

std::vector<std::pair<ResultName, double>> GlobalMeasurement::entries() const {
    const auto orZero = [](const std::optional<double> &v) { return v.value_or(0.0); };
    const auto orNoAxis = [](const std::optional<double> &v) { return v.value_or(kNoAxis); };
    return {{Result::GlobalPOnset, orZero(pOnset)},
            {Result::GlobalPOffset, orZero(pOffset)},
            {Result::GlobalQrsOnset, orZero(qrsOnset)},
            {Result::GlobalQrsOffset, orZero(qrsOffset)},
            {Result::GlobalTOffset, orZero(tOffset)},
            {Result::GlobalPr, orZero(pr)},
            {Result::GlobalPDuration, orZero(pDuration)},
            {Result::GlobalQrsDuration, orZero(qrsDuration)},
            {Result::GlobalQt, orZero(qt)},
            {Result::GlobalQtcBazett, orZero(qtcBazett)},
            {Result::GlobalQtcFridericia, orZero(qtcFridericia)},
            {Result::GlobalHeartRate, orZero(heartRateBpm)},
            {Result::GlobalPAxis, orNoAxis(pAxis)},
            {Result::GlobalQrsAxis, orNoAxis(qrsAxis)},
            {Result::GlobalTAxis, orNoAxis(tAxis)}};
}

GlobalMeasurement measureGlobal(const std::vector<std::vector<double>> &averages,
                                const std::vector<QString> &channelNames, int rate, double meanRrSeconds) {
    GlobalMeasurement g;
    if (rate <= 0 || averages.empty()) return g;
    const int n = static_cast<int>(averages.front().size());
    const int r = static_cast<int>(kRAt * rate);
    if (n < r + static_cast<int>(0.2 * rate)) return g;
    if (meanRrSeconds > 0.0) g.heartRateBpm = 60.0 / meanRrSeconds;

    // The standard leads when the record has any, else every lead it has.
    std::vector<int> candidates;
    for (int k = 0; k < static_cast<int>(averages.size()); ++k) {
        const int table = k < static_cast<int>(channelNames.size()) ? ChannelTable::indexOf(channelNames[k]) : -1;
        if (table >= 0 && table < kStandardLeads) candidates.push_back(k);
    }
    if (candidates.empty())
        for (int k = 0; k < static_cast<int>(averages.size()); ++k) candidates.push_back(k);
    for (int k : candidates) {
        const std::vector<double> &x = averages[static_cast<std::size_t>(k)];
        if (static_cast<int>(x.size()) != n) continue;
        const auto [lo, hi] = std::minmax_element(x.begin(), x.end());
        if (*hi - *lo < kFlatUnits || isNoisy(x, rate, r)) continue;
        g.leads.push_back(k);
    }
    if (g.leads.empty()) return g;

    // Spatial velocity for the QRS.
    const int slopeHalf = std::max(1, static_cast<int>(kSlopeSmoothing * rate / 2));
    std::vector<double> velocity(static_cast<std::size_t>(n), 0.0);
    for (int k : g.leads) {
        const std::vector<double> d = slope(movingAverage(averages[static_cast<std::size_t>(k)], slopeHalf));
        for (int i = 0; i < n; ++i)
            velocity[static_cast<std::size_t>(i)] += d[static_cast<std::size_t>(i)] * d[static_cast<std::size_t>(i)];
    }
    for (double &v : velocity) v = std::sqrt(v);
    const int reach = static_cast<int>(kQrsPeakReach * rate);
    const int peak = argMax(velocity, std::max(1, r - reach), std::min(n - 2, r + reach));
    const double floor = minimum(velocity, 1, n - 2);
    const double top = velocity[static_cast<std::size_t>(peak)] - floor;
    if (top <= 0.0) return g;
    const int half = static_cast<int>(kQrsMaxHalf * rate);
    // Where an irregular baseline (atrial fibrillation waves, noise) keeps the
    // velocity above the level, the quietest point within reach is the limit.
    const int onFirst = std::max(1, peak - half), offLast = std::min(n - 2, peak + half);
    const auto quietest = [&velocity](int first, int last) {
        return static_cast<int>(std::min_element(velocity.begin() + first, velocity.begin() + last + 1) -
                                velocity.begin());
    };
    // A neighbouring wave (the end of a P wave over a short PR segment, a
    // steep ST segment) can hold the velocity above that level: a trough
    // below a higher level ends the walk as well.
    const double valley = floor + kQrsValley * top;
    const std::optional<int> qrsOn = fallBelow(velocity, peak, -1, onFirst, floor + kFractions.qrsOnset * top, valley)
                                         .value_or(quietest(onFirst, peak));
    const std::optional<int> qrsOff = fallBelow(velocity, peak, +1, offLast, floor + kFractions.qrsOffset * top, valley)
                                          .value_or(quietest(peak, offLast));
    const auto seconds = [&](int i) { return static_cast<double>(i) / rate - kRAt; };
    g.qrsOnset = seconds(*qrsOn);
    g.qrsOffset = seconds(*qrsOff);
    g.qrsDuration = *g.qrsOffset - *g.qrsOnset;

    // Spatial magnitude from the isoelectric level before the QRS, for P and T.
    const int isoHalf = std::max(1, static_cast<int>(kIsoelectricSpan * rate / 2));
    const int iso = std::max(isoHalf, *qrsOn - isoHalf - 1);
    const int waveHalf = std::max(1, static_cast<int>(kWaveSmoothing * rate / 2));
    std::vector<double> magnitude(static_cast<std::size_t>(n), 0.0);
    std::vector<double> slowVelocity(static_cast<std::size_t>(n), 0.0);
    for (int k : g.leads) {
        const std::vector<double> s = movingAverage(averages[static_cast<std::size_t>(k)], waveHalf);
        const std::vector<double> d = slope(s);
        for (int i = 0; i < n; ++i)
            slowVelocity[static_cast<std::size_t>(i)] +=
                d[static_cast<std::size_t>(i)] * d[static_cast<std::size_t>(i)];
        double level = 0.0;
        for (int i = iso - isoHalf; i <= iso + isoHalf; ++i)
            level += averages[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)];
        level /= 2 * isoHalf + 1;
        for (int i = 0; i < n; ++i) {
            const double e = s[static_cast<std::size_t>(i)] - level;
            magnitude[static_cast<std::size_t>(i)] += e * e;
        }
    }
    for (double &v : magnitude) v = std::sqrt(v / static_cast<double>(g.leads.size()));
    for (double &v : slowVelocity) v = std::sqrt(v);

    // P: the largest hump before the QRS, bounded on either side by the
    // quietest stretch between it and the window's ends.
    const int pFirst = std::max(1, *qrsOn - static_cast<int>(kPFirst * rate));
    const int pLast = *qrsOn - static_cast<int>(kPLast * rate);
    if (pLast - pFirst > static_cast<int>(0.04 * rate)) {
        const int pPeak = argMax(magnitude, pFirst, pLast);
        const double before = minimum(magnitude, pFirst, pPeak);
        const double after = minimum(magnitude, pPeak, *qrsOn);
        const double height = magnitude[static_cast<std::size_t>(pPeak)];
        const auto on = fallBelow(magnitude, pPeak, -1, 0, before + kFractions.pOnset * (height - before));
        const auto off = fallBelow(magnitude, pPeak, +1, *qrsOn, after + kFractions.pOffset * (height - after));
        // A P wave stands out from the baseline on both sides; the waves of
        // atrial fibrillation or flutter make no such hump.
        const bool distinct = before <= kPDistinct * height && after <= kPDistinct * height;
        if (on && off && distinct && pPeak > pFirst && pPeak < pLast && *off - *on <= kPLongest * rate) {
            g.pOnset = seconds(*on);
            g.pOffset = seconds(*off);
            g.pDuration = *g.pOffset - *g.pOnset;
            g.pr = *g.qrsOnset - *g.pOnset;
        }
    }

    // T: the largest hump after the ST segment, within the cycle. It ends
    // where the leads stop changing: the slow velocity, walked on from the
    // steepest point of the hump's descent, falls near its floor. A level
    // would be misled by a baseline that has not settled by then.
    // The window closes before the next beat's QRS, which the average holds
    // at fast rates.
    const int tFirst = *qrsOff + static_cast<int>(kTAfterQrs * rate);
    int tLast = std::min(n - 2, r + static_cast<int>(kTMaxAfterR * rate));
    if (meanRrSeconds > 0.0) tLast = std::min(tLast, r + static_cast<int>((meanRrSeconds - kBeforeNextR) * rate));
    if (tLast - tFirst > static_cast<int>(0.04 * rate)) {
        // The first hump of at least half the window's largest: a larger one
        // later is an extrasystole or the next beat, which some of the
        // averaged beats carry in their tails.
        const double largest = magnitude[static_cast<std::size_t>(argMax(magnitude, tFirst, tLast))];
        int tPeak = tFirst;
        while (tPeak < tLast &&
               !(magnitude[static_cast<std::size_t>(tPeak)] >= 0.5 * largest &&
                 magnitude[static_cast<std::size_t>(tPeak) + 1] < magnitude[static_cast<std::size_t>(tPeak)]))
            ++tPeak;
        // The hump's descent: from its peak to the first turn of the
        // magnitude once below half its height.
        int descentEnd = tPeak;
        const double half = 0.5 * magnitude[static_cast<std::size_t>(tPeak)];
        while (descentEnd < tLast &&
               (magnitude[static_cast<std::size_t>(descentEnd)] > half ||
                magnitude[static_cast<std::size_t>(descentEnd) + 1] < magnitude[static_cast<std::size_t>(descentEnd)]))
            ++descentEnd;
        const int steepest = argMax(slowVelocity, tPeak, descentEnd);
        const double floorV = minimum(slowVelocity, steepest, tLast);
        const double heightV = slowVelocity[static_cast<std::size_t>(steepest)];
        const auto off = fallBelow(slowVelocity, steepest, +1, tLast, floorV + kFractions.tOffset * (heightV - floorV));
        if (off && tPeak < tLast) {
            g.tOffset = seconds(*off);
            g.qt = *g.tOffset - *g.qrsOnset;
            if (meanRrSeconds > 0.0) {
                g.qtcBazett = *g.qt / std::sqrt(meanRrSeconds);
                g.qtcFridericia = *g.qt / std::cbrt(meanRrSeconds);
            }
        }
    }

    measureGlobalAxes(g, averages, channelNames, rate);
    return g;
}

void measureGlobalAxes(GlobalMeasurement &g, const std::vector<std::vector<double>> &averages,
                       const std::vector<QString> &channelNames, int rate) {
    g.pAxis.reset();
    g.qrsAxis.reset();
    g.tAxis.reset();
    if (rate <= 0 || !g.qrsOnset || !g.qrsOffset) return;
    const int leadI = channelNamed(channelNames, "I");
    const int leadIII = channelNamed(channelNames, "III");
    if (leadI < 0 || leadIII < 0 || leadI >= static_cast<int>(averages.size()) ||
        leadIII >= static_cast<int>(averages.size()))
        return;
    const std::vector<double> &a1 = averages[static_cast<std::size_t>(leadI)];
    const std::vector<double> &a3 = averages[static_cast<std::size_t>(leadIII)];
    const int n = static_cast<int>(std::min(a1.size(), a3.size()));
    const int r = static_cast<int>(kRAt * rate);
    const auto sample = [&](double seconds) { return r + static_cast<int>(std::lround(seconds * rate)); };
    const auto inside = [n](int i) { return i >= 0 && i < n; };
    const int qrsOn = sample(*g.qrsOnset), qrsOff = sample(*g.qrsOffset);
    // Limits set by hand may lie anywhere in the average, or outside one
    // rebuilt shorter than the one they were measured on.
    if (!inside(qrsOn) || !inside(qrsOff)) return;
    const double q = qrsAxis(a1, a3, qrsOn, qrsOff);
    if (q != kNoAxis) g.qrsAxis = q;
    const int isoHalf = std::max(1, static_cast<int>(kIsoelectricSpan * rate / 2));
    const int iso = std::max(isoHalf, qrsOn - isoHalf - 1);
    if (g.pOnset && g.pOffset && inside(sample(*g.pOnset)) && inside(sample(*g.pOffset)))
        g.pAxis = areaAxis(a1, a3, sample(*g.pOnset), sample(*g.pOffset), iso);
    if (g.tOffset && inside(sample(*g.tOffset))) g.tAxis = areaAxis(a1, a3, qrsOff, sample(*g.tOffset), iso);
}

void deriveGlobalValues(GlobalMeasurement &g, const std::vector<std::vector<double>> &averages,
                        const std::vector<QString> &channelNames, int rate, double meanRrSeconds) {
    g.pr.reset();
    g.pDuration.reset();
    g.qrsDuration.reset();
    g.qt.reset();
    g.qtcBazett.reset();
    g.qtcFridericia.reset();
    if (g.qrsOnset && g.qrsOffset) g.qrsDuration = *g.qrsOffset - *g.qrsOnset;
    if (g.pOnset && g.pOffset) {
        g.pDuration = *g.pOffset - *g.pOnset;
        if (g.qrsOnset) g.pr = *g.qrsOnset - *g.pOnset;
    }
    if (g.tOffset && g.qrsOnset) {
        g.qt = *g.tOffset - *g.qrsOnset;
        if (meanRrSeconds > 0.0) {
            g.qtcBazett = *g.qt / std::sqrt(meanRrSeconds);
            g.qtcFridericia = *g.qt / std::cbrt(meanRrSeconds);
        }
    }
    measureGlobalAxes(g, averages, channelNames, rate);
}
