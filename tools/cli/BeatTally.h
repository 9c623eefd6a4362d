#pragma once
// Counts the emitted beats (normal and premature) and their mean heart rate
// over the span from the first to the last beat.

#include "analysis/BeatListener.h"
#include "tools/cli/BeatSummary.h"

class BeatTally : public BeatListener {
public:
    void beatEmitted(const BeatRecord &beat) override;
    BeatCounts counts() const;

private:
    BeatCounts counts_;
    double firstTime_ = 0.0;
    double lastTime_ = 0.0;
};
