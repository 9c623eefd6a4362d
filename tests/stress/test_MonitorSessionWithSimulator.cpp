// The session on the real link device and driver, with the simulated front
// end on a pseudo-terminal: what the device reports about its electrodes,
// battery and link reaches the session's listeners, and the signal comes
// back after the link was lost and reconnected.

#include "acquisition/AcqDeviceFactory.h"
#include "acquisition/SerialLinkDevice.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "stress/SessionListener.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SimulatedFrontEnd {
public:
    SimulatedFrontEnd(const QString &link, const QStringList &options) {
        process_.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
                       QStringList{QStringLiteral("device"), QStringLiteral("--link"), link} + options);
        process_.waitForStarted(10000);
        while (!process_.canReadLine() && process_.state() == QProcess::Running) process_.waitForReadyRead(200);
        ready_ = QFileInfo(link).isSymLink();
    }
    ~SimulatedFrontEnd() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) process_.kill();
        process_.waitForFinished();
    }
    bool isReady() const { return ready_; }

private:
    QProcess process_;
    bool ready_ = false;
};

struct StateLog : SessionListener {
    void deviceStateChanged(MonitorSession &, const DeviceState &state) override { states.push_back(state); }
    std::vector<DeviceState> states;
};

// Polls the session as the window's clock does until `done` holds.
bool pollUntil(MonitorSession &session, const std::function<bool()> &done, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        session.pollDeviceState();
        QThread::msleep(20);
    }
    return true;
}

std::unique_ptr<MonitorSession> sessionOn(const QString &link) {
    AcqSettings settings;
    settings.mode = QString::fromLatin1(AcqDeviceFactory::kBluetoothMode);
    settings.bluetoothPort = link;
    std::unique_ptr<AcqDevice> device = AcqDeviceFactory::createDevice(settings, false, {});
    // The reader gives up on a silent link after 3 s rather than 10 s, so the
    // test is short, yet the session's 2 s of silence are seen first.
    if (auto *serial = dynamic_cast<SerialLinkDevice *>(device.get())) serial->setReadTimeoutMs(3000);
    return std::make_unique<MonitorSession>(std::move(device), false);
}

}  // namespace

TEST(MonitorSessionWithSimulator, TheFrontEndsStateReachesTheListeners) {
    struct Case {
        const char *name;
        QStringList options;
        std::function<bool(const DeviceState &)> reached;
    };
    const std::vector<Case> cases = {
        {"V3 off",
         {"--electrode-off", "V3"},
         [](const DeviceState &s) { return s.electrodesOff == QStringList{QStringLiteral("V3")}; }},
        {"battery 2.2 V", {"--battery", "2.2"}, [](const DeviceState &s) { return s.lowBattery(0.0); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ecg"));
        SimulatedFrontEnd frontEnd(link, c.options);
        ASSERT_TRUE(frontEnd.isReady());
        auto session = sessionOn(link);
        StateLog log;
        session->addListener(&log);
        session->start();
        EXPECT_TRUE(pollUntil(*session, [&] { return !log.states.empty() && c.reached(log.states.back()); }));
        EXPECT_TRUE(log.states.back().connected);
        session->stop();
    }
}

TEST(MonitorSessionWithSimulator, ASilentFrontEndShowsALostLinkAndTheSignalResumesAfterReconnection) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ecg"));
    SimulatedFrontEnd frontEnd(link, {"--silent-after", "1"});
    ASSERT_TRUE(frontEnd.isReady());
    auto session = sessionOn(link);
    StateLog log;
    session->addListener(&log);
    session->start();
    MonitorEngine &engine = session->engine();
    ASSERT_TRUE(pollUntil(*session, [&] { return !session->deviceState().connected; }))
        << "the connecting indicator's state";
    const std::int64_t atLoss = engine.raw().length();
    ASSERT_TRUE(pollUntil(*session, [&] {
        return session->deviceState().connected && engine.raw().length() > atLoss + 500;
    })) << "a second of signal after the link came back";
    EXPECT_FALSE(session->failed()) << "a lost link is restarted, not a failed acquisition";
    session->stop();
}
