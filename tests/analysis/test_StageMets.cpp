// METS of stage loads: both treadmill branches around the running threshold,
// the ergometer with and without a weight, and kinds that have none.
#include "analysis/StageMets.h"

#include <gtest/gtest.h>

TEST(StageMets, LoadsAndWeights) {
    struct Case {
        const char *what;
        StageLoad load;
        double weightKg;
        double mets;
        double tolerance;
    };
    const Case cases[] = {
        {"walking 2.7 km/h at 10 %", {StageLoad::Treadmill, 2.7, 10.0, 0.0}, 70.0, 4.6, 1e-9},
        {"running 8 km/h on the level", {StageLoad::Treadmill, 8.0, 0.0, 0.0}, 70.0, 8.62, 0.005},
        // 5 km/h = 83.33 m/min, just above the threshold: running, 0.2 d.
        {"5 km/h runs", {StageLoad::Treadmill, 5.0, 0.0, 0.0}, 0.0, (0.2 * 5000.0 / 60.0 + 3.5) / 3.5, 1e-9},
        // 4.99 km/h stays below it: walking, 0.1 d.
        {"4.99 km/h walks", {StageLoad::Treadmill, 4.99, 0.0, 0.0}, 0.0, (0.1 * 4990.0 / 60.0 + 3.5) / 3.5, 1e-9},
        {"running up 5 %", {StageLoad::Treadmill, 12.0, 5.0, 0.0}, 0.0, (40.0 + 0.9 * 200.0 * 0.05 + 3.5) / 3.5, 1e-9},
        {"standing treadmill is 1 MET", {StageLoad::Treadmill, 0.0, 12.0, 0.0}, 0.0, 1.0, 1e-12},
        {"ergometer 100 W at 70 kg", {StageLoad::Ergometer, 0.0, 0.0, 100.0}, 70.0, 6.41, 0.005},
        {"ergometer ignores speed", {StageLoad::Ergometer, 8.0, 10.0, 0.0}, 70.0, 2.0, 1e-12},
        {"ergometer without weight", {StageLoad::Ergometer, 0.0, 0.0, 100.0}, 0.0, 0.0, 0.0},
        {"ergometer with negative weight", {StageLoad::Ergometer, 0.0, 0.0, 100.0}, -5.0, 0.0, 0.0},
        {"pharmacologic protocol", {4, 3.0, 10.0, 50.0}, 70.0, 0.0, 0.0},
        {"no protocol", {-1, 3.0, 10.0, 50.0}, 70.0, 0.0, 0.0},
    };
    for (const Case &c : cases) EXPECT_NEAR(stageMets(c.load, c.weightKg), c.mets, c.tolerance) << c.what;
}
