#pragma once
// Turns one fused, lead-checked detection into a BeatRecord: wave points in
// seconds, polarities, spans, the display window, the RR interval and the
// share of good leads that saw the QRS.

#include "analysis/BeatRecord.h"
#include "analysis/LeadDetection.h"

#include <optional>
#include <vector>

namespace BeatRecordBuilder {

// Record of a beat whose fiducial is sample `fiducial` of a feed at `rate`;
// `leads` detections are used (at most BeatRecord::kMaxLeads). Index, RR,
// mean RR and quality are left 0 for the classification to fill in.
BeatRecord build(const std::vector<LeadDetection> &detections, const std::vector<bool> &present, int leads,
                 std::int64_t fiducial, double rate);

// Median of the per-lead R-to-R intervals from `previous` (the fiducial
// interval where `previous` lacks that lead's R); 0 when none is positive.
double rrInterval(const BeatRecord &beat, const BeatRecord &previous, int leads);

// Share of the good leads that found a QRS; with 12 or more leads the first
// twelve are weighted 1 (limb), 5 (V1-V3) and 10 (V4-V6). Empty when no lead
// is good.
std::optional<double> qualityRatio(const std::vector<LeadDetection> &detections, const std::vector<bool> &good,
                                   int leads);
// How many of `leads` the ratio weighs (the first twelve of a larger set),
// and the weight of one of them.
int weighedLeads(int leads);
double leadWeight(int lead, int leads);
// The ratio a beat needs to be taken as real.
double qualityThreshold(int leads);

}  // namespace BeatRecordBuilder
