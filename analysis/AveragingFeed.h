#pragma once
// The signal average beats are built from: the raw device signal through the
// muscle-noise low-pass only (no baseline filter), at the device rate.

#include "analysis/FirStage.h"
#include "analysis/SignalBuffer.h"

#include <memory>

class AveragingFeed {
public:
    static constexpr int kCapacityBlocks = 100;

    // Attached at raw's current end; raw must outlive the feed. Output
    // sample indexes equal raw's (the filter's delay is taken out).
    explicit AveragingFeed(SignalSource &raw);
    ~AveragingFeed();
    AveragingFeed(const AveragingFeed &) = delete;
    AveragingFeed &operator=(const AveragingFeed &) = delete;

    // Filters whatever raw gained since the last call.
    void process() { stage_->process(); }
    SignalBuffer &output() const { return *output_; }
    int tapCount() const { return stage_->tapCount(); }

    // The "40hz" muscle table of a rate: 62 taps at 250, 12 at 500, and the
    // 22-tap table at 1000 and any other rate.
    static FirTable filterFor(int rate);

private:
    std::unique_ptr<SignalBuffer> output_;  // first: outlives the stage writing it
    std::unique_ptr<FirStage> stage_;
};
