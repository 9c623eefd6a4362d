// Ramp loads over time and the ramp editor's oxygen uptake arithmetic.
#include "stress/RampEditor.h"
#include "stress/RampProtocol.h"
#include "stress/Vo2Model.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(RampProtocol, LoadRisesLinearlyWithoutClamping) {
    RampProtocol ramp;
    ramp.durationMinutes = 10.0;
    ramp.initialSpeed = 3.0;
    ramp.finalSpeed = 6.0;
    ramp.initialIncline = 0.0;
    ramp.finalIncline = 10.0;
    const struct { double t, speed, incline; } cases[] = {{0, 3, 0}, {300, 4.5, 5}, {900, 7.5, 15}, {-60, 2.7, -1}};
    for (const auto &c : cases) {
        const TreadmillLoad load = ramp.loadAt(c.t);
        EXPECT_DOUBLE_EQ(load.speed, c.speed) << c.t;
        EXPECT_DOUBLE_EQ(load.incline, c.incline) << c.t;
    }
}

struct Vo2Case {
    Gait gait;
    double speed, grade, vo2;
};

// Values worked out by hand from 0.3015 S G + 1.675 S + 3.5 (walking) and
// 0.15075 S G + 3.35 S + 3.5 (running).
const Vo2Case kVo2Cases[] = {
    {Gait::Walking, 0.0, 10.0, 3.5},   {Gait::Walking, 5.0, 10.0, 26.95},  {Gait::Walking, 4.0, 12.0, 24.672},
    {Gait::Running, 10.0, 4.0, 43.03}, {Gait::Running, 12.0, 2.0, 47.318},
};

class Vo2 : public ::testing::TestWithParam<Vo2Case> {};

TEST_P(Vo2, ForwardAndInverseAgree) {
    const Vo2Case &c = GetParam();
    EXPECT_NEAR(Vo2Model::vo2(c.gait, c.speed, c.grade), c.vo2, 1e-9);
    if (c.speed > 0.0) {
        EXPECT_NEAR(Vo2Model::gradeFor(c.gait, c.vo2, c.speed), c.grade, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Gaits, Vo2, ::testing::ValuesIn(kVo2Cases));

TEST(RampEditor, WalkingAtFiveTowardsTwentyNeedsFivePointThreeNinePercent) {
    RampEditor editor;
    editor.setFinalSpeed(5.0);
    editor.setTargetVo2(20.0);
    EXPECT_NEAR(editor.finalIncline(), (20.0 - 3.5 - 8.375) / 1.5075, 1e-12);
    EXPECT_NEAR(editor.finalIncline(), 5.39, 0.005);
    EXPECT_EQ(editor.finalSpeed(), 5.0);
}

TEST(RampEditor, TargetBySpeedSetsTheInclineToZero) {
    const struct {
        Gait gait;
        double target, speed;
    } cases[] = {{Gait::Walking, 20.0, 16.5 / 1.675}, {Gait::Running, 37.0, 10.0}};
    for (const auto &c : cases) {
        RampEditor editor;
        editor.chooseGait(c.gait);
        editor.setFinalIncline(7.0);
        editor.setReachTargetBySpeed(true);
        editor.setTargetVo2(c.target);
        EXPECT_NEAR(editor.finalSpeed(), c.speed, 1e-12);
        EXPECT_EQ(editor.finalIncline(), 0.0);
        EXPECT_EQ(editor.targetVo2(), c.target);
    }
}

TEST(RampEditor, PresetsSetSpeedsAndCopyTheReference) {
    const struct {
        Gait gait;
        double initial, final;
    } cases[] = {{Gait::Walking, 3.0, 6.0}, {Gait::Running, 8.0, 12.0}};
    for (const auto &c : cases) {
        RampEditor editor;
        editor.setReferenceVo2(35.0);
        editor.chooseGait(c.gait);
        EXPECT_EQ(editor.gait(), c.gait);
        EXPECT_EQ(editor.initialSpeed(), c.initial);
        EXPECT_EQ(editor.finalSpeed(), c.final);
        EXPECT_EQ(editor.targetVo2(), 35.0);
        // The end point follows the copied target.
        EXPECT_NEAR(Vo2Model::vo2(c.gait, editor.finalSpeed(), editor.finalIncline()), 35.0, 1e-9);
    }
}

TEST(RampEditor, IncrementsFollowEveryChange) {
    RampEditor editor;
    editor.setDurationMinutes(10.0);
    editor.setInitialSpeed(3.0);
    EXPECT_DOUBLE_EQ(editor.speedIncrement(), -0.3);
    editor.setFinalSpeed(6.0);
    EXPECT_DOUBLE_EQ(editor.speedIncrement(), 0.3);
    editor.setInitialIncline(2.0);
    editor.setFinalIncline(12.0);
    EXPECT_DOUBLE_EQ(editor.inclineIncrement(), 1.0);
    editor.setDurationMinutes(5.0);
    EXPECT_DOUBLE_EQ(editor.speedIncrement(), 0.6);
    EXPECT_DOUBLE_EQ(editor.inclineIncrement(), 2.0);
    editor.setTargetVo2(Vo2Model::vo2(Gait::Walking, 6.0, 7.0));  // moves the final incline
    EXPECT_NEAR(editor.inclineIncrement(), 1.0, 1e-9);
    editor.setDurationMinutes(0.0);  // no ramp yet: nothing to divide by
    EXPECT_EQ(editor.speedIncrement(), 0.0);
    EXPECT_EQ(editor.inclineIncrement(), 0.0);
}

double oneDecimal(double v) { return std::round(v * 10.0) / 10.0; }

// A dialog whose fields show one decimal: each refresh that changes what a
// field shows writes the shown value back into the editor, as a spin box's
// change signal would.
TEST(RampEditor, EchoesOfAnEditDoNotRewriteWhatWasTyped) {
    RampEditor editor;
    editor.setFinalSpeed(5.0);
    double shownIncline = oneDecimal(editor.finalIncline());
    double shownTarget = oneDecimal(editor.targetVo2());
    int refreshes = 0;
    editor.setChangedCallback([&] {
        ++refreshes;
        const double incline = oneDecimal(editor.finalIncline());
        if (incline != shownIncline) {
            shownIncline = incline;
            editor.setFinalIncline(incline);
        }
        const double target = oneDecimal(editor.targetVo2());
        if (target != shownTarget) {
            shownTarget = target;
            editor.setTargetVo2(target);
        }
    });

    shownTarget = 20.0;
    editor.setTargetVo2(20.0);
    EXPECT_EQ(editor.targetVo2(), 20.0);  // not 20.0158 from the rounded incline
    EXPECT_EQ(editor.finalIncline(), 5.4);
    EXPECT_EQ(refreshes, 1);

    shownIncline = 3.0;
    editor.setFinalIncline(3.0);            // 5 km/h, 3 %: 16.3975 ml/kg/min
    EXPECT_EQ(editor.finalIncline(), 3.0);  // not moved by the rounded target
    EXPECT_EQ(editor.targetVo2(), 16.4);
    EXPECT_EQ(refreshes, 2);
}

}  // namespace
