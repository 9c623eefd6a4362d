// Beat, pressure and stage events driven through the stage results: heart-rate
// smoothing, short stages merged, double products, maxima and pulse times.
#include "analysis/BeatRecord.h"
#include "analysis/StageResults.h"
#include "analysis/StudyResults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Treadmill stages of 1 MET (standing), 4.6 METS (walking) and 8.62 (running).
const std::vector<StageLoad> kStages = {{StageLoad::Treadmill, 0.0, 0.0, 0.0},
                                        {StageLoad::Treadmill, 2.7, 10.0, 0.0},
                                        {StageLoad::Treadmill, 8.0, 0.0, 0.0}};
const double kRunningMets = (0.2 * 8000.0 / 60.0 + 3.5) / 3.5;

BeatRecord beat(double time, double meanRr, bool valid = true) {
    BeatRecord b;
    b.valid = valid;
    b.windowStart = time;
    b.values[BeatRecord::MeanRrInterval] = meanRr;
    b.values[BeatRecord::RrInterval] = meanRr;
    return b;
}

struct Fixture {
    StudyResults results;
    StageResults stages;
    explicit Fixture(double weightKg = 70.0, int deviceRate = 500)
        : stages(results, nullptr, StageResults::Settings{weightKg, 600.0 / 65536.0, deviceRate}, kStages) {}
};

}  // namespace

TEST(StageResults, HeartRateIsSmoothedAndTrendedPerBeat) {
    struct Step {
        double meanRr;
        bool valid;
        double smoothed;
        int bpmPoints;
    };
    // The first rate is taken as it is, later ones weigh in by a fifth; a
    // beat without a mean RR, or an invalid one, changes nothing.
    const Step steps[] = {
        {1.0, true, 60.0, 1}, {0.5, true, 72.0, 2}, {0.0, true, 72.0, 2}, {0.6, true, 77.6, 3}, {0.25, false, 77.6, 3}};
    Fixture f;
    f.stages.start(1, 0.0);
    double time = 0.0;
    for (const Step &s : steps) {
        f.stages.onBeat(beat(time += 1.0, s.meanRr, s.valid));
        EXPECT_NEAR(f.stages.heartRate(), s.smoothed, 1e-9) << time;
        EXPECT_EQ(f.results.values(Result::BpmTrend).size(), static_cast<std::size_t>(s.bpmPoints)) << time;
    }
    EXPECT_EQ(f.results.values(Result::BpmTrend), (std::vector<double>{60.0, 120.0, 100.0}));
    EXPECT_EQ(f.results.times(Result::BpmTrend), (std::vector<double>{1.0, 2.0, 4.0}));
    EXPECT_EQ(f.results.values(Result::MetsTrend).size(), 4u);
    EXPECT_NEAR(f.results.values(Result::MetsTrend).back(), 4.6, 1e-9);
    EXPECT_EQ(f.stages.beatsInStage(), 4);
}

// Stage 0 for 60 s, stage 1 left after 3 s (merged into stage 0), stage 2
// until the end at 130 s.
TEST(StageResults, AShortStageIsMergedIntoThePreviousOne) {
    Fixture f;
    f.stages.start(0, 0.2);
    f.stages.onBeat(beat(1.0, 0.75));
    f.stages.closeStage(1, 60.9);
    ASSERT_EQ(f.stages.executedStages().size(), 1u);
    EXPECT_EQ(f.stages.executedStages()[0].durationSeconds, 60);
    f.stages.onBeat(beat(61.0, 0.6));
    f.stages.closeStage(2, 63.5);
    ASSERT_EQ(f.stages.executedStages().size(), 1u);
    EXPECT_EQ(f.stages.executedStages()[0].durationSeconds, 63);
    EXPECT_EQ(f.results.values(Result::BpmPerStage).size(), 1u);
    EXPECT_EQ(f.stages.beatsInStage(), 1);  // the short stage's beat stays counted
    f.stages.finish(130.0);
    ASSERT_EQ(f.stages.executedStages().size(), 2u);
    EXPECT_EQ(f.stages.executedStages()[1].protocolStage, 2);
    EXPECT_EQ(f.stages.executedStages()[1].durationSeconds, 67);
    ASSERT_EQ(f.results.values(Result::MetsPerStage).size(), 2u);
    EXPECT_NEAR(f.results.values(Result::MetsPerStage)[0], 1.0, 1e-12);
    EXPECT_NEAR(f.results.values(Result::MetsPerStage)[1], kRunningMets, 1e-12);
    // The heart rate carries over: 0.8 x 80 + 0.2 x 100.
    EXPECT_EQ(f.results.values(Result::BpmPerStage), (std::vector<double>{80.0, 84.0}));
}

TEST(StageResults, AShortFirstStageIsStillRecorded) {
    Fixture f;
    f.stages.start(0, 0.0);
    f.stages.closeStage(1, 3.0);
    ASSERT_EQ(f.stages.executedStages().size(), 1u);
    EXPECT_EQ(f.stages.executedStages()[0].durationSeconds, 3);
    EXPECT_EQ(f.results.values(Result::MetsPerStage), (std::vector<double>{1.0}));
}

// Each stage: the heart rate from its beats, the pressures entered (none
// when systolic is 0), and the double product written for it.
TEST(StageResults, PressuresAndDoubleProductsPerStage) {
    struct Stage {
        double meanRr;
        double systolic, diastolic;
        double dp;
    };
    const Stage stages[] = {
        {1.0, 0.0, 0.0, 0.0},              // no pressure entered: DP 0
        {0.9, 140.0, 85.0, 61.0 * 140.0},  // H 0.8 x 60 + 0.2 x 66.67 = 61.33, truncated
        {0.7, 0.0, 0.0, 0.0},              // pressures do not carry over
        {0.6, 180.0, 90.0, 72.0 * 180.0},  // 0.8 x 66.21 + 20 = 72.97 (66.21 after the 0.7 s stage)
    };
    Fixture f;
    f.stages.start(0, 0.0);
    double now = 0.0;
    for (const Stage &s : stages) {
        f.stages.onBeat(beat(now + 1.0, s.meanRr));
        if (s.systolic > 0.0) f.stages.onBloodPressure(s.systolic, s.diastolic, now + 2.0);
        f.stages.closeStage(0, now += 10.0);
    }
    std::vector<double> dp, systolic, diastolic;
    for (const Stage &s : stages) {
        dp.push_back(s.dp);
        systolic.push_back(s.systolic);
        diastolic.push_back(s.diastolic);
    }
    EXPECT_EQ(f.results.values(Result::DpPerStage), dp);
    EXPECT_EQ(f.results.values(Result::SysBpPerStage), systolic);
    EXPECT_EQ(f.results.values(Result::DiaBpPerStage), diastolic);
    EXPECT_EQ(f.results.times(Result::SysBpTrend), (std::vector<double>{12.0, 32.0}));
    EXPECT_EQ(f.results.values(Result::DpTrend), (std::vector<double>{61.0 * 140.0, 72.0 * 180.0}));
}

TEST(StageResults, MaximaAtTheEnd) {
    struct Case {
        const char *what;
        std::vector<int> protocolStages;  // 20 s each
        double systolic;                  // entered in every stage (0: none)
        double maxMets, maxSys;
    };
    const Case cases[] = {
        {"walking then running", {0, 1, 2}, 150.0, kRunningMets, 150.0},
        {"running then walking", {2, 1}, 0.0, kRunningMets, 0.0},
        {"walking only", {1}, 120.0, 4.6, 120.0},
        {"stage beyond the protocol", {7}, 0.0, 0.0, 0.0},
    };
    for (const Case &c : cases) {
        Fixture f;
        f.stages.start(c.protocolStages.front(), 0.0);
        double now = 0.0;
        for (std::size_t i = 0; i < c.protocolStages.size(); ++i) {
            f.stages.onBeat(beat(now + 1.0, 0.5));
            if (c.systolic > 0.0) f.stages.onBloodPressure(c.systolic, 80.0, now + 2.0);
            now += 20.0;
            if (i + 1 < c.protocolStages.size()) f.stages.closeStage(c.protocolStages[i + 1], now);
        }
        f.stages.finish(now);
        EXPECT_NEAR(f.results.scalar(Result::MaxMets), c.maxMets, 1e-12) << c.what;
        EXPECT_EQ(f.results.scalar(Result::MaxVo2), 3.5 * f.results.scalar(Result::MaxMets)) << c.what;
        EXPECT_EQ(f.results.scalar(Result::MaxSysBp), c.maxSys) << c.what;
        EXPECT_EQ(f.results.scalar(Result::MaxDiaBp), c.systolic > 0.0 ? 80.0 : 0.0) << c.what;
        EXPECT_EQ(f.results.scalar(Result::MaxBpm), 120.0) << c.what;
        EXPECT_EQ(f.results.scalar(Result::MaxDp), 120.0 * c.maxSys) << c.what;
    }
}

TEST(StageResults, ErgometerMetsNeedTheWeight) {
    const std::vector<StageLoad> bike = {{StageLoad::Ergometer, 0.0, 0.0, 100.0}};
    for (double weight : {70.0, 0.0}) {
        StudyResults results;
        StageResults stages(results, nullptr, StageResults::Settings{weight, 0.01, 500}, bike);
        stages.start(0, 0.0);
        stages.finish(60.0);
        EXPECT_NEAR(results.scalar(Result::MaxMets), weight > 0.0 ? 6.41 : 0.0, 0.005) << weight;
    }
}

TEST(StageResults, PacemakerPulsesRelativeToTheRecordingStart) {
    struct Case {
        int rate;
        double recordingStart;
        std::int64_t sample;
        double time;
    };
    const Case cases[] = {{500, 0.0, 250, 0.5}, {500, 10.0, 5250, 0.5}, {1000, 2.0, 2500, 0.5}};
    for (const Case &c : cases) {
        Fixture f(70.0, c.rate);
        f.stages.start(0, c.recordingStart, c.recordingStart);
        f.stages.onPacemakerPulse(c.sample);
        EXPECT_EQ(f.results.values(Result::PacemakerPulses), (std::vector<double>{c.time})) << c.sample;
    }
}
