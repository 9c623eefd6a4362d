#include "ui/PlotGeometry.h"
#include "ui/PlotFit.h"
#include "PlotTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(PlotGeometry, MapsSamplesRoundingHalfUpThenTruncatingTowardZero) {
    // 100 x 100 pixels of plot for 0..10 on both axes: 10 px per unit.
    const PlotGeometry g(140, 120, true, true, PlotRange{0, 10}, PlotRange{0, 10});
    struct Case {
        double in;
        double x, y;
    };
    const std::vector<Case> cases = {
        {0.0, 40, 100},
        {0.05, 41, 100},  // half a pixel rounds up...
        {0.04, 40, 100},  // ...less than half does not
        // Upward the offsets are negative and truncate toward zero: -99.5
        // becomes -99, so the top of the range lands on row 1.
        {10.0, 140, 1},
        {5.0, 90, 51},
        {10.23, 142, -1},  // -101.8 truncates to -101
        {-0.23, 39, 102},  // -1.8 truncates to -1
    };
    for (const Case &c : cases) {
        EXPECT_EQ(g.xAt(c.in), c.x) << "t " << c.in;
        EXPECT_EQ(g.yAt(c.in), c.y) << "v " << c.in;
    }
    EXPECT_DOUBLE_EQ(g.timeAtColumn(90), 5.0);
    // Far outside the range the position is still a number, not an overflow.
    EXPECT_TRUE(std::isfinite(g.yAt(1e300)));
}

TEST(PlotGeometry, NothingCanBeMappedWithoutAreaOrWithAnEmptyOrReversedRange) {
    struct Case {
        int w, h;
        PlotRange x, y;
        bool canMap;
    };
    const std::vector<Case> cases = {
        {300, 200, {0, 10}, {0, 10}, true}, {300, 200, {5, 5}, {0, 10}, false}, {300, 200, {0, 10}, {3, 1}, false},
        {40, 200, {0, 10}, {0, 10}, false}, {300, 20, {0, 10}, {0, 10}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PlotGeometry(c.w, c.h, true, true, c.x, c.y).canMap(), c.canMap) << c.w << "x" << c.h;
}

TEST(PlotFit, WidensTheExtentByFivePercentAndEqualValuesByOnePercent) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char *what;
        std::vector<double> values;
        double min, max;
    };
    const std::vector<Case> cases = {
        {"spread", {60, 160, 100}, 55, 165},
        {"equal", {50, 50, 50}, 49.5, 50.5},
        {"equal negative", {-2, -2}, -2.02, -1.98},
        {"all zero", {0, 0, 0}, 0, 0},
        {"not a number left out", {nan, 60, 160}, 55, 165},
    };
    for (const Case &c : cases) {
        std::vector<double> times(c.values.size());
        for (std::size_t i = 0; i < times.size(); ++i) times[i] = 10.0 * static_cast<double>(i);
        const VectorSeries series(times, c.values);
        const auto range = PlotFit::valueRange(series);
        ASSERT_TRUE(range) << c.what;
        EXPECT_NEAR(range->min, c.min, 1e-9) << c.what;
        EXPECT_NEAR(range->max, c.max, 1e-9) << c.what;
    }
    const VectorSeries times({0, 100}, {1, 2});
    EXPECT_NEAR(PlotFit::timeRange(times)->min, -5.0, 1e-9);
    EXPECT_NEAR(PlotFit::timeRange(times)->max, 105.0, 1e-9);
    EXPECT_FALSE(PlotFit::valueRange(VectorSeries()));
    EXPECT_FALSE(PlotFit::valueRange(VectorSeries({0}, {nan})));
}

}  // namespace
