#pragma once
// Heart rate over the recording: constant, or an exercise test (rest, climb,
// short peak, recovery ending back at the resting rate), and how hard the
// subject is working at each instant.

class HeartRateProfile {
public:
    static HeartRateProfile constant(double bpm);
    static HeartRateProfile stress(double restBpm, double peakBpm, double seconds);

    double rateAt(double seconds) const;
    // 0 at the resting rate, 1 at the peak rate.
    double exertionAt(double seconds) const;
    double restRate() const { return rest_; }
    double peakRate() const { return peak_; }
    bool isStress() const { return stress_; }

    // Phase boundaries as fractions of the duration.
    static constexpr double kRestEnd = 0.10;
    static constexpr double kClimbEnd = 0.60;
    static constexpr double kPeakEnd = 0.70;

private:
    HeartRateProfile(double rest, double peak, double seconds, bool stress)
        : rest_(rest), peak_(peak), seconds_(seconds), stress_(stress) {}

    double rest_;
    double peak_;
    double seconds_;
    bool stress_;
};
