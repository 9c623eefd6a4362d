// The window's plain logic: stage-end events, operator events and the
// blood-pressure prompt text.

#include "store/StandardProtocols.h"
#include "stress/StressEvents.h"

#include <gtest/gtest.h>

namespace {

Protocol recorded(ProtocolType type, std::initializer_list<std::pair<StagePhase, double>> stages) {
    Protocol p;
    p.type = type;
    for (const auto &s : stages) p.appendTreadmillStage(s.first, s.second, 0, 0);
    return p;
}

}  // namespace

TEST(StressEvents, StageEndEvent) {
    using P = StagePhase;
    struct Case {
        const char *name;
        Protocol protocol;
        int phaseStart;
        double now;
        QByteArray description;
        double position;
        bool print;
    };
    const Case cases[] = {
        {"first rest stage", recorded(ProtocolType::Treadmill, {{P::Rest, 300}}), 300, 300, "Rest 1", 289, true},
        {"third exercise stage",
         recorded(ProtocolType::Treadmill,
                  {{P::Rest, 300}, {P::Exercise, 180}, {P::Exercise, 180}, {P::Exercise, 170}}),
         300, 830, "Exercise 3", 819, true},
        {"a stage ending before 11 s", recorded(ProtocolType::Ergometer, {{P::Rest, 8}}), 8, 8, "Rest 1", 0, true},
        {"tilt test basal", recorded(ProtocolType::TiltTest, {{P::Rest, 600}}), 600, 600, "Basal", 589, false},
        {"tilt test control minutes",
         recorded(ProtocolType::TiltTest, {{P::Rest, 600}, {P::Exercise, 900}, {P::Recovery, 179}}), 1500, 1679,
         "Control 2 min.", 1668, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        StudyEvent event;
        ASSERT_TRUE(StressEvents::stageEndEvent(c.protocol, c.phaseStart, c.now, &event));
        EXPECT_EQ(event.description, c.description);
        EXPECT_DOUBLE_EQ(event.position, c.position);
        EXPECT_DOUBLE_EQ(event.duration, 11.0);
        EXPECT_EQ(event.print, c.print);
    }
    StudyEvent none;
    EXPECT_FALSE(StressEvents::stageEndEvent(Protocol(), 0, 10, &none));
}

TEST(StressEvents, OperatorEventStartsFiveSecondsBackButNotBeforeTheRecording) {
    EXPECT_DOUBLE_EQ(StressEvents::operatorEventPosition(62.4), 57.4);
    EXPECT_DOUBLE_EQ(StressEvents::operatorEventPosition(3.0), 0.0);
    const StudyEvent event = StressEvents::operatorEvent(57.4, QStringLiteral("  chest pain \n"));
    EXPECT_EQ(event.description, QByteArray("chest pain"));
    EXPECT_DOUBLE_EQ(event.duration, 7.0);
    EXPECT_TRUE(event.print);
}

TEST(StressEvents, BloodPressurePromptText) {
    Protocol bruce;
    for (const Protocol &p : StandardProtocols::all())
        if (p.name == QLatin1String("Bruce")) bruce = p;
    Protocol ergometer;
    ergometer.type = ProtocolType::Ergometer;
    ergometer.appendErgometerStage(StagePhase::Exercise, 120, 100);
    Protocol drug;
    drug.type = ProtocolType::Pharmacologic;
    drug.insertStage(0).setParameter(QStringLiteral("dose"), 2.5, QString());
    drug.stage(0).phase = StagePhase::Exercise;
    Protocol tilt;
    tilt.type = ProtocolType::TiltTest;
    tilt.appendTreadmillStage(StagePhase::Rest, 600, 0, 0);
    struct Case {
        const char *name;
        const Protocol &protocol;
        int stage, number;
        QString unit, text;
    };
    const Case cases[] = {
        {"treadmill", bruce, 2, 2, "watts", "Exercise 2\n4.0 km/h / 12 %"},
        {"treadmill rest", bruce, 0, 1, "watts", "Rest 1\n0.0 km/h / 0 %"},
        {"ergometer in watts", ergometer, 0, 1, "watts", "Exercise 1\n100.0 watts"},
        {"ergometer in kgm/min", ergometer, 0, 1, "kgm/min", "Exercise 1\n600.0 kgm/min"},
        {"pharmacologic", drug, 0, 3, "watts", "Exercise 3\nDose 2.5"},
        {"tilt test has no load", tilt, 0, 1, "watts", "Basal 1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StressEvents::bloodPressurePromptText(c.protocol, c.stage, c.number, c.unit), c.text);
    }
}
