// Resting measurement, worked at 250 samples/s: faster averages are reduced by
// averaging groups of samples and the markers scaled back afterwards.
#include "analysis/RestingMeasurement.h"

#include "analysis/FirTables.h"
#include "analysis/SlopeWave.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFlatAverage = 10.0;  // sample units peak to peak
constexpr int kWorkRate = 250;
constexpr int kAmplitudeHalfWindow = 60;
constexpr int kFlatRun = 4;
constexpr int kLowestOnset = 6;
constexpr int kEndRoom = 75;
constexpr int kTAfterQrsEnd = 20;
constexpr int kPGapToQrs = 10;
constexpr int kEdgeRoom = 10;
constexpr int kPEarliest = 4;
// The wave must stand out from a flat stretch by this share of the QRS.
constexpr double kWaveFloor = 0.02;

// 11-tap Hann bell, taps sin^2(pi (k + 1) / 12) / 6 summing to 1: -3 dB at
// 15 Hz and under 0.03 from 38 Hz at 250 samples/s. P and T hold little
// above 10 Hz, and the slope search needs the noise gone more than it needs
// sharp corners.
constexpr int kWaveSmootherTaps = 11;
const std::vector<double> &waveSmoother() {
    static const std::vector<double> taps = [] {
        std::vector<double> t(kWaveSmootherTaps);
        for (int k = 0; k < kWaveSmootherTaps; ++k) {
            const double s = std::sin(3.14159265358979323846 * (k + 1) / (kWaveSmootherTaps + 1));
            t[static_cast<std::size_t>(k)] = s * s / ((kWaveSmootherTaps + 1) / 2.0);
        }
        return t;
    }();
    return taps;
}

std::vector<double> reduced(const std::vector<double> &x, int factor) {
    std::vector<double> out(x.size() / static_cast<std::size_t>(factor));
    for (std::size_t i = 0; i < out.size(); ++i) {
        double sum = 0.0;
        for (int k = 0; k < factor; ++k) sum += x[i * static_cast<std::size_t>(factor) + static_cast<std::size_t>(k)];
        out[i] = sum / factor;
    }
    return out;
}

// Centred symmetric FIR, the edge values continued beyond the beat.
std::vector<double> smoothed(const std::vector<double> &x, const double *taps, int length) {
    const int n = static_cast<int>(x.size());
    const int delay = length / 2;
    std::vector<double> out(x.size());
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int k = 0; k < length; ++k)
            sum += taps[k] * x[static_cast<std::size_t>(std::clamp(i + delay - k, 0, n - 1))];
        out[static_cast<std::size_t>(i)] = sum;
    }
    return out;
}

double span(const std::vector<double> &x, int from, int to) {
    const auto [lo, hi] = std::minmax_element(x.begin() + from, x.begin() + to + 1);
    return *hi - *lo;
}

// Scanning back from just before R for the first position whose four
// preceding samples lie within 1 % of the QRS amplitude, else within 2 %,
// else within 5 %: the strictest level that finds one wins, however much
// nearer R a coarser level would have stopped.
int findQrsOnset(const std::vector<double> &x, int r, double amplitude) {
    const int n = static_cast<int>(x.size());
    for (double share : {0.01, 0.02, 0.05}) {
        for (int i = std::min(r - 2, n - 1); i >= kLowestOnset; --i)
            if (span(x, i - kFlatRun, i - 1) < share * amplitude) return i;
    }
    return 0;
}

// The QRS end is where the smoothed beat has just been moving (the ten
// samples before differ from it) but then stays (the fifteen after, leaving
// a sample's grace, do not).
int findQrsEnd(const std::vector<double> &x, int r, int onset) {
    const FirTable smoother = FirTables::restingSmoother();
    const std::vector<double> s = smoothed(x, smoother.taps, smoother.length);
    int best = 0;
    double bestActivity = -1.0;
    for (int i = std::max(r + 5, onset + 20); i <= onset + 49; ++i) {
        const double here = s[static_cast<std::size_t>(i)];
        double before = 0.0;
        for (int k = i - 9; k <= i; ++k) before += std::fabs(s[static_cast<std::size_t>(k)] - here);
        double after = 0.0;
        for (int j = i + 2; j <= i + 16; ++j) after += std::fabs(s[static_cast<std::size_t>(j)] - here);
        const double activity = before / (10.0 + after);
        if (activity > bestActivity) {
            bestActivity = activity;
            best = i;
        }
    }
    return best;
}

}  // namespace

RestingMarkers measureRest(const std::vector<double> &average, int rate, int rPosition, double meanRrSamples) {
    RestingMarkers m;
    if (average.empty() || rate <= 0) return m;
    const auto [lo, hi] = std::minmax_element(average.begin(), average.end());
    if (*hi - *lo < kFlatAverage) return m;

    const int factor = rate / kWorkRate >= 2 ? rate / kWorkRate : 1;
    const std::vector<double> x = factor > 1 ? reduced(average, factor) : average;
    const int n = static_cast<int>(x.size());
    const int r = rPosition / factor;
    const double rr = meanRrSamples / factor;
    if (r < 0 || r >= n) return m;

    // The QRS amplitude: peak to peak within 60 samples of R.
    const double amplitude = span(x, std::max(r - kAmplitudeHalfWindow, 0), std::min(r + kAmplitudeHalfWindow, n - 1));
    m.qrsOnset = findQrsOnset(x, r, amplitude);
    if (m.qrsOnset > 0 && m.qrsOnset < n - kEndRoom) m.qrsEnd = findQrsEnd(x, r, m.qrsOnset);

    if (m.qrsOnset > 0) {
        std::vector<double> shifted(x);
        const double level = x[static_cast<std::size_t>(m.qrsOnset)];
        for (double &v : shifted) v -= level;
        const std::vector<double> beat = smoothed(shifted, waveSmoother().data(), kWaveSmootherTaps);
        const double floor = kWaveFloor * amplitude;

        const int pFrom = rr > 0.0 ? std::max(m.qrsOnset - static_cast<int>(rr / 3.0), kPEarliest) : kPEarliest;
        const SlopeWave p = findSlopeWave(beat, pFrom, m.qrsOnset - kPGapToQrs, floor);
        if (p.found) {
            m.pOnset = p.onset;
            m.pPeak = p.peak;
            m.pEnd = std::min(p.end, m.qrsOnset - 1);
        }
        if (m.qrsEnd > 0) {
            int tTo = n - kEdgeRoom;
            if (rr > 0.0) tTo = std::min(r + static_cast<int>(rr / 2.0), tTo);
            const SlopeWave t = findSlopeWave(beat, m.qrsEnd + kTAfterQrsEnd, tTo, floor);
            if (t.found) {
                m.tOnset = std::max(t.onset, m.qrsEnd + 1);
                m.tPeak = t.peak;
                m.tEnd = t.end;
            }
        }
    }

    for (int *marker : {&m.pOnset, &m.pPeak, &m.pEnd, &m.qrsOnset, &m.qrsEnd, &m.tOnset, &m.tPeak, &m.tEnd})
        *marker *= factor;
    return m;
}
