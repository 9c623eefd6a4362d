#pragma once
// Breathing phase over the recording. Breathing quickens with exertion; for a
// looping recording the rate is nudged so a whole number of breaths fits.

#include "tools/sim/model/HeartRateProfile.h"

#include <vector>

class Respiration {
public:
    Respiration(const HeartRateProfile &profile, double seconds, bool loop);
    // Phase in radians (unbounded, continuous).
    double phaseAt(double seconds) const;

private:
    double interpolate(double seconds) const;

    static constexpr double kGridStep = 0.05;
    std::vector<double> phase_;  // on a kGridStep grid
    double seconds_;
    bool loop_;
    double totalPhase_ = 0.0;
};
