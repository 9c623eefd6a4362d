// The run control against the real Kipnet controller and a simulated
// treadmill that stops answering: the lost link is noticed, the treadmill
// dropped, and the test runs to its end without sending anything more.

#include "EquipmentTestSupport.h"
#include "store/StandardProtocols.h"
#include "store/Study.h"
#include "stress/KipnetController.h"
#include "stress/StressRun.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

Protocol bruce() {
    for (const Protocol &p : StandardProtocols::all())
        if (p.name == QLatin1String("Bruce")) return p;
    ADD_FAILURE() << "no Bruce protocol";
    return {};
}

TEST(StressRunWithKipnet, ATreadmillThatStopsAnsweringIsDroppedAndTheTestRunsOn) {
    EquipmentPeer treadmill(std::make_unique<KipnetSimProtocol>());
    treadmill.setSilent(true);
    QTemporaryDir logs;
    RecordingSleeper sleeper;
    KipnetController controller(treadmill.portPath(), logs.path(), &sleeper, 20);

    Study study;
    QStringList messages;
    StressRun::Notify notify;
    notify.message = [&](const QString &text) { messages << text; };
    StressRun::Plan plan;
    plan.stages = bruce();
    plan.equipment = &controller;
    StressRun run(study, std::move(plan), nullptr, StressRun::SignalScale{}, notify);

    run.start("20261208100000", 0.0);
    run.tick(300.0);  // rest ends: the first load goes out and is never answered
    ASSERT_TRUE(eventually([&] { return !controller.isReady(); }, 10000)) << "the worker never gave up";
    EXPECT_TRUE(messages.isEmpty());  // the failure shows at the next call

    run.tick(480.0);  // second load change: the lost link is noticed
    EXPECT_EQ(messages, QStringList({StressRun::equipmentFailedText()}));
    EXPECT_FALSE(run.hasEquipment());
    treadmill.clearCommands();
    run.tick(660.0);
    run.goToRecovery(700.0);
    run.stop(760.0);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(treadmill.commands().isEmpty());
    ASSERT_NE(study.protocol(), nullptr);
    EXPECT_EQ(study.protocol()->stageCount(), 5);
    EXPECT_EQ(static_cast<int>(study.protocol()->stage(4).duration), 60);
    EXPECT_TRUE(readWholeFile(controller.logFilePath()).contains("Kipnet device did not respond (command GO)"));
}

}  // namespace
