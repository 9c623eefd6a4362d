#include "tools/sim/model/HeartRateProfile.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
// Recovery decays quickly at first (vagal reactivation), then slowly.
constexpr double kRecoverySteepness = 1.5;
}  // namespace

HeartRateProfile HeartRateProfile::constant(double bpm) { return HeartRateProfile(bpm, bpm, 0.0, false); }

HeartRateProfile HeartRateProfile::stress(double restBpm, double peakBpm, double seconds) {
    return HeartRateProfile(restBpm, peakBpm, seconds, true);
}

double HeartRateProfile::exertionAt(double seconds) const {
    if (!stress_ || seconds_ <= 0.0) return 0.0;
    const double f = std::clamp(seconds / seconds_, 0.0, 1.0);
    if (f < kRestEnd) return 0.0;
    if (f < kClimbEnd) {
        // Smooth start and finish of the climb: no kink in the rate.
        const double u = (f - kRestEnd) / (kClimbEnd - kRestEnd);
        return u - std::sin(2.0 * kPi * u) / (2.0 * kPi);
    }
    if (f < kPeakEnd) return 1.0;
    const double u = (f - kPeakEnd) / (1.0 - kPeakEnd);
    const double floor = std::exp(-kRecoverySteepness);
    return (std::exp(-kRecoverySteepness * u) - floor) / (1.0 - floor);
}

double HeartRateProfile::rateAt(double seconds) const { return rest_ + (peak_ - rest_) * exertionAt(seconds); }
