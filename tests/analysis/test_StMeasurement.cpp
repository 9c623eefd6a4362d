// ST measurement on hand-made averages and the three-value smoother.
#include "analysis/StMeasurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace {

constexpr int kR = 75;  // 0.3 s at 250/s
constexpr double kUnit = 0.01;

// A 250/s average with P, R and T waves. The segment after the R wave is
// shifted by `plateau` units (blended in over the R wave's falling limb, so
// the QRS end stays put), and from `rampFrom` on `ramp` units per sample are
// added.
std::vector<double> average250(double plateau = 0.0, double ramp = 0.0, int rampFrom = kR + 10) {
    std::vector<double> x(200, 40.0);
    for (const auto &[centre, halfWidth, height] :
         {std::tuple{double(kR - 45), 15.0, 20.0}, {double(kR), 8.0, 200.0}, {double(kR + 70), 20.0, 40.0}})
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double u = (static_cast<double>(i) - centre) / halfWidth;
            if (std::fabs(u) < 1.0) x[i] += height * std::pow(std::cos(1.5707963267948966 * u), 2);
        }
    for (int i = kR; i < static_cast<int>(x.size()); ++i) {
        const double blend = i >= kR + 8 ? 1.0 : (i - kR) / 8.0;
        x[static_cast<std::size_t>(i)] += plateau * blend + (i > rampFrom ? ramp * (i - rampFrom) : 0.0);
    }
    return x;
}

// The same average at 500/s: each sample twice, so the group means give it back.
std::vector<double> doubled(const std::vector<double> &x) {
    std::vector<double> y;
    for (double v : x) y.insert(y.end(), {v, v});
    return y;
}

}  // namespace

TEST(StMeasurement, FlatOrEmptyAveragesAreNotMeasured) {
    EXPECT_FALSE(measureSt(std::vector<double>(400, 100.0), 500, 0.8, kUnit).valid);
    EXPECT_FALSE(measureSt({}, 500, 0.8, kUnit).valid);
    EXPECT_FALSE(measureSt(average250(), 0, 0.8, kUnit).valid);
}

TEST(StMeasurement, PointsAreOrderedAndScaledToTheAverageRate) {
    const StMeasurement at250 = measureSt(average250(), 250, 0.8, kUnit);
    const StMeasurement at500 = measureSt(doubled(average250()), 500, 0.8, kUnit);
    ASSERT_TRUE(at250.valid);
    ASSERT_TRUE(at500.valid);
    EXPECT_LT(at250.isoelectric, kR - 8);
    EXPECT_GT(at250.j, kR + 8);
    EXPECT_EQ(at250.st - at250.j, 18);  // 80 ms after the QRS end, from J at 10 ms
    EXPECT_EQ(at500.isoelectric, 2 * at250.isoelectric);
    EXPECT_EQ(at500.j, 2 * at250.j);
    EXPECT_EQ(at500.st, 2 * at250.st);
    EXPECT_DOUBLE_EQ(at500.level, at250.level);
    EXPECT_DOUBLE_EQ(at500.slope, at250.slope);
}

// A raised or sloping segment after the QRS shows as level and slope in mV.
TEST(StMeasurement, LevelAndSlopeFollowTheSegment) {
    const StMeasurement base = measureSt(average250(), 250, 0.8, kUnit);
    ASSERT_TRUE(base.valid);
    ASSERT_EQ(base.j, kR + 10);  // where the ramp below starts
    struct Case {
        const char *what;
        double offset, plateau, ramp;
        double levelChange, slopeChange;
    };
    const Case cases[] = {
        {"baseline offset", 500.0, 0.0, 0.0, 0.0, 0.0},
        {"depressed 10 units", 0.0, -10.0, 0.0, -0.1, 0.0},
        {"elevated 5 units", 0.0, 5.0, 0.0, 0.05, 0.0},
        {"rising 0.2 units a sample from J", 0.0, 0.0, 0.2, 0.0, 0.2 * kUnit * 250.0},
    };
    for (const Case &c : cases) {
        std::vector<double> x = average250(c.plateau, c.ramp);
        for (double &v : x) v += c.offset;
        const StMeasurement m = measureSt(x, 250, 0.8, kUnit);
        ASSERT_TRUE(m.valid) << c.what;
        EXPECT_EQ(m.j, base.j) << c.what;
        EXPECT_NEAR(m.level - base.level, c.levelChange, 1e-9) << c.what;
        EXPECT_NEAR(m.slope - base.slope, c.slopeChange, 1e-9) << c.what;
    }
}

TEST(StSmoother, MeanOfTheCurrentAndTwoPrecedingValues) {
    const double in[] = {3.0, 6.0, 9.0, 0.0, -3.0, 3.0};
    const double out[] = {3.0, 4.5, 6.0, 5.0, 2.0, 0.0};
    StSmoother s;
    for (std::size_t i = 0; i < std::size(in); ++i) EXPECT_DOUBLE_EQ(s.add(in[i]), out[i]) << i;
    s.reset();
    EXPECT_DOUBLE_EQ(s.add(-1.5), -1.5);
    EXPECT_DOUBLE_EQ(s.add(1.5), 0.0);
}
