#include "ui/PressurePairSeries.h"
#include "ui/TrendSeries.h"

#include <gtest/gtest.h>

namespace {

TEST(StudySeries, ATrendIsReadByNameAndSurvivesTheResultsBeingCleared) {
    StudyResults results;
    results.appendPoint(Result::BpmTrend, 1.0, 72.0);
    results.appendPoint(Result::BpmTrend, 1.8, 75.0);
    results.appendPoint(StudyResults::stLevelTrend(10), 1.8, -1.2);
    const TrendSeries heartRate(results, Result::BpmTrend);
    const TrendSeries stV5(results, StudyResults::stLevelTrend(10));
    ASSERT_EQ(heartRate.count(), 2);
    EXPECT_EQ(heartRate.time(1), 1.8);
    EXPECT_EQ(heartRate.value(1), 75.0);
    EXPECT_EQ(stV5.value(0), -1.2);
    // Reloading a study rebuilds every series; the adaptor must not hold
    // on to the old one.
    results.clear();
    EXPECT_EQ(heartRate.count(), 0);
    results.appendPoint(Result::BpmTrend, 5.0, 90.0);
    EXPECT_EQ(heartRate.value(0), 90.0);
    EXPECT_EQ(TrendSeries(results, Result::MetsTrend).count(), 0);  // never written
}

TEST(StudySeries, PressuresPairSystolicAndDiastolicOfEachReading) {
    StudyResults results;
    results.appendPoint(Result::SysBpTrend, 80.0, 125.0);
    results.appendPoint(Result::DiaBpTrend, 80.0, 80.0);
    results.appendPoint(Result::SysBpTrend, 260.0, 150.0);
    results.appendPoint(Result::DiaBpTrend, 260.0, 82.0);
    // A systolic value whose diastolic has not arrived is not a reading yet.
    results.appendPoint(Result::SysBpTrend, 440.0, 170.0);
    const PressurePairSeries pairs(results);
    ASSERT_EQ(pairs.count(), 4);
    const double expected[4][2] = {{80, 125}, {80, 80}, {260, 150}, {260, 82}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pairs.time(i), expected[i][0]) << i;
        EXPECT_EQ(pairs.value(i), expected[i][1]) << i;
    }
}

}  // namespace
