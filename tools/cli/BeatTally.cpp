#include "tools/cli/BeatTally.h"

#include <algorithm>

void BeatTally::beatEmitted(const BeatRecord &beat) {
    // A held premature beat is emitted after later ones may have been seen,
    // so the span is taken from the extremes rather than the order.
    if (counts_.total == 0) {
        firstTime_ = lastTime_ = beat.fiducialTime();
    } else {
        firstTime_ = std::min(firstTime_, beat.fiducialTime());
        lastTime_ = std::max(lastTime_, beat.fiducialTime());
    }
    ++counts_.total;
    if (beat.normal)
        ++counts_.normal;
    else
        ++counts_.premature;
}

BeatCounts BeatTally::counts() const {
    BeatCounts counts = counts_;
    // Beats per minute over the span of the beats, which is 60 / mean RR;
    // averaging the per-beat rates instead would weigh short intervals more.
    if (counts_.total >= 2 && lastTime_ > firstTime_)
        counts.meanHeartRateBpm = 60.0 * static_cast<double>(counts_.total - 1) / (lastTime_ - firstTime_);
    return counts;
}
