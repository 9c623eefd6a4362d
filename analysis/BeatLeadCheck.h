#pragma once
// Whether one lead of the analysis feed can be trusted around a beat: not
// clipped at the converter's limits, and with enough amplitude once the
// noise above the ECG's main band has been filtered out.

#include "analysis/FirTables.h"
#include "analysis/SignalSource.h"

#include <cstdint>
#include <utility>
#include <vector>

class BeatLeadCheck {
public:
    explicit BeatLeadCheck(const SignalSource &analysis);

    // Over the second starting half a second before `fiducial` (a sample index
    // of the analysis feed).
    bool clipped(int channel, std::int64_t fiducial);
    // Over the three seconds starting two seconds before `fiducial`.
    bool weak(int channel, std::int64_t fiducial);
    bool good(int channel, std::int64_t fiducial) { return !clipped(channel, fiducial) && !weak(channel, fiducial); }
    // Range of the noise-filtered lead within kActivityReach either side of
    // `fiducial`: what a QRS there shows, and no more of the waves around it.
    static constexpr double kActivityReach = 0.06;
    double activity(int channel, std::int64_t fiducial);

private:
    // Minimum and maximum of the noise-filtered lead over [first, first + count),
    // stopping once their distance reaches `enough` (0: never).
    std::pair<double, double> filteredRange(int channel, std::int64_t first, int count, double enough);

    // Samples [first, first + count) into window_; indexes outside what the
    // feed has take the nearest sample it has, so the edges of a recording
    // neither look like a step nor like a flat line at zero.
    const double *read(int channel, std::int64_t first, int count);

    const SignalSource &source_;
    const int rate_;
    const FirTable filter_;
    std::vector<double> window_;
};
