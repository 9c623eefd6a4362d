// What the review window leans on below it: a stage pressure typed into the
// stage table (stored, its double product and the maxima following, or
// refused with nothing changed), and where a moment of the recording lies.

#include "analysis/StudyResults.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "stress/ReviewPosition.h"
#include "stress/StagePressureEdit.h"

#include <gtest/gtest.h>

namespace {

// Rest 120/80 at 72 bpm, exercise 150/85 at 130, recovery without a reading at 100.
void fillStages(StudyResults &r) {
    const double hr[] = {72, 130, 100}, sys[] = {120, 150, 0}, dia[] = {80, 85, 0}, mets[] = {1, 6.5, 1};
    for (int s = 0; s < 3; ++s) {
        r.setPerStage(Result::BpmPerStage, s, hr[s]);
        r.setPerStage(Result::SysBpPerStage, s, sys[s]);
        r.setPerStage(Result::DiaBpPerStage, s, dia[s]);
        r.setPerStage(Result::DpPerStage, s, hr[s] * sys[s]);
        r.setPerStage(Result::MetsPerStage, s, mets[s]);
    }
    r.setScalar(Result::MaxSysBp, 150);
    r.setScalar(Result::MaxDiaBp, 85);
    r.setScalar(Result::MaxDp, 19500);
    r.setScalar(Result::MaxBpm, 130);
    r.setScalar(Result::MaxMets, 6.5);
    r.setScalar(Result::MaxVo2, 22.75);
}

}  // namespace

TEST(StagePressureEdit, TypedPressures) {
    struct Case {
        const char *typed;
        int stage;
        bool stored;
        const char *shown;
        double maxSys, maxDia, maxDp;
    };
    const Case cases[] = {
        {"135/85", 0, true, "135/85", 150, 85, 19500},
        {" 190 / 95 ", 2, true, "190/95", 190, 95, 19500},  // recovery: 100 × 190 = 19000
        {"175/90", 1, true, "175/90", 175, 90, 22750},
        {"0/0", 1, true, "0/0", 120, 80, 8640},  // a mistaken reading cleared
        {"135-85", 0, false, "120/80", 150, 85, 19500},
        {"135/", 0, false, "120/80", 150, 85, 19500},
        {"1350/85", 0, false, "120/80", 150, 85, 19500},
        {"85/135", 0, false, "120/80", 150, 85, 19500},
        {"135/85/70", 0, false, "120/80", 150, 85, 19500},
        {"135/85", 3, false, "0/0", 150, 85, 19500},  // not a recorded stage
        {"135/85", -1, false, "0/0", 150, 85, 19500},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        StudyResults r;
        fillStages(r);
        EXPECT_EQ(StagePressureEdit::apply(r, c.stage, QString::fromLatin1(c.typed)), c.stored);
        EXPECT_EQ(StagePressureEdit::text(r, c.stage), c.shown);
        EXPECT_EQ(r.scalar(Result::MaxSysBp), c.maxSys);
        EXPECT_EQ(r.scalar(Result::MaxDiaBp), c.maxDia);
        EXPECT_EQ(r.scalar(Result::MaxDp), c.maxDp);
        EXPECT_EQ(r.values(Result::SysBpPerStage).size(), 3u);
        EXPECT_DOUBLE_EQ(r.scalar(Result::MaxVo2), 22.75);
    }
}

TEST(ReviewPosition, WhereAMomentLies) {
    Study study;
    auto protocol = std::make_unique<Protocol>();
    protocol->appendTreadmillStage(StagePhase::Rest, 60, 0, 0);
    protocol->appendTreadmillStage(StagePhase::Exercise, 180, 2.7, 10);
    protocol->appendTreadmillStage(StagePhase::Exercise, 100, 4.0, 12);
    protocol->appendTreadmillStage(StagePhase::Recovery, 60, 0, 0);
    study.setProtocol(std::move(protocol));
    for (int t = 1; t <= 400; t += 2) study.results().appendPoint(Result::BpmTrend, t, 70 + t / 10);
    struct Case {
        double time;
        int stage, numberInPhase, heartRate;
        double elapsed;
    };
    const Case cases[] = {
        {0.5, 0, 1, 0, 0.5},     {60.0, 0, 1, 75, 60.0},  // a stage's end is its own
        {60.5, 1, 1, 75, 0.5},   {240.0, 1, 1, 93, 180.0}, {300.0, 2, 2, 99, 60.0},
        {340.0, 2, 2, 103, 100}, {400.0, 3, 1, 109, 60.0}, {460.0, 3, 1, 109, 120.0},  // past the end
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.time);
        const ReviewPosition p = ReviewPosition::at(study, c.time);
        EXPECT_EQ(p.stage, c.stage);
        EXPECT_EQ(p.numberInPhase, c.numberInPhase);
        EXPECT_EQ(p.heartRate, c.heartRate);
        EXPECT_DOUBLE_EQ(p.stageElapsed, c.elapsed);
    }
    EXPECT_EQ(ReviewPosition::stageEnd(study, 2), 340.0);
    EXPECT_EQ(ReviewPosition::stageEnd(study, 4), 0.0);
}
