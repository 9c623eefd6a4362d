#pragma once
// Merges the per-lead detection queues into beats: the earliest detection
// defines a beat, leads that saw it close enough join it, the beat's position
// is their median, and a beat seen by few leads waits briefly for the rest.

#include "analysis/LeadDetection.h"

#include <cstdint>
#include <deque>
#include <vector>

class FusedBeatSink;

class LeadFusion {
public:
    LeadFusion(int leadCount, int rate);

    int leadCount() const { return static_cast<int>(queues_.size()); }
    std::deque<LeadDetection> &queue(int lead) { return queues_[static_cast<std::size_t>(lead)]; }
    const std::deque<LeadDetection> &queue(int lead) const { return queues_[static_cast<std::size_t>(lead)]; }

    // Hands every beat the queues allow to `sink`; returns how many.
    int run(FusedBeatSink &sink) { return fuse(sink, false); }
    // The input ended: no lead will report anything more, so every queued
    // detection is fused now, without waiting for later ones.
    int drain(FusedBeatSink &sink) { return fuse(sink, true); }
    void clear();

    int waitCount() const { return waits_; }
    // A lead whose detection lies further than this after the earliest is
    // left out of the beat (75 ms).
    int lateLimit() const { return lateLimit_; }

    // Element k/2 of the sorted values (the upper middle for an even count).
    static std::int64_t median(std::vector<std::int64_t> &values);

private:
    int fuse(FusedBeatSink &sink, bool draining);
    void dropBefore(std::int64_t sample);
    void dropAfterPreviousBeat(const FusedBeatSink &sink);

    int rate_;
    int lateLimit_;
    int waits_ = 0;
    std::vector<std::deque<LeadDetection>> queues_;
    // Reused per beat.
    std::vector<LeadDetection> detections_;
    std::vector<bool> present_;
    std::vector<std::int64_t> fiducials_;
};
