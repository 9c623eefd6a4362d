// Resting measurement on hand-made averages: the flat-average floor and the
// levels of the QRS onset search.
#include "analysis/RestingMeasurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kR = 75;
constexpr int kQrsStart = 66;  // first sample off the baseline

// A triangular QRS of `height` (samples 66 to 84) on a baseline carrying an
// alternating ripple of `ripple` peak to peak, and a rounded T.
std::vector<double> average(double height, double ripple) {
    std::vector<double> x(200);
    for (int i = 0; i < 200; ++i) {
        double v = (i % 2 == 0 ? ripple : -ripple) / 2.0;
        if (i > 65 && i < 85) v += height * (1.0 - std::fabs(i - kR) / 10.0);
        if (i > 120 && i < 170) v += 0.2 * height * std::pow(std::sin(3.14159265358979 * (i - 120) / 50.0), 2);
        x[static_cast<std::size_t>(i)] = v;
    }
    return x;
}

// A 3 % ripple never lets four samples in a row lie within 1 % or 2 % of the
// QRS, but does within 5 %; at 6 % there is no onset, and then nothing else.
TEST(RestingMeasurement, QrsOnsetFallsBackToCoarserLevelsAboveTheFlatFloor) {
    struct Case {
        const char *what;
        double height, ripple;  // ripple as a share of the height
        int onset;
    };
    const Case cases[] = {
        {"8 units peak to peak: not measured", 8.0, 0.0, 0},  {"10 units: measured", 10.0, 0.0, kQrsStart},
        {"clean baseline: 1 % level", 200.0, 0.0, kQrsStart}, {"1.5 % ripple: 2 % level", 200.0, 0.015, kQrsStart},
        {"3 % ripple: 5 % level", 200.0, 0.03, kQrsStart},    {"6 % ripple: none", 200.0, 0.06, 0}};
    for (const Case &c : cases) {
        const RestingMarkers m = measureRest(average(c.height, c.ripple * c.height), 250, kR, 200);
        EXPECT_EQ(m.qrsOnset, c.onset) << c.what;
        EXPECT_EQ(m.qrsEnd != 0, c.onset != 0) << c.what;
        EXPECT_EQ(m.tPeak != 0, c.onset != 0) << c.what;
    }
}

// Each level scans the whole way back before a coarser one is tried: a flat
// stretch far from R wins over a rippled one next to the QRS.
TEST(RestingMeasurement, TheStrictestLevelWinsOverANearerOnset) {
    std::vector<double> x = average(200.0, 0.0);
    for (int i = 40; i <= 65; ++i) x[static_cast<std::size_t>(i)] += (i % 2 == 0 ? 3.0 : -3.0);
    EXPECT_EQ(measureRest(x, 250, kR, 200).qrsOnset, 40);  // 36 to 39 are the last flat four
}

}  // namespace
