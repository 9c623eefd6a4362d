#include "ui/PlotAxisSteps.h"

#include <QFont>
#include <QFontMetrics>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(PlotAxisSteps, RoundsFirstStepUpToTwoFiveOrTenTimesAPowerOfTen) {
    struct Case {
        double s0, expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case &c : std::vector<Case>{{1.0, 2.0},
                                           {2.0, 2.0},
                                           {2.01, 5.0},
                                           {5.0, 5.0},
                                           {5.01, 10.0},
                                           {0.03, 0.05},
                                           {1000.0, 2000.0},  // an exact power of ten stays in its decade
                                           {0.001, 0.002},
                                           {7300.0, 10000.0},
                                           {0.0, 0.0},
                                           {-3.0, 0.0},
                                           {nan, 0.0}}) {
        EXPECT_NEAR(PlotAxisSteps::roundedStep(c.s0), c.expected, c.expected * 1e-12) << "s0 " << c.s0;
    }
}

TEST(PlotAxisSteps, StepsKeepLabelsAtLeastOneLabelApart) {
    struct Case {
        const char *what;
        double step;
        double expected;
    };
    const std::vector<Case> cases = {
        // 15-pixel labels at 2 px per unit: 7.5 units rounds to 10.
        {"value", PlotAxisSteps::valueStep(15, -2.0), 10.0},
        // Exactly one label apart after rounding: widened to the next multiple.
        {"value, exact fit", PlotAxisSteps::valueStep(20, -10.0), 4.0},
        {"value, dense", PlotAxisSteps::valueStep(14, -140.0), 0.2},
        // 45-pixel label, 0.2 px/s: 225 s rounds to 5 minutes.
        {"elapsed", PlotAxisSteps::elapsedTimeStep(45, 0.2), 300.0},
        {"elapsed, seconds", PlotAxisSteps::elapsedTimeStep(45, 50.0), 1.0},
        // Beyond an hour per label: whole hours.
        {"elapsed, hours", PlotAxisSteps::elapsedTimeStep(45, 0.005), 3.0 * 3600.0},
        {"number", PlotAxisSteps::numberStep(25, 0.667), 50.0},
        {"no label size", PlotAxisSteps::valueStep(0, -2.0), 0.0},
        {"no scale", PlotAxisSteps::numberStep(25, 0.0), 0.0},
    };
    for (const Case &c : cases) EXPECT_NEAR(c.step, c.expected, 1e-9) << c.what;
}

TEST(PlotAxisSteps, TimeLabelsOnFourHundredPixelsForTwoThousandSecondsAreFiveMinutesApart) {
    // The label width of the real "mm:ss" pattern in the plot's font.
    const QFontMetrics metrics{QFont()};
    const double width = metrics.horizontalAdvance(QStringLiteral("mm:ss")) + 10;
    const double step = PlotAxisSteps::elapsedTimeStep(width, 400.0 / 2000.0);
    EXPECT_GE(step, 300.0);
    EXPECT_EQ(std::fmod(step, 300.0), 0.0);
}

TEST(PlotAxisSteps, MultiplesRunFromTheFirstNotBelowTheStart) {
    struct Case {
        double from, to, step;
        std::vector<double> expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {-3.2, 10.0, 5.0, {0.0, 5.0, 10.0}},
        {-10.0, -1.0, 5.0, {-10.0, -5.0}},
        {0.0, 0.0, 1.0, {0.0}},
        {12.5, 30.0, 60.0, {}},
        {0.0, 10.0, 0.0, {}},
        {0.0, inf, 1.0, {}},
    };
    for (const Case &c : cases) {
        const std::vector<double> got = PlotAxisSteps::multiples(c.from, c.to, c.step);
        ASSERT_EQ(got.size(), c.expected.size()) << c.from << ".." << c.to;
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-12);
    }
    // Lines are k × step, so the tenth line of 0.1 is not 0.1 added ten times.
    const std::vector<double> tenths = PlotAxisSteps::multiples(0.0, 1.0, 0.1);
    ASSERT_EQ(tenths.size(), 11u);
    EXPECT_DOUBLE_EQ(tenths.back(), 1.0);
    EXPECT_FALSE(std::signbit(PlotAxisSteps::multiples(-0.5, 1.0, 1.0).front()));
    EXPECT_LE(PlotAxisSteps::multiples(0.0, 1e12, 1.0).size(), 2000u);
}

}  // namespace
