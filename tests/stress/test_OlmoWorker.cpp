// The OLMO controller and its worker thread over a pseudo-terminal: the
// one-time start-up, the workload sequences, quiet retries of a missing port
// and the reset on destruction.
#include "EquipmentTestSupport.h"
#include "stress/OlmoController.h"
#include "stress/OlmoWorker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Commands = QList<QByteArray>;

std::atomic<int> messagesSeen{0};
void countMessage(QtMsgType, const QMessageLogContext &, const QString &) { ++messagesSeen; }

class OlmoWorkerTest : public ::testing::Test {
protected:
    void startController(const QString &port) { controller_ = std::make_unique<OlmoController>(port, &sleeper_); }
    // Waits until the worker has begun at least two more cycles, so a request
    // set before has certainly been consumed.
    void waitTwoCycles() {
        const int cycles = sleeper_.count(OlmoWorker::kCycleMs);
        ASSERT_TRUE(sleeper_.waitForCount(OlmoWorker::kCycleMs, cycles + 2));
    }

    RecordingSleeper sleeper_;
    EquipmentPeer peer_{std::make_unique<OlmoSimProtocol>()};
    std::unique_ptr<OlmoController> controller_;
};

TEST_F(OlmoWorkerTest, StartUpOnceThenWorkloadSequences) {
    startController(peer_.portPath());
    ASSERT_TRUE(peer_.waitForCommands(2));
    EXPECT_EQ(peer_.commands(), (Commands{"r", "c"}));
    EXPECT_EQ(sleeper_.count(OlmoWorker::kStartupStepMs), OlmoWorker::kStartupSteps);

    const struct {
        double watts;
        Commands sent;
    } stages[] = {
        {50.9, {"p", "d", "50", "a"}},  // truncated to whole watts
        {75, {"i", "25"}},
        {-5, {}},  // a negative target leaves the ergometer as it is
        {60, {"i", "-15"}},
        {0, {"e"}},
        {-5, {}},
        {0, {}},
        {40, {"p", "d", "40", "a"}},
    };
    for (const auto &stage : stages) {
        SCOPED_TRACE(stage.watts);
        peer_.clearCommands();
        EXPECT_TRUE(controller_->setValue("anything", stage.watts));
        EXPECT_TRUE(controller_->apply());
        if (!stage.sent.isEmpty()) {
            ASSERT_TRUE(peer_.waitForCommands(stage.sent.size()));
        }
        waitTwoCycles();
        EXPECT_EQ(peer_.commands(), stage.sent);
    }

    peer_.clearCommands();
    EXPECT_TRUE(controller_->start());
    ASSERT_TRUE(peer_.waitForCommands(1));
    EXPECT_TRUE(controller_->stop());
    ASSERT_TRUE(peer_.waitForCommands(2));
    waitTwoCycles();
    EXPECT_EQ(peer_.commands(), (Commands{"a", "r"}));
    EXPECT_EQ(sleeper_.count(OlmoWorker::kStartupStepMs), OlmoWorker::kStartupSteps) << "start-up runs once";
    EXPECT_TRUE(controller_->isReady());
}

TEST_F(OlmoWorkerTest, DestructionResetsTheErgometerAndJoinsPromptly) {
    startController(peer_.portPath());
    controller_->setValue("workload", 50);
    controller_->apply();
    ASSERT_TRUE(peer_.waitForCommands(6));
    peer_.clearCommands();

    QElapsedTimer timer;
    timer.start();
    controller_.reset();
    EXPECT_LT(timer.elapsed(), 1000);
    ASSERT_TRUE(peer_.waitForCommands(1));
    EXPECT_EQ(peer_.commands(), (Commands{"r"}));
}

TEST_F(OlmoWorkerTest, DestructionDuringStartUpSkipsTheRest) {
    // Each start-up step really lasts 100 ms here, 1.4 s in all.
    sleeper_.slowDown(OlmoWorker::kStartupStepMs, 100);
    startController(peer_.portPath());
    ASSERT_TRUE(peer_.waitForCommands(1));

    QElapsedTimer timer;
    timer.start();
    controller_.reset();
    EXPECT_LT(timer.elapsed(), 500);
    ASSERT_TRUE(peer_.waitForCommands(2));
    EXPECT_EQ(peer_.commands(), (Commands{"r", "r"}));
    EXPECT_LT(sleeper_.count(OlmoWorker::kStartupStepMs), OlmoWorker::kStartupSteps);
}

TEST_F(OlmoWorkerTest, AMissingPortIsRetriedEveryTwoSecondsQuietly) {
    QTemporaryDir dir;
    const QString link = dir.filePath("olmo");
    messagesSeen = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countMessage);
    startController(link);
    ASSERT_TRUE(sleeper_.waitForCount(OlmoWorker::kOpenRetryMs, 3));
    EXPECT_EQ(sleeper_.count(OlmoWorker::kCycleMs), 0);
    EXPECT_EQ(sleeper_.count(OlmoWorker::kStartupStepMs), 0);
    EXPECT_EQ(messagesSeen.load(), 0);
    qInstallMessageHandler(previous);

    // The ergometer appears later: the next retry finds it and starts up.
    ASSERT_TRUE(QFile::link(peer_.portPath(), link));
    ASSERT_TRUE(peer_.waitForCommands(2));
    EXPECT_EQ(peer_.commands(), (Commands{"r", "c"}));
}

TEST_F(OlmoWorkerTest, AValueWithNoWholeNumberKeepsThePreviousTarget) {
    startController(peer_.portPath());
    ASSERT_TRUE(peer_.waitForCommands(2));
    peer_.clearCommands();
    controller_->setValue("workload", 30);
    controller_->setValue("workload", std::numeric_limits<double>::quiet_NaN());
    controller_->setValue("workload", std::numeric_limits<double>::infinity());
    controller_->setValue("workload", 1e12);
    controller_->apply();
    ASSERT_TRUE(peer_.waitForCommands(4));
    EXPECT_EQ(peer_.commands(), (Commands{"p", "d", "30", "a"}));
}

}  // namespace
