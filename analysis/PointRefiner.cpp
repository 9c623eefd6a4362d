// Point refinement. The search for a turning point goes outwards from the
// point, nearest first: with two turning points in reach the nearer one is the
// wave the detector meant, where a scan from the left end of the range would
// take, say, the R peak just before an S point.
#include "analysis/PointRefiner.h"

#include "analysis/SignalSource.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kSearch = 6;
constexpr int kAlign = 15;
// Symmetric 32-tap low-pass; taps sum to 1.0192, which scales the lead but
// moves no turning point.
constexpr double kHalfTaps[16] = {0.0044187, 0.0050091, 0.0066567, 0.0093325, 0.0129581, 0.0174084,
                                  0.0225163, 0.0280805, 0.0338744, 0.0396563, 0.0451811, 0.0502114,
                                  0.0545289, 0.0579451, 0.0603098, 0.0615189};
constexpr int kTaps = 32;
// Data read on either side of the window, so the smoothing near its edges
// works on the lead itself rather than on repeated edge values.
constexpr int kMargin = kTaps / 2;

double tap(int k) { return kHalfTaps[k < 16 ? k : kTaps - 1 - k]; }

enum class Turn { Maximum, Minimum, Either };

bool isTurn(const std::vector<double> &y, int i, Turn kind) {
    const double before = y[static_cast<std::size_t>(i - 1)];
    const double here = y[static_cast<std::size_t>(i)];
    const double after = y[static_cast<std::size_t>(i + 1)];
    const bool maximum = before < here && here >= after;
    const bool minimum = before > here && here <= after;
    switch (kind) {
    case Turn::Maximum: return maximum;
    case Turn::Minimum: return minimum;
    case Turn::Either: return maximum || minimum;
    }
    return false;
}

// A peak is a maximum of an upright wave and a minimum of an inverted one;
// looking for a maximum at the trough of an inverted T would move its peak
// onto whatever small ripple lies next to it.
Turn peakTurn(const BeatRecord::Lead &lead, BeatRecord::LeadValue polarity) {
    return lead.hasValue(polarity) && lead.get(polarity) < 0.0 ? Turn::Minimum : Turn::Maximum;
}

// The turning point nearest `at` (the earlier one on a tie), or -1.
int nearestTurn(const std::vector<double> &y, int at, Turn kind) {
    const int n = static_cast<int>(y.size());
    for (int distance = 0; distance <= kSearch; ++distance) {
        for (int i : {at - distance, at + distance}) {
            if (i >= 1 && i <= n - 2 && isTurn(y, i, kind)) return i;
            if (distance == 0) break;
        }
    }
    return -1;
}

// The window of one lead, smoothed and aligned back by 15 samples.
std::vector<double> smoothedWindow(const SignalSource &signal, int channel, std::int64_t first, int count) {
    const std::int64_t readFirst = std::max<std::int64_t>(first - kMargin, 0);
    const std::int64_t readEnd = std::min<std::int64_t>(first + count + kMargin, signal.length());
    std::vector<double> raw(static_cast<std::size_t>(std::max<std::int64_t>(readEnd - readFirst, 0)));
    if (raw.empty()) return {};
    signal.readRange(channel, readFirst, static_cast<int>(raw.size()), raw.data());
    const auto rawAt = [&](std::int64_t index) {
        const std::int64_t clamped = std::clamp(index, readFirst, readEnd - 1);
        return raw[static_cast<std::size_t>(clamped - readFirst)];
    };
    std::vector<double> y(static_cast<std::size_t>(count));
    for (int m = 0; m < count; ++m) {
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) sum += tap(k) * rawAt(first + m + kAlign - k);
        y[static_cast<std::size_t>(m)] = sum;
    }
    return y;
}

}  // namespace

void refinePoints(BeatRecord &beat, const SignalSource &deviceSignal, int channels) {
    const double rate = deviceSignal.samplingRate();
    const std::int64_t first = std::llround(beat.windowStart * rate);
    const int count = static_cast<int>(std::llround(beat.windowLength * rate));
    if (rate <= 0.0 || count < 3) return;
    const int leads = std::min({channels, BeatRecord::kMaxLeads, deviceSignal.channelCount()});

    struct Point {
        BeatRecord::LeadValue value;
        Turn kind;
    };
    for (int lead = 0; lead < leads; ++lead) {
        BeatRecord::Lead &l = beat.leads[static_cast<std::size_t>(lead)];
        const Point points[] = {{BeatRecord::PPeakTime, peakTurn(l, BeatRecord::PPolarity)},
                                {BeatRecord::QPointTime, Turn::Either},
                                {BeatRecord::RPeakTime, peakTurn(l, BeatRecord::QrsPolarity)},
                                {BeatRecord::SPointTime, Turn::Either},
                                {BeatRecord::TPeakTime, peakTurn(l, BeatRecord::TPolarity)}};
        const bool anyPoint =
            std::any_of(std::begin(points), std::end(points), [&](const Point &p) { return l.hasValue(p.value); });
        if (!anyPoint) continue;
        const std::vector<double> y = smoothedWindow(deviceSignal, lead, first, count);
        if (y.empty()) continue;
        for (const Point &p : points) {
            if (!l.hasValue(p.value)) continue;
            const std::int64_t at = std::llround(l.get(p.value) * rate) - first;
            if (at < 0 || at >= count) continue;
            const int turn = nearestTurn(y, static_cast<int>(at), p.kind);
            if (turn >= 0) l.set(p.value, static_cast<double>(first + turn) / rate);
        }
    }
}
