// The equipment simulators of tarvelin-ecg-sim driven by the real controllers
// in real time: what they log is what the controllers sent.
#include "EquipmentTestSupport.h"
#include "stress/KipnetController.h"
#include "stress/OlmoController.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs the simulator until destroyed; collects the lines it prints.
class Simulator {
public:
    explicit Simulator(const QStringList &arguments) {
        process_.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE), arguments);
        started_ = process_.waitForStarted(5000) && waitForLines(1);
    }
    ~Simulator() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(5000);
    }
    bool started() const { return started_; }
    QString port() const { return lines_.isEmpty() ? QString() : QString::fromLocal8Bit(lines_.first()); }
    // Commands logged so far (the port line excluded).
    QList<QByteArray> commands() const { return lines_.mid(1); }

    bool waitForLines(int count, int timeoutMs = 10000) {
        QElapsedTimer timer;
        timer.start();
        while (lines_.size() < count && timer.elapsed() < timeoutMs) {
            process_.waitForReadyRead(100);
            while (process_.canReadLine()) lines_.append(process_.readLine().trimmed());
        }
        return lines_.size() >= count;
    }
    // Ends the simulator as Ctrl+C or a service stop would.
    int terminate() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) return -1;
        while (process_.canReadLine()) lines_.append(process_.readLine().trimmed());
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

private:
    QProcess process_;
    QList<QByteArray> lines_;
    bool started_ = false;
};

TEST(EquipmentSimulator, KipnetTreadmillFollowsTheRealController) {
    QTemporaryDir logDir;
    Simulator simulator({"kipnet"});
    ASSERT_TRUE(simulator.started());
    {
        // Real sleeps and the profile's time-outs.
        KipnetController controller(simulator.port(), logDir.path());
        EXPECT_TRUE(controller.start());
        controller.setValue("speed", 5.0);
        controller.setValue("incline", 2.0);
        EXPECT_TRUE(controller.apply());
        ASSERT_TRUE(simulator.waitForLines(1 + 3));
        EXPECT_TRUE(controller.stop());
        ASSERT_TRUE(simulator.waitForLines(1 + 4));
        EXPECT_TRUE(controller.isReady());
    }
    EXPECT_EQ(simulator.terminate(), 0);
    EXPECT_EQ(simulator.commands(), (QList<QByteArray>{";2GO00:", ";2V005077:", ";2E002057:", ";2ST17:"}));
    EXPECT_FALSE(readWholeFile(logDir.filePath("tarvelin-kipnet.log")).contains("did not respond"));
}

TEST(EquipmentSimulator, OlmoErgometerAnswersEveryLineThroughItsLink) {
    QTemporaryDir dir;
    const QString link = dir.filePath("olmo");
    Simulator simulator({"olmo", "--link", link});
    ASSERT_TRUE(simulator.started());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), simulator.port());
    {
        RecordingSleeper sleeper;
        OlmoController controller(link, &sleeper);
        ASSERT_TRUE(simulator.waitForLines(1 + 2));
        controller.setValue("workload", 50);
        controller.apply();
        // A reply line the simulator failed to send would cost the 2 s read
        // time-out; all four exchanges must go by well before that.
        QElapsedTimer timer;
        timer.start();
        ASSERT_TRUE(simulator.waitForLines(1 + 6));
        EXPECT_LT(timer.elapsed(), 1500);
    }
    ASSERT_TRUE(simulator.waitForLines(1 + 7));
    EXPECT_EQ(simulator.terminate(), 0);
    EXPECT_EQ(simulator.commands(), (QList<QByteArray>{"r", "c", "p", "d", "50", "a", "r"}));
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link is removed on exit";
}

}  // namespace
