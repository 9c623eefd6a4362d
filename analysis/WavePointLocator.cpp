#include "analysis/WavePointLocator.h"

#include "analysis/MarkSearch.h"
#include "analysis/ScaleWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int signOf(int v) { return (v > 0) - (v < 0); }

// Only the QRS extrema above this share of the detection threshold of scale
// 2^2 mark the complex's edges and its Q and S waves.
constexpr double kQrsFraction = 0.5;

}  // namespace

std::int64_t zeroCrossing(const ScaleWindow &scales, int k, std::int64_t from, std::int64_t to) {
    const int sign = signOf(scales.at(k, from));
    std::int64_t leave = from + 1;
    while (leave < to && signOf(scales.at(k, leave)) == sign) ++leave;
    std::int64_t arrive = leave;
    while (arrive < to && signOf(scales.at(k, arrive)) == 0) ++arrive;
    return (leave + arrive) / 2;
}

WavePointLocator::WavePointLocator(int rate)
    : rate_(rate), qrsHalfWidth_(static_cast<int>(0.1 * rate)), edgeMargin_(static_cast<int>(0.005 * rate)),
      defaultHalfQrs_(static_cast<int>(0.04 * rate)), tMargin_(static_cast<int>(0.02 * rate)),
      pGap_(static_cast<int>(0.02 * rate)), lookBehind_(static_cast<int>(0.5 * rate)) {
    extrema_.reserve(64);
}

void WavePointLocator::collect(const ScaleWindow &scales, int k, std::int64_t first, std::int64_t last) {
    extrema_.clear();
    for (std::int64_t i = first; i <= last; ++i) {
        const int v = scales.at(k, i);
        if (v == 0 || !(strictExtremum(scales, k, i, 2) || strictExtremum(scales, k, i, 3))) continue;
        if (!extrema_.empty() && signOf(extrema_.back().value) == signOf(v)) {
            // A flat or notched lobe: keep its larger extremum only, so the
            // list alternates in sign.
            if (std::abs(v) > std::abs(extrema_.back().value)) extrema_.back() = {i, v};
            continue;
        }
        extrema_.push_back({i, v});
    }
}

LeadDetection WavePointLocator::locate(const ScaleWindow &scales, std::int64_t fiducial, std::int64_t previous,
                                       std::int64_t next, double rrSeconds, const DetectionThresholds &thresholds) {
    LeadDetection d;
    d.fiducial = fiducial;
    locateQrs(scales, fiducial, kQrsFraction * thresholds.at(2), d);

    // T: after the ST segment, up to 70 % of the way to the next beat (and
    // never beyond 0.6 s), clear of the next beat's P wave.
    const double rr = rrSeconds > 0.0 ? rrSeconds * rate_ : 0.6 * rate_;
    std::int64_t tLast = fiducial + static_cast<std::int64_t>(std::min(0.7 * rr, 0.6 * rate_));
    if (LeadDetection::isSet(next)) tLast = std::min(tLast, next - static_cast<std::int64_t>(0.1 * rate_));
    locateT(scales, d.qrsOffset + static_cast<std::int64_t>(0.08 * rate_), tLast, kTFraction * thresholds.rms4, d);

    // P: up to 0.3 s before the QRS onset, but no earlier than half way back
    // to the previous beat, whose T wave lies before that. The window stops
    // 20 ms short of the onset: the onset sits on the QRS upstroke, where the
    // broad scale 2^4 already shows the QRS's first slope.
    std::int64_t pFirst = d.qrsOnset - static_cast<std::int64_t>(0.3 * rate_);
    if (LeadDetection::isSet(previous)) pFirst = std::max(pFirst, previous + (fiducial - previous) / 2);
    locateP(scales, pFirst, d.qrsOnset - pGap_, kPFraction * thresholds.rms4, d);
    return d;
}

void WavePointLocator::locateQrs(const ScaleWindow &scales, std::int64_t fiducial, double threshold, LeadDetection &d) {
    collect(scales, 2, fiducial - qrsHalfWidth_, fiducial + qrsHalfWidth_);
    d.qrsOnset = fiducial - defaultHalfQrs_;
    d.qrsOffset = fiducial + defaultHalfQrs_;
    if (extrema_.size() < 2) return;

    // The dominant pair: neighbouring extrema (opposite in sign) with the
    // largest joint size; its sign change is the main peak.
    std::size_t best = 0;
    long long bestSize = -1;
    for (std::size_t i = 0; i + 1 < extrema_.size(); ++i) {
        const long long size = std::llabs(extrema_[i].value) + std::llabs(extrema_[i + 1].value);
        if (size > bestSize) bestSize = size, best = i;
    }
    const Extremum &a = extrema_[best];
    const Extremum &b = extrema_[best + 1];
    // The scales are a negated derivative: a rise shows as a negative lobe
    // then a positive one, so the pair's second sign is the wave's polarity.
    d.qrsPolarity = signOf(b.value);
    d.rPeak = zeroCrossing(scales, 2, a.at, b.at);

    const auto significant = [&](const Extremum &e) { return std::abs(static_cast<double>(e.value)) >= threshold; };
    if (best > 0 && significant(extrema_[best - 1])) d.qPoint = zeroCrossing(scales, 2, extrema_[best - 1].at, a.at);
    if (best + 2 < extrema_.size() && significant(extrema_[best + 2]))
        d.sPoint = zeroCrossing(scales, 2, b.at, extrema_[best + 2].at);

    const auto firstSignificant = std::find_if(extrema_.begin(), extrema_.end(), significant);
    if (firstSignificant == extrema_.end()) return;
    const auto lastSignificant = std::find_if(extrema_.rbegin(), extrema_.rend(), significant);
    d.qrsOnset = firstSignificant->at - edgeMargin_;
    d.qrsOffset = lastSignificant->at + edgeMargin_;
}

void WavePointLocator::locateT(const ScaleWindow &scales, std::int64_t first, std::int64_t last, double threshold,
                               LeadDetection &d) {
    if (last - first < 4) return;
    collect(scales, 4, first, last);
    // The T wave is the strongest pair of slopes in its window.
    std::size_t best = 0;
    long long bestSize = -1;
    for (std::size_t i = 0; i + 1 < extrema_.size(); ++i) {
        const int a = std::abs(extrema_[i].value), b = std::abs(extrema_[i + 1].value);
        if (a < threshold || b < threshold) continue;
        if (a + b > bestSize) bestSize = a + b, best = i;
    }
    if (bestSize < 0) return;
    const Extremum &a = extrema_[best];
    const Extremum &b = extrema_[best + 1];
    d.tPolarity = signOf(b.value);
    d.tPeak = zeroCrossing(scales, 4, a.at, b.at);
    d.tOnset = a.at - tMargin_;
    d.tOffset = b.at + tMargin_;
}

void WavePointLocator::locateP(const ScaleWindow &scales, std::int64_t first, std::int64_t last, double threshold,
                               LeadDetection &d) {
    if (last - first < 4) return;
    collect(scales, 4, first, last);
    // The P wave is the pair of slopes nearest the QRS: at fast rates the
    // window's start can still hold the end of the previous T wave, which is
    // the larger of the two.
    for (std::size_t i = extrema_.size(); i-- > 1;) {
        const Extremum &a = extrema_[i - 1];
        const Extremum &b = extrema_[i];
        if (std::abs(a.value) < threshold || std::abs(b.value) < threshold) continue;
        d.pPolarity = signOf(b.value);
        d.pPeak = zeroCrossing(scales, 4, a.at, b.at);
        return;
    }
}
