// The Kipnet controller and its worker thread over a pseudo-terminal: what
// each request sends, one cycle at a time, the log, and how failures end the
// worker.
#include "EquipmentTestSupport.h"
#include "stress/KipnetCommand.h"
#include "stress/KipnetController.h"
#include "stress/KipnetWorker.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

using Commands = QList<QByteArray>;

const QByteArray kGo = ";2GO00:";
const QByteArray kStop = ";2ST17:";

class KipnetWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logDir_.isValid());
        ASSERT_FALSE(peer_.portPath().isEmpty());
    }
    void TearDown() override { finish(); }

    // The worker opens the port and runs its first, empty cycle.
    void startController(const QString &port, int readTimeoutMs = 0) {
        controller_ = std::make_unique<KipnetController>(port, logDir_.path(), &sleeper_, readTimeoutMs);
    }
    void startHeld() {
        sleeper_.holdEvery(KipnetWorker::kCycleMs);
        startController(peer_.portPath());
        ASSERT_TRUE(sleeper_.waitHeld());
    }
    void finish() {
        sleeper_.releaseAll();
        controller_.reset();
    }
    QByteArray log() const { return readWholeFile(logDir_.filePath(KipnetController::kLogFileName)); }

    QTemporaryDir logDir_;
    RecordingSleeper sleeper_;
    EquipmentPeer peer_{std::make_unique<KipnetSimProtocol>()};
    std::unique_ptr<KipnetController> controller_;
};

struct ApplyCase {
    const char *what;
    std::vector<std::pair<const char *, double>> values;
    Commands sent;
};

TEST_F(KipnetWorkerTest, FirstApplySendsGoOnlyWhenTheBeltOrLoadMoves) {
    const ApplyCase cases[] = {
        {"incline only", {{"incline", 3.0}}, {";2E003058:"}},
        {"speed and incline", {{"speed", 1.6}, {"incline", 3.0}}, {kGo, ";2V001679:", ";2E003058:"}},
        {"speed alone", {{"speed", 5.0}}, {kGo, ";2V005077:"}},
        {"zero speed", {{"speed", 0.0}, {"incline", 2.0}}, {";2V000072:", ";2E002057:"}},
        {"workload", {{"workload", 900.0}}, {kGo, ";2N080072:"}},
        {"over the caps", {{"speed", 45.0}, {"incline", 25.0}}, {kGo, ";2V040076:", ";2E020057:"}},
        {"all three in order",
         {{"workload", 50.0}, {"incline", 2.0}, {"speed", 5.0}},
         {kGo, ";2V005077:", ";2E002057:", ";2N005069:"}},
        {"unknown and negative", {{"pace", 5.0}, {"speed", -1.0}}, {}},
    };
    for (const ApplyCase &c : cases) {
        SCOPED_TRACE(c.what);
        peer_.clearCommands();
        startHeld();
        for (const auto &value : c.values) EXPECT_TRUE(controller_->setValue(value.first, value.second));
        EXPECT_TRUE(controller_->apply());
        ASSERT_TRUE(sleeper_.step());
        EXPECT_EQ(peer_.commands(), c.sent);
        finish();
    }
}

TEST_F(KipnetWorkerTest, GoIsSentOnceAndLaterAppliesSendTheirValues) {
    startHeld();
    controller_->setValue("speed", 1.6);
    controller_->setValue("incline", 3.0);
    controller_->apply();
    ASSERT_TRUE(sleeper_.step());
    controller_->setValue("speed", 5.0);
    controller_->apply();
    ASSERT_TRUE(sleeper_.step());
    EXPECT_EQ(peer_.commands(), (Commands{kGo, ";2V001679:", ";2E003058:", ";2V005077:", ";2E003058:"}));
    finish();

    const QByteArray expectedLog = "Thread start, device port = " + peer_.portPath().toLocal8Bit() +
                                   "\n>> ;2GO00:\n>> ;2V001679:\n>> ;2E003058:\n>> ;2V005077:\n>> ;2E003058:\n"
                                   "Thread stop\n--------------------\n";
    EXPECT_EQ(log(), expectedLog);
}

TEST_F(KipnetWorkerTest, StartSkipsACycleThenStopThenUpdateOnePerCycle) {
    startHeld();
    EXPECT_TRUE(controller_->start());
    EXPECT_TRUE(controller_->stop());
    controller_->setValue("speed", 5.0);
    EXPECT_TRUE(controller_->apply());

    ASSERT_TRUE(sleeper_.step());
    EXPECT_EQ(peer_.commands(), Commands{});
    ASSERT_TRUE(sleeper_.step());
    EXPECT_EQ(peer_.commands(), (Commands{kStop}));
    ASSERT_TRUE(sleeper_.step());
    EXPECT_EQ(peer_.commands(), (Commands{kStop, kGo, ";2V005077:"}));
    ASSERT_TRUE(sleeper_.step());
    EXPECT_EQ(peer_.commands().size(), 3) << "a request is consumed once";
}

TEST_F(KipnetWorkerTest, ACycleSendsOnlyWhatWasApplied) {
    startHeld();
    controller_->setValue("speed", 5.0);
    controller_->setValue("incline", 2.0);
    controller_->apply();
    // The next stage is being set when the worker's cycle comes round: it
    // must still send the last applied stage, not half of the new one.
    controller_->setValue("speed", 8.0);
    ASSERT_TRUE(sleeper_.step());
    EXPECT_EQ(peer_.commands(), (Commands{kGo, ";2V005077:", ";2E002057:"}));

    controller_->setValue("incline", 4.0);
    controller_->apply();
    ASSERT_TRUE(sleeper_.step());
    EXPECT_EQ(peer_.commands().mid(3), (Commands{KipnetCommand::speed(8.0), KipnetCommand::incline(4.0)}));
}

TEST_F(KipnetWorkerTest, ApplyRacingTheWorkerNeverMixesStages) {
    // Real threads without holding: every set the device sees must be one
    // that was applied whole (speed and incline always moved together).
    startController(peer_.portPath());
    for (int stage = 1; stage <= 40; ++stage) {
        controller_->setValue("speed", stage);
        controller_->setValue("incline", stage);
        controller_->apply();
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    controller_->stop();
    ASSERT_TRUE(eventually([&] { return peer_.commands().contains(kStop); }));
    const Commands sent = peer_.commands();
    for (int i = 0; i + 1 < sent.size(); ++i) {
        if (!sent[i].startsWith(";2V")) continue;
        const int speedTenths = sent[i].mid(3, 4).toInt();
        ASSERT_TRUE(sent[i + 1].startsWith(";2E")) << sent[i + 1].constData();
        EXPECT_EQ(sent[i + 1].mid(3, 4).toInt(), std::min(speedTenths, 200)) << i;
    }
}

struct FailureCase {
    const char *what;
    std::vector<std::pair<const char *, double>> values;
    bool stop;
    QByteArray command;
    const char *text;
};

TEST_F(KipnetWorkerTest, ASilentDeviceEndsTheWorkerAfterThreeAttempts) {
    const FailureCase cases[] = {
        {"go", {{"speed", 5.0}}, false, kGo, "Kipnet device did not respond (command GO)"},
        {"speed", {{"speed", 0.0}}, false, ";2V000072:", "Kipnet device did not respond (command V)"},
        {"incline", {{"incline", 3.0}}, false, ";2E003058:", "Kipnet device did not respond (command E)"},
        {"workload", {{"workload", 0.0}}, false, ";2N000064:", "Kipnet device did not respond (command N)"},
        {"stop", {}, true, kStop, "Kipnet device did not respond (command ST)"},
    };
    peer_.setSilent(true);
    for (const FailureCase &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(logDir_.filePath(KipnetController::kLogFileName));
        peer_.clearCommands();
        const int retriesBefore = sleeper_.count(KipnetWorker::kRetryWaitMs);
        startController(peer_.portPath(), 20);
        for (const auto &value : c.values) controller_->setValue(value.first, value.second);
        c.stop ? controller_->stop() : controller_->apply();
        ASSERT_TRUE(eventually([&] { return !controller_->isReady(); }));

        EXPECT_EQ(peer_.commands(), (Commands{c.command, c.command, c.command}));
        EXPECT_EQ(sleeper_.count(KipnetWorker::kRetryWaitMs) - retriesBefore, 3);
        const QByteArray expectedLog = "Thread start, device port = " + peer_.portPath().toLocal8Bit() + "\n>> " +
                                       c.command + "\n" + c.text + "\nThread stop\n--------------------\n";
        EXPECT_EQ(log(), expectedLog);

        // The run control learns of the lost link; nothing more is sent.
        controller_->setValue("speed", 3.0);
        EXPECT_FALSE(controller_->apply());
        EXPECT_FALSE(controller_->stop());
        EXPECT_FALSE(controller_->start());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(peer_.commands().size(), 3);
        controller_.reset();
    }
}

TEST_F(KipnetWorkerTest, AMissingPortEndsTheWorkerAndLogsWhy) {
    const QString port = logDir_.filePath("no-such-port");
    for (int run = 0; run < 2; ++run) {
        startController(port);
        ASSERT_TRUE(eventually([&] { return !controller_->isReady(); }));
        controller_.reset();
    }
    const QByteArray session =
        "Thread start, device port = " + port.toLocal8Bit() + "\nPort not found\nThread stop\n--------------------\n";
    EXPECT_EQ(log(), session + session) << "the log is appended to, never replaced";
    EXPECT_EQ(peer_.commands(), Commands{});
}

TEST_F(KipnetWorkerTest, TheLogFolderIsCreatedWhenMissing) {
    const QString folder = logDir_.filePath("new/folder");
    controller_ = std::make_unique<KipnetController>(peer_.portPath(), folder, &sleeper_);
    controller_.reset();
    EXPECT_TRUE(readWholeFile(folder + "/tarvelin-kipnet.log").startsWith("Thread start, device port = "));
}

}  // namespace
