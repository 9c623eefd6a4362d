// Stage lookup by elapsed time and editing of a protocol's stage list.
#include "ProtocolTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct StageAtCase {
    const char *protocol;
    double t;
    int stage;
};

const StageAtCase kStageAtCases[] = {
    {"Bruce", 0.0, 0},                             // the rest stage
    {"Bruce", 300.0, 1},                           // a boundary belongs to the stage that starts there
    {"Bruce", 1559.9, 7},                          // last exercise stage
    {"Bruce", 1560.0, 8},                          // first recovery stage
    {"Bruce", 2099.9, 10}, {"Bruce", 2100.0, -1},  // the total duration is past the end
    {"Bruce", -0.1, -1},   {"Balke-Ware", 479.0, 2}, {"Who", 1860.0, 10},
};

class StageAt : public ::testing::TestWithParam<StageAtCase> {};

TEST_P(StageAt, FindsTheRunningStage) {
    const StageAtCase &c = GetParam();
    EXPECT_EQ(standardProtocol(c.protocol).stageAt(c.t), c.stage) << c.protocol << " at " << c.t;
}

INSTANTIATE_TEST_SUITE_P(Standard, StageAt, ::testing::ValuesIn(kStageAtCases));

struct BoundsCase {
    const char *protocol;
    int stage;
    double start;
    double end;
};

const BoundsCase kBoundsCases[] = {
    {"Naughton", 1, 300.0, 420.0},   {"Naughton", 7, 1020.0, 1140.0},  // last exercise stage
    {"Naughton", 8, 1140.0, 1200.0}, {"Naughton", 10, 1380.0, 1680.0},
    {"Naughton", 11, 0.0, 0.0},  // past the last stage
    {"Naughton", -1, 0.0, 0.0},
};

class StageBounds : public ::testing::TestWithParam<BoundsCase> {};

TEST_P(StageBounds, StartAndEndAreRunningSums) {
    const BoundsCase &c = GetParam();
    const Protocol p = standardProtocol(c.protocol);
    EXPECT_EQ(p.stageStart(c.stage), c.start);
    EXPECT_EQ(p.stageEnd(c.stage), c.end);
}

INSTANTIATE_TEST_SUITE_P(Standard, StageBounds, ::testing::ValuesIn(kBoundsCases));

TEST(PhaseCount, CountsStagesOfEachPhase) {
    const Protocol p = standardProtocol("Balke-Ware");
    EXPECT_EQ(p.phaseCount(StagePhase::Rest), 1);
    EXPECT_EQ(p.phaseCount(StagePhase::Exercise), 25);
    EXPECT_EQ(p.phaseCount(StagePhase::Recovery), 3);
}

// Three distinguishable stages: durations 10, 20, 30 with speeds 1, 2, 3.
Protocol threeStages() {
    Protocol p;
    for (int i = 1; i <= 3; ++i) {
        p.appendTreadmillStage(static_cast<StagePhase>(i - 1), 10.0 * i, i, 0.0);
        p.stage(i - 1).label = QByteArray("stage ") + QByteArray::number(i);
    }
    return p;
}

double speedOf(const Protocol &p, int i) {
    return p.stage(i).parameter(QStringLiteral("speed"), QStringLiteral("km/h"));
}

struct InsertCase {
    int index;
    int landsAt;                 // where the new stage ends up after clamping
    std::vector<double> speeds;  // speeds of all stages afterwards
    bool isDefault;              // appended default stage rather than a copy
};

const InsertCase kInsertCases[] = {
    {0, 0, {1, 1, 2, 3}, false},  {1, 1, {1, 2, 2, 3}, false}, {3, 3, {1, 2, 3, 0}, true},
    {-5, 0, {1, 1, 2, 3}, false}, {99, 3, {1, 2, 3, 0}, true},
};

class InsertStage : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertStage, CopiesTheDisplacedStageOrAppendsADefault) {
    const InsertCase &c = GetParam();
    const Protocol before = threeStages();
    Protocol p = before;
    Stage &inserted = p.insertStage(c.index);
    EXPECT_EQ(&inserted, &p.stage(c.landsAt));
    ASSERT_EQ(p.stageCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(speedOf(p, i), c.speeds[static_cast<size_t>(i)]) << i;
    if (c.isDefault) {
        EXPECT_EQ(inserted.phase, StagePhase::Rest);
        EXPECT_EQ(inserted.duration, 0.0);
        EXPECT_TRUE(inserted.parameters().isEmpty());
        EXPECT_TRUE(inserted.label.isEmpty());
    } else {
        expectSameStage(inserted, before.stage(c.landsAt));
        expectSameStage(p.stage(c.landsAt + 1), before.stage(c.landsAt));
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, InsertStage, ::testing::ValuesIn(kInsertCases));

TEST(InsertStage, UnsetParametersKeepTheCopiedValues) {
    Protocol p = threeStages();
    Stage &s = p.insertStage(1);
    s.setParameter(QStringLiteral("incline"), 7.0, QStringLiteral("%"));
    EXPECT_EQ(speedOf(p, 1), 2.0);
    EXPECT_EQ(p.stage(1).parameter(QStringLiteral("incline"), QStringLiteral("%")), 7.0);
    EXPECT_EQ(p.stage(2).parameter(QStringLiteral("incline"), QStringLiteral("%")), 0.0);
}

struct RemoveCase {
    int index;
    std::vector<double> speeds;
};

const RemoveCase kRemoveCases[] = {
    {0, {2, 3}},
    {2, {1, 2}},
    {3, {1, 2, 3}},
    {-1, {1, 2, 3}},
};

class RemoveStage : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveStage, RemovesOnlyValidIndices) {
    const RemoveCase &c = GetParam();
    Protocol p = threeStages();
    p.removeStage(c.index);
    ASSERT_EQ(p.stageCount(), static_cast<int>(c.speeds.size()));
    for (int i = 0; i < p.stageCount(); ++i) EXPECT_EQ(speedOf(p, i), c.speeds[static_cast<size_t>(i)]);
}

INSTANTIATE_TEST_SUITE_P(Positions, RemoveStage, ::testing::ValuesIn(kRemoveCases));

}  // namespace
