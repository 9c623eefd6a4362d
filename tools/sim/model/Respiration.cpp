#include "tools/sim/model/Respiration.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 6.28318530717958647692;
constexpr double kRestBreathsPerSecond = 0.25;
constexpr double kExtraAtPeak = 0.20;
}  // namespace

Respiration::Respiration(const HeartRateProfile &profile, double seconds, bool loop) : seconds_(seconds), loop_(loop) {
    const auto steps = static_cast<std::size_t>(std::ceil(seconds / kGridStep)) + 2;
    phase_.resize(steps);
    double phase = 0.0;
    for (std::size_t i = 0; i < steps; ++i) {
        phase_[i] = phase;
        const double t = (static_cast<double>(i) + 0.5) * kGridStep;
        phase += kTwoPi * kGridStep * (kRestBreathsPerSecond + kExtraAtPeak * profile.exertionAt(t));
    }
    if (loop_ && seconds > 0.0) {
        const double atEnd = interpolate(seconds);
        const double cycles = std::max(1.0, std::round(atEnd / kTwoPi));
        const double scale = cycles * kTwoPi / atEnd;
        for (double &value : phase_) value *= scale;
        totalPhase_ = cycles * kTwoPi;
    }
}

double Respiration::phaseAt(double seconds) const {
    double wraps = 0.0;
    if (loop_ && seconds_ > 0.0) {
        wraps = std::floor(seconds / seconds_);
        seconds -= wraps * seconds_;
    }
    return wraps * totalPhase_ + interpolate(seconds);
}

double Respiration::interpolate(double seconds) const {
    const double position = std::max(0.0, seconds / kGridStep);
    const auto index = std::min(static_cast<std::size_t>(position), phase_.size() - 2);
    const double fraction = position - static_cast<double>(index);
    return phase_[index] + fraction * (phase_[index + 1] - phase_[index]);
}
