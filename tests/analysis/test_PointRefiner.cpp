// Point refinement on a 500/s device signal with waves at known samples.
#include "analysis/PointRefiner.h"

#include "analysis/SignalBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int kRate = 500;
constexpr int kP = 1000, kQ = 1060, kR = 1100, kS = 1140, kT = 1300;
using V = BeatRecord::LeadValue;

double bump(int i, double centre, double halfWidth, double height) {
    const double u = (i - centre) / halfWidth;
    return std::fabs(u) < 1.0 ? height * std::pow(std::cos(1.5707963267948966 * u), 2) : 0.0;
}

// A 500/s device signal: by default upright P, qRs and a T upright in lead 0
// and inverted in lead 1; else `lead` in both leads.
struct Device {
    DoubleSignalBuffer signal{2000, 2000, 2, kRate};
    explicit Device(std::function<double(int, int)> lead = [](int i, int l) {
        return 40.0 + bump(i, kP, 40, 60) + bump(i, kQ, 10, -250) + bump(i, kR, 15, 900) + bump(i, kS, 10, -300) +
               bump(i, kT, 70, l == 0 ? 200 : -200);
    }) {
        std::vector<double> data[2];
        for (int l = 0; l < 2; ++l)
            for (int i = 0; i < 2000; ++i) data[l].push_back(lead(i, l));
        const double *rows[2] = {data[0].data(), data[1].data()};
        signal.append(2000, rows);
    }

    // Places `point` at `sample` of `lead` with all polarities `polarity`,
    // refines the first `channels` leads and returns where the point went.
    double refined(int lead, V point, int sample, int channels = 2, double polarity = 1.0) const {
        BeatRecord beat;
        beat.windowStart = (kP - 100.0) / kRate;
        beat.windowLength = 600.0 / kRate;
        for (V p : {BeatRecord::PPolarity, BeatRecord::QrsPolarity, BeatRecord::TPolarity})
            beat.leads[lead].set(p, polarity);
        beat.leads[lead].set(point, static_cast<double>(sample) / kRate);
        refinePoints(beat, signal, channels);
        return beat.leads[lead].get(point) * kRate;
    }
};

// The even-length smoother lags half a sample, so a symmetric peak may land
// one sample late; a point with no turning point within 6 samples stays.
TEST(PointRefiner, MovesDisplacedPointsToTheirTurningPointsOnly) {
    const Device d;
    struct Case {
        V point;
        int given, expected;
    };
    const Case cases[] = {{BeatRecord::PPeakTime, kP - 5, kP},       {BeatRecord::PPeakTime, kP + 4, kP},
                          {BeatRecord::RPeakTime, kR - 3, kR},       {BeatRecord::RPeakTime, kR + 3, kR},
                          {BeatRecord::TPeakTime, kT + 5, kT},       {BeatRecord::QPointTime, kQ - 4, kQ},
                          {BeatRecord::SPointTime, kS + 6, kS},      {BeatRecord::PPeakTime, kP - 20, kP - 20},
                          {BeatRecord::TPeakTime, kT + 30, kT + 30}, {BeatRecord::QPointTime, kQ + 15, kQ + 15}};
    for (const Case &c : cases)
        EXPECT_NEAR(d.refined(0, c.point, c.given), c.expected, 1.0 + 1e-9) << c.point << " at " << c.given;
    // An inverted T's peak is its trough; a maximum search would find none there.
    EXPECT_NEAR(d.refined(1, BeatRecord::TPeakTime, kT + 5, 2, -1.0), kT, 1.0 + 1e-9);
    // Leads beyond the channels refined are left as they are.
    EXPECT_EQ(d.refined(1, BeatRecord::RPeakTime, kR + 3, 1), kR + 3);
}

// With a maximum and a minimum in reach, a Q or S point takes the nearer.
TEST(PointRefiner, QAndSTakeTheNearestTurningPoint) {
    // Minima at 16k, maxima at 16k + 8: from 1206 the maximum at 1208 is
    // nearer than the minimum at 1200 that a scan from the left would meet first.
    const Device d([](int i, int) { return -5000.0 * std::cos(2.0 * 3.14159265358979 * i / 16.0); });
    for (const auto &[given, nearest] : {std::pair{1206, 1208}, std::pair{1203, 1200}, std::pair{1194, 1192}})
        EXPECT_NEAR(d.refined(0, BeatRecord::SPointTime, given), nearest, 1.0 + 1e-9) << given;
}

}  // namespace
