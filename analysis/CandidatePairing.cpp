#include "analysis/CandidatePairing.h"

#include "analysis/MarkArray.h"
#include "analysis/ScaleWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

CandidatePairing::CandidatePairing(int rate) : rate_(rate), pairLimit_(0.15 * rate), resetGap_(3 * rate) {}

void CandidatePairing::begin(std::int64_t position) {
    meanRr_ = 0.75;
    lastProcessed_ = position;
    hasPending_ = false;
    searchedBack_ = false;
    hasPrevious_ = false;
}

bool CandidatePairing::takePending(const MarkArray &marks, std::int64_t after, std::int64_t last) {
    const std::int64_t i = marks.next(after, last);
    hasPending_ = i != MarkArray::kNone;
    if (hasPending_) {
        pending_ = i;
        pendingSign_ = marks.at(i);
    }
    return hasPending_;
}

std::int64_t CandidatePairing::fiducialOf(const MarkArray &marks, const ScaleWindow &scales, std::int64_t g,
                                          std::int64_t i) const {
    // The sign change of scale 2^2 between the two slopes, else their middle.
    const int first = marks.at(g), second = marks.at(i);
    for (std::int64_t n = g; n <= i; ++n) {
        const int w2 = scales.at(2, n);
        if (first > 0 && second < 0 && w2 < 0) return n;
        if (first < 0 && second > 0 && w2 >= 1) return n;
    }
    return (g + i) / 2;
}

void CandidatePairing::run(MarkArray &marks, const ScaleWindow &scales, std::int64_t first, std::int64_t last,
                           Client &client) {
    if (first - lastProcessed_ > resetGap_) {
        // Nothing paired for three seconds: start afresh from this window.
        client.abandoned(hasPrevious_ ? previous_ : LeadDetection::kUnset);
        lastProcessed_ = first;
        hasPending_ = false;
        hasPrevious_ = false;
        searchedBack_ = false;
        ++resets_;
    }
    std::int64_t floor = first - 1;
    if (!hasPending_ && !takePending(marks, std::max(lastProcessed_, floor), last)) return;
    for (;;) {
        const std::int64_t g = pending_;
        const std::int64_t i = marks.next(std::max(g, floor), last);
        if (i == MarkArray::kNone) return;  // g stays pending
        const int gSign = marks.at(g), iSign = marks.at(i);
        if (gSign == 0 || gSign != -iSign || static_cast<double>(i - g) >= pairLimit_) {
            marks.clear(g);
            pending_ = i;
            pendingSign_ = iSign;
            continue;
        }
        const std::int64_t s = fiducialOf(marks, scales, g, i);
        const double rr = hasPrevious_ ? static_cast<double>(s - previous_) / rate_ : 0.0;
        const int slope = std::max(std::abs(scales.at(2, g)), std::abs(scales.at(2, i)));
        if ((rr > 0.0 && rr < 0.15) || looksLikeTWave(rr, slope)) {
            // Too close to the previous beat to be another heartbeat, or a
            // steep T wave (after a premature ventricular beat) in its place.
            marks.clear(g);
            marks.clear(i);
            ++rejected_;
            lastProcessed_ = i;
            if (!takePending(marks, i, last)) return;
            continue;
        }
        if (hasPrevious_ && !searchedBack_ && rr > 1.4 * meanRr_) {
            // A long interval may hide a smaller beat: search it once more with
            // lower thresholds, then pair it again from the previous beat.
            client.searchBack(static_cast<std::int64_t>(std::ceil(previous_ + 0.15 * rate_)),
                              static_cast<std::int64_t>(std::floor(s - 0.15 * rate_)));
            searchedBack_ = true;
            ++searchBacks_;
            // The previous beat's own marks are not a new candidate.
            floor = std::max(previous_ - 1, previousSecondMark_);
            if (!takePending(marks, floor, last)) return;
            continue;
        }
        accept(s, rr, client);
        previousSlope_ = slope;
        previousSecondMark_ = i;
        lastProcessed_ = i;
        if (!takePending(marks, i, last)) return;
    }
}

bool CandidatePairing::looksLikeTWave(double rr, int slope) const {
    // A QRS this soon after the previous one is as steep as it; the T wave
    // that follows a QRS, even one tall enough to be marked, rises and falls
    // at well under half the QRS's slope.
    return hasPrevious_ && rr > 0.0 && rr < kTWaveReach && slope < kTWaveSlopeShare * previousSlope_;
}

void CandidatePairing::accept(std::int64_t s, double rr, Client &client) {
    client.accepted(s, hasPrevious_ ? previous_ : LeadDetection::kUnset, rr);
    previous_ = s;
    hasPrevious_ = true;
    searchedBack_ = false;
    if (rr > 0.15 && rr < 2.0) meanRr_ = 0.8 * meanRr_ + 0.2 * rr;
}
