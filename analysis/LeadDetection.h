#pragma once
// What the detector found of one beat in one lead: the fiducial and the wave
// points as absolute sample indices of the 250 samples/s analysis feed.

#include <cstdint>

struct LeadDetection {
    static constexpr std::int64_t kUnset = -999999999;

    std::int64_t fiducial = kUnset;  // replaced by the fused median across leads
    std::int64_t pPeak = kUnset;
    int pPolarity = 0;
    std::int64_t qPoint = kUnset;
    std::int64_t rPeak = kUnset;
    std::int64_t sPoint = kUnset;
    int qrsPolarity = 0;  // 0: no QRS found in this lead
    std::int64_t tPeak = kUnset;
    int tPolarity = 0;
    // Wave limits used inside the detector.
    std::int64_t qrsOnset = kUnset;
    std::int64_t qrsOffset = kUnset;
    std::int64_t tOnset = kUnset;
    std::int64_t tOffset = kUnset;

    static bool isSet(std::int64_t position) { return position != kUnset; }
    // All point fields unset and polarities 0: a lead absent from a beat.
    static LeadDetection absent(std::int64_t fiducial) {
        LeadDetection d;
        d.fiducial = fiducial;
        return d;
    }
};
