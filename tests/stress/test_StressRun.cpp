// Run control without a signal: stage changes, merges, pressures, METS,
// maxima and the equipment, driven with recorded times chosen by the test.

#include "FakeEquipment.h"
#include "analysis/BeatRecord.h"
#include "store/StandardProtocols.h"
#include "store/Study.h"
#include "stress/StressRun.h"

#include "analysis/AverageBeatBuilder.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace {

Protocol standard(const char *name) {
    for (const Protocol &p : StandardProtocols::all())
        if (p.name == QLatin1String(name)) return p;
    ADD_FAILURE() << name;
    return {};
}

Protocol treadmill(std::initializer_list<std::pair<StagePhase, double>> stages, double speed = 2.7) {
    Protocol p;
    p.name = QStringLiteral("T");
    p.type = ProtocolType::Treadmill;
    for (const auto &s : stages) p.appendTreadmillStage(s.first, s.second, speed, 10.0);
    return p;
}

// A run over `protocol` whose notifications land in `log`.
struct Rig {
    explicit Rig(Protocol protocol, EquipmentController *equipment = nullptr, const char *weight = nullptr,
                 AverageBeatBuilder *averages = nullptr) {
        if (weight) study.setProperty("patient/weight", weight);
        StressRun::Plan plan;
        plan.stages = std::move(protocol);
        plan.equipment = equipment;
        StressRun::Notify notify;
        notify.started = [this] { log << "started"; };
        notify.stageChanged = [this] { log << QStringLiteral("stage %1").arg(run->currentStageIndex()); };
        notify.stopped = [this] { log << "stopped"; };
        notify.message = [this](const QString &text) { log << text; };
        run = std::make_unique<StressRun>(study, std::move(plan), averages, StressRun::SignalScale{}, notify);
    }
    // A steady `bpm` beat every second from `from` to `to`.
    void beats(double from, double to, double bpm) {
        for (double t = from; t < to; t += 1.0) {
            BeatRecord beat;
            beat.valid = true;
            beat.windowStart = t;
            beat.values[BeatRecord::FiducialTime] = t + 0.2;
            beat.values[BeatRecord::RrInterval] = 60.0 / bpm;
            beat.values[BeatRecord::MeanRrInterval] = 60.0 / bpm;
            run->onBeat(beat);
        }
    }
    const std::vector<double> &series(Result name) { return study.results().values(name); }
    std::vector<int> durations() {
        std::vector<int> out;
        for (int i = 0; i < study.protocol()->stageCount(); ++i)
            out.push_back(static_cast<int>(study.protocol()->stage(i).duration));
        return out;
    }

    Study study;
    QStringList log;
    std::unique_ptr<StressRun> run;
};

}  // namespace

TEST(StressRun, StartRecordsDateAndAnEmptyCopyOfTheProtocol) {
    Rig rig(standard("Bruce"));
    rig.run->start("20260102030405", 0.0);
    EXPECT_EQ(rig.study.studyDateTime(), QByteArray("20260102030405"));
    ASSERT_NE(rig.study.protocol(), nullptr);
    EXPECT_EQ(rig.study.protocol()->name, QStringLiteral("Bruce"));
    EXPECT_EQ(rig.study.protocol()->stageCount(), 0);
    EXPECT_TRUE(rig.run->running());
    EXPECT_EQ(rig.log, QStringList{"started"});
}

TEST(StressRun, StagesAdvanceByRecordedTimeAndTheLastRunsUntilStop) {
    Rig rig(treadmill({{StagePhase::Rest, 60}, {StagePhase::Exercise, 30}, {StagePhase::Recovery, 20}}));
    rig.run->start("20260102030405", 0.0);
    rig.run->tick(59.9);
    EXPECT_EQ(rig.run->currentStageIndex(), 0);
    rig.run->tick(60.0);
    EXPECT_EQ(rig.run->currentStageIndex(), 1);
    rig.run->tick(90.5);
    EXPECT_EQ(rig.run->currentStageIndex(), 2);
    rig.run->tick(500.0);
    EXPECT_EQ(rig.run->currentStageIndex(), 2);
    rig.run->stop(512.0);
    EXPECT_EQ(rig.durations(), (std::vector<int>{60, 30, 422}));
    EXPECT_EQ(rig.log, (QStringList{"started", "stage 1", "stage 2", "stage 2", "stopped"}));
}

TEST(StressRun, NextWithinFiveSecondsMergesTheStageYetAdvancesCountersAndLoad) {
    FakeEquipment equipment;
    Protocol p;
    p.type = ProtocolType::Treadmill;
    p.appendTreadmillStage(StagePhase::Rest, 300, 0, 0);
    p.appendTreadmillStage(StagePhase::Exercise, 180, 2.7, 10);
    p.appendTreadmillStage(StagePhase::Exercise, 180, 4.0, 12);
    p.appendTreadmillStage(StagePhase::Recovery, 60, 0, 0);
    Rig rig(p, &equipment);
    rig.run->start("20260102030405", 0.0);
    rig.beats(0, 70, 90);
    rig.run->nextStage(60.2);
    rig.run->nextStage(63.7);  // 3 s into the first exercise stage
    EXPECT_EQ(rig.run->currentStageIndex(), 2);
    EXPECT_EQ(rig.run->stageNumberInPhase(), 2);
    EXPECT_EQ(rig.run->stageStart(), 63);
    EXPECT_EQ(rig.run->phaseStart(), 60);
    EXPECT_EQ(rig.durations(), std::vector<int>{63});
    EXPECT_EQ(rig.series(Result::BpmPerStage).size(), 1u);
    EXPECT_EQ(equipment.calls,
              (QStringList{"start", "speed=2.7", "incline=10", "apply", "speed=4", "incline=12", "apply"}));
    rig.run->nextStage(100.0);
    EXPECT_EQ(rig.durations(), (std::vector<int>{63, 37}));
    EXPECT_DOUBLE_EQ(rig.series(Result::MetsPerStage)[1], (0.1 * 4000.0 / 60 + 1.8 * 4000.0 / 60 * 0.12 + 3.5) / 3.5);
}

TEST(StressRun, BloodPressureGoesToItsStageOpenOrClosed) {
    struct Case {
        const char *name;
        double readingTime;  // entered after the stage change at 60 s
        int sysRow0, sysRow1;
    };
    const Case cases[] = {
        {"taken in the closed stage overwrites it", 58.0, 150, 0},
        {"taken in the open stage waits for its close", 61.0, 0, 150},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(treadmill({{StagePhase::Rest, 60}, {StagePhase::Exercise, 60}, {StagePhase::Recovery, 60}}));
        rig.run->start("20260102030405", 0.0);
        rig.beats(0, 119, 100);
        rig.run->addBloodPressure(120, 80, 30.0);  // pending for the first stage
        rig.run->tick(60.0);
        rig.run->addBloodPressure(150, 90, c.readingTime);
        rig.run->tick(120.0);
        ASSERT_EQ(rig.series(Result::SysBpPerStage).size(), 2u);
        EXPECT_EQ(rig.series(Result::SysBpPerStage)[0], c.sysRow0 ? c.sysRow0 : 120);
        EXPECT_EQ(rig.series(Result::DiaBpPerStage)[0], c.sysRow0 ? 90 : 80);
        EXPECT_EQ(rig.series(Result::DpPerStage)[0], 100.0 * (c.sysRow0 ? c.sysRow0 : 120));
        EXPECT_EQ(rig.series(Result::SysBpPerStage)[1], c.sysRow1);
        EXPECT_EQ(rig.series(Result::DpPerStage)[1], 100.0 * c.sysRow1);
        // Every reading is a trend point, its DP from the heart rate then.
        EXPECT_EQ(rig.series(Result::SysBpTrend), (std::vector<double>{120, 150}));
        EXPECT_EQ(rig.series(Result::DpTrend), (std::vector<double>{12000, 15000}));
    }
}

TEST(StressRun, BloodPressureAfterStopIsIgnored) {
    Rig rig(treadmill({{StagePhase::Rest, 60}, {StagePhase::Exercise, 60}}));
    rig.run->start("20260102030405", 0.0);
    rig.run->stop(30.0);
    rig.run->addBloodPressure(150, 90, 20.0);
    EXPECT_TRUE(rig.series(Result::SysBpTrend).empty());
    EXPECT_EQ(rig.series(Result::SysBpPerStage), std::vector<double>{0});
}

TEST(StressRun, MetsAndMaximaPerEquipmentAndWeight) {
    struct Case {
        const char *name;
        ProtocolType type;
        double speedOrWatts;
        const char *weight;
        double mets;
    };
    const Case cases[] = {
        // 5 km/h is 83.3333.. m/min: the running equation.
        {"treadmill at the running threshold", ProtocolType::Treadmill, 5.0, nullptr, (0.2 * 5000.0 / 60 + 3.5) / 3.5},
        {"treadmill walking", ProtocolType::Treadmill, 4.9, nullptr, (0.1 * 4900.0 / 60 + 3.5) / 3.5},
        {"ergometer with weight", ProtocolType::Ergometer, 100.0, "70", (1080.0 / 70.0 + 7.0) / 3.5},
        {"ergometer without weight", ProtocolType::Ergometer, 100.0, nullptr, 0.0},
        {"pharmacologic", ProtocolType::Pharmacologic, 0.0, "70", 0.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Protocol p;
        p.type = c.type;
        p.appendTreadmillStage(StagePhase::Rest, 60, 0, 0);
        if (c.type == ProtocolType::Ergometer)
            p.appendErgometerStage(StagePhase::Exercise, 60, c.speedOrWatts);
        else
            p.appendTreadmillStage(StagePhase::Exercise, 60, c.speedOrWatts, 0.0);
        Rig rig(p, nullptr, c.weight);
        rig.run->start("20260102030405", 0.0);
        rig.run->tick(60.0);
        EXPECT_NEAR(rig.run->stageMets(), c.mets, 1e-9);
        rig.run->stop(120.0);
        ASSERT_EQ(rig.series(Result::MetsPerStage).size(), 2u);
        EXPECT_NEAR(rig.series(Result::MetsPerStage)[1], c.mets, 1e-9);
        EXPECT_NEAR(rig.study.results().scalar(Result::MaxMets), c.mets, 1e-9);
        EXPECT_NEAR(rig.study.results().scalar(Result::MaxVo2), 3.5 * c.mets, 1e-9);
    }
}

TEST(StressRun, EquipmentFailingOnTheFirstLoadChangeIsDroppedAndTheTestRunsOn) {
    FakeEquipment equipment;
    equipment.failOnSet = 1;
    Rig rig(standard("Bruce"), &equipment);
    rig.run->start("20260102030405", 0.0);
    for (double t = 0; t <= 1000; t += 0.5) rig.run->tick(t);
    rig.run->stop(1001.0);
    // The refused speed: no incline, the completion call, then nothing more.
    EXPECT_EQ(equipment.calls, (QStringList{"start", "speed=2.7", "apply"}));
    EXPECT_EQ(rig.log.count(StressRun::equipmentFailedText()), 1);
    EXPECT_FALSE(rig.run->hasEquipment());
    EXPECT_EQ(rig.durations(), (std::vector<int>{300, 180, 180, 180, 161}));
    EXPECT_EQ(rig.log.last(), QStringLiteral("stopped"));
}

TEST(StressRun, EquipmentFailuresAtStartAndStop) {
    struct Case {
        const char *name;
        bool failStart, failStop;
        QStringList calls;
    };
    const Case cases[] = {
        {"start refused: nothing is sent after it", true, false, {"start"}},
        {"stop refused", false, true, {"start", "speed=2.7", "incline=10", "apply", "stop"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeEquipment equipment;
        equipment.failStart = c.failStart;
        equipment.failStop = c.failStop;
        Rig rig(treadmill({{StagePhase::Rest, 60}, {StagePhase::Exercise, 60}}), &equipment);
        rig.run->start("20260102030405", 0.0);
        rig.run->nextStage(61.0);
        rig.run->stop(80.0);
        EXPECT_EQ(equipment.calls, c.calls);
        EXPECT_EQ(rig.log.count(StressRun::equipmentFailedText()), 1);
    }
}

TEST(StressRun, EquipmentWhoseLinkDiedIsDroppedAtTheNextTickNotAtTheNextLoad) {
    struct Case {
        const char *name;
        bool ramp;
    };
    const Case cases[] = {{"stages", false}, {"ramp", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeEquipment equipment;
        Study study;
        QStringList messages;
        StressRun::Notify notify;
        notify.message = [&](const QString &text) { messages << text; };
        StressRun::Plan plan;
        if (c.ramp) {
            plan.ramp = RampProtocol{QStringLiteral("R"), 10.0, 3.0, 6.0, 0.0, 12.0};
        } else {
            plan.stages = standard("Bruce");
        }
        plan.equipment = &equipment;
        StressRun run(study, std::move(plan), nullptr, StressRun::SignalScale{}, notify);
        run.start("20260102030405", 0.0);
        run.tick(1.0);
        EXPECT_TRUE(messages.isEmpty());
        const int callsBefore = equipment.calls.size();

        equipment.ready = false;
        run.tick(2.0);
        EXPECT_EQ(messages, QStringList{StressRun::equipmentFailedText()});
        EXPECT_FALSE(run.hasEquipment());
        for (double t = 2.5; t < 400.0; t += 0.5) run.tick(t);
        run.stop(400.0);
        EXPECT_EQ(equipment.calls.size(), callsBefore) << "nothing is sent to a dead link, not even stop";
        EXPECT_EQ(messages.size(), 1);
    }
}

TEST(StressRun, RecoveryJumpsToTheFirstLaterRecoveryStage) {
    Rig rig(standard("Bruce"));
    rig.run->start("20260102030405", 0.0);
    rig.run->nextStage(300.0);
    rig.run->goToRecovery(400.0);
    EXPECT_EQ(rig.run->currentStageIndex(), 8);
    EXPECT_EQ(rig.run->stageNumberInPhase(), 1);
    EXPECT_EQ(rig.run->phaseStart(), 400);
    rig.run->nextStage(460.0);
    rig.run->nextStage(640.0);
    EXPECT_EQ(rig.run->currentStageIndex(), 10);
    rig.run->goToRecovery(650.0);  // no recovery stage after the last
    rig.run->nextStage(660.0);     // nor a next one
    EXPECT_EQ(rig.run->currentStageIndex(), 10);
    EXPECT_EQ(rig.durations(), (std::vector<int>{300, 100, 60, 180}));
}

TEST(StressRun, HeartRateAndMaximaOverStages) {
    Rig rig(treadmill({{StagePhase::Rest, 60}, {StagePhase::Exercise, 60}, {StagePhase::Recovery, 60}}));
    rig.run->start("20260102030405", 0.0);
    rig.beats(0, 60, 80);
    rig.run->addBloodPressure(130, 85, 50.0);
    rig.run->tick(60.0);
    rig.beats(60, 120, 140);
    rig.run->addBloodPressure(180, 80, 110.0);
    rig.run->tick(120.0);
    rig.beats(120, 180, 100);
    rig.run->stop(180.0);
    const std::vector<double> &bpm = rig.series(Result::BpmPerStage);
    ASSERT_EQ(bpm.size(), 3u);
    EXPECT_EQ(bpm[0], 80);
    EXPECT_EQ(bpm[1], 139);  // smoothed: 140 - 60 x 0.8^60, truncated
    EXPECT_EQ(rig.study.results().scalar(Result::MaxBpm), 139);
    EXPECT_EQ(rig.study.results().scalar(Result::MaxSysBp), 180);
    EXPECT_EQ(rig.study.results().scalar(Result::MaxDiaBp), 85);
    EXPECT_EQ(rig.study.results().scalar(Result::MaxDp), 180 * 139);
}

TEST(StressRun, StReferenceIsTakenWhenNextLeavesTheFirstStageOnly) {
    struct Case {
        const char *label;
        std::function<void(StressRun &)> act;
        bool taken;
    };
    const Case cases[] = {
        {"next from the first stage", [](StressRun &r) { r.nextStage(60.0); }, true},
        {"recovery from the first stage", [](StressRun &r) { r.goToRecovery(60.0); }, false},
        {"stop in the first stage", [](StressRun &r) { r.stop(60.0); }, false},
        {"stage timer", [](StressRun &r) { r.tick(300.0); }, true},
    };
    for (const Case &c : cases) {
        AverageBeatBuilder averages;
        Rig rig(standard("Bruce"), nullptr, nullptr, &averages);
        rig.run->start("20260102030405", 0.0);
        c.act(*rig.run);
        EXPECT_EQ(averages.referenceTaken(), c.taken) << c.label;
    }
}
