#pragma once
// Where the QRS detector hands each fused beat: one detection per lead (an
// absent lead has all points unset) and which leads were present.

#include "analysis/LeadDetection.h"

#include <optional>
#include <vector>

class FusedBeatSink {
public:
    virtual ~FusedBeatSink() = default;
    // Fiducial time (s) of the last beat accepted downstream, if any; fusion
    // drops detections within 0.2 s after it.
    virtual std::optional<double> previousBeatTime() const = 0;
    virtual void acceptFusedBeat(const std::vector<LeadDetection> &detections, const std::vector<bool> &present) = 0;
};
