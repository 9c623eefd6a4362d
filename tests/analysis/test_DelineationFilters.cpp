// The delineation filters: the resting QRS-end smoother's response (a plain
// DTFT of its taps) and the wavelet scales' taps built by the spline rule.
#include "analysis/AverageWaveletScales.h"
#include "analysis/FirTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

namespace {

TEST(RestingSmoother, IsFlatTo15HzHalvedAt20AndStoppedFrom25) {
    const FirTable t = FirTables::restingSmoother();
    ASSERT_EQ(t.length, 81);
    EXPECT_EQ(t.delay, 40);
    const auto gainAt = [&](double f) {
        std::complex<double> sum = 0.0;
        for (int k = 0; k < t.length; ++k) sum += t.taps[k] * std::polar(1.0, -2.0 * 3.14159265358979 * f * k / 250.0);
        return std::abs(sum);
    };
    struct Band {
        double from, to, lowest, highest;
    };
    for (const Band &b : {Band{0.0, 15.0, 0.99, 1.01}, Band{20.0, 20.0, 0.4795, 0.4805}, Band{25.0, 125.0, 0.0, 0.005}})
        for (double f = b.from; f <= b.to + 1e-9; f += 0.125) {
            EXPECT_GE(gainAt(f), b.lowest) << f << " Hz";
            EXPECT_LE(gainAt(f), b.highest) << f << " Hz";
        }
    EXPECT_NEAR(gainAt(0.0), 1.0, 1e-12);
    for (int k = 0; k < t.length; ++k) EXPECT_DOUBLE_EQ(t.taps[k], t.taps[t.length - 1 - k]) << "tap " << k;
}

TEST(AverageWaveletScales, FiltersAreTheSplineDerivativesOfEachScale) {
    EXPECT_EQ(AverageWaveletScales::filter(1), (std::vector<double>{-2, 2}));
    EXPECT_EQ(AverageWaveletScales::filter(2), (std::vector<double>{-0.25, -0.75, -0.5, 0.5, 0.75, 0.25}));
    EXPECT_EQ(AverageWaveletScales::filter(3),
              (std::vector<double>{-0.03125, -0.09375, -0.1875, -0.3125, -0.34375, -0.28125, -0.125, 0.125, 0.28125,
                                   0.34375, 0.3125, 0.1875, 0.09375, 0.03125}));
    const std::vector<double> w4 = AverageWaveletScales::filter(4);
    ASSERT_EQ(w4.size(), 30u);
    EXPECT_DOUBLE_EQ(w4.front(), -2.0 / 512.0);  // 0.125^3 x -2
    for (std::size_t k = 0; k < w4.size(); ++k) EXPECT_DOUBLE_EQ(w4[k], -w4[29 - k]) << k;
}

}  // namespace
