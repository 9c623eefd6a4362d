// How the device links fail and come back: silence, a vanished or busy
// port, stop while the device is silent, keep-alive, and the acquisition
// worker restarting a failed link until samples flow again.

#include "AcqTestSupport.h"
#include "LinkTestSupport.h"
#include "acquisition/AcqDeviceFactory.h"
#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/LinkReader.h"
#include "acquisition/SerialPort.h"
#include "acquisition/TQtAcqDriver.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {
const QByteArray kStartCommands("\x01\x01\x09", 3);
const QByteArray kStopCommands("\x02\x02", 2);
}  // namespace

// The one real-time test of the links: the read time-out is shortened to a
// second, and the failure must come neither early nor much late.
TEST(LinkRecovery, SilenceIsAReadErrorAndARestartReconnects) {
    PtyDeviceEnd pty;
    LinkDevice device(pty.slavePath(), LinkDevice::kBaudRate, -1);
    device.setReadTimeoutMs(1000);
    device.start();
    ASSERT_EQ(pty.readSent(3), kStartCommands);
    ASSERT_TRUE(pty.write(standardPacket(numbered(1))));
    ASSERT_EQ(takeFrames(device, 1).size(), 14u);

    QElapsedTimer silent;
    silent.start();
    ASSERT_TRUE(waitUntil([&] { return !device.isOk(); }, 5000));
    EXPECT_GE(silent.elapsed(), 900);
    EXPECT_LE(silent.elapsed(), 3000);
    EXPECT_EQ(device.errorString(), QStringLiteral("Device read error"));
    EXPECT_TRUE(pty.readSent(1, 200).isEmpty()) << "a failed link sends no stop commands";

    // What the worker does with a failed source.
    device.stop();
    device.start();
    EXPECT_TRUE(device.isOk()) << "the restart clears the failure";
    EXPECT_EQ(device.errorString(), QString());
    ASSERT_EQ(pty.readSent(3), kStartCommands);
    ASSERT_TRUE(pty.write(standardPacket(numbered(2))));
    const auto got = takeFrames(device, 1);
    ASSERT_EQ(got.size(), 14u);
    EXPECT_EQ(got[I], 32);
    EXPECT_NEAR(device.batteryVoltage(), 180 * 0.013, 1e-9);
    device.stop();
}

TEST(LinkRecovery, OpenFailuresCarryTheSerialLayersText) {
    PtyDeviceEnd held;
    SerialPort holder;
    holder.open(held.slavePath(), SerialProfile::ecgLink(LinkDevice::kBaudRate));
    const struct {
        const char *what;
        QString port;
    } cases[] = {
        {"missing", QStringLiteral("/dev/tarvelin-no-such-port")},
        {"held by another opener", held.slavePath()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (int kind = 0; kind < 2; ++kind) {
            std::unique_ptr<SerialLinkDevice> device;
            if (kind == 0)
                device = std::make_unique<LinkDevice>(c.port, LinkDevice::kBaudRate, -1);
            else
                device = std::make_unique<HrLinkDevice>(c.port, HrLinkDevice::kBaudRate);
            device->start();
            ASSERT_TRUE(waitUntil([&] { return !device->isOk(); }, 3000));
            EXPECT_EQ(device->errorString(), QString::fromLatin1(SerialPort::kEcgOpenFailure));
            device->stop();
        }
    }
}

// A device that is switched off is retried about once a second through the
// worker's restarts, not as fast as the worker polls, and a stop during the
// pause is still prompt.
TEST(LinkRecovery, ReopeningAMissingPortIsPaced) {
    LoggingSleeper sleeper;
    LinkDevice device(QStringLiteral("/dev/tarvelin-no-such-port"), LinkDevice::kBaudRate, -1, &sleeper);
    QElapsedTimer timer;
    timer.start();
    int starts = 0;
    device.start();
    while (timer.elapsed() < 2500) {  // what the acquisition worker does every 10 ms
        if (!device.isOk()) {
            device.start();
            ++starts;
        }
        QThread::msleep(10);
    }
    const std::vector<int> waits = sleeper.log();
    const auto pauseSteps = std::count(waits.begin(), waits.end(), LinkReader::kReopenPauseStepMs);
    const auto opens = pauseSteps / (LinkReader::kReopenPauseMs / LinkReader::kReopenPauseStepMs) + 1;
    EXPECT_GE(opens, 2);
    EXPECT_LE(opens, 4) << "the port was reopened without a pause";
    EXPECT_EQ(device.errorString(), QString::fromLatin1(SerialPort::kEcgOpenFailure));
    timer.restart();
    device.stop();
    EXPECT_LT(timer.elapsed(), 500);
}

// A device that vanishes (the far end hangs up) fails at once rather than
// after the time-out.
TEST(LinkRecovery, HangUpIsAReadError) {
    PtyDeviceEnd pty;
    HrLinkDevice device(pty.slavePath(), HrLinkDevice::kBaudRate);
    device.start();
    ASSERT_EQ(pty.readSent(3), kStartCommands);
    pty.closeMaster();
    ASSERT_TRUE(waitUntil([&] { return !device.isOk(); }, 3000)) << "within well under the 10 s time-out";
    EXPECT_EQ(device.errorString(), QStringLiteral("Device read error"));
    device.stop();
}

// Stopping a link whose device went quiet must not wait out the 10 s read
// time-out; the stop commands still go out.
TEST(LinkRecovery, StopWhileTheDeviceIsSilentIsPrompt) {
    PtyDeviceEnd pty;
    LinkDevice device(pty.slavePath(), LinkDevice::kBaudRate, -1);
    device.start();
    ASSERT_EQ(pty.readSent(3), kStartCommands);
    QThread::msleep(150);
    QElapsedTimer t;
    t.start();
    device.stop();
    EXPECT_LT(t.elapsed(), 1500);
    EXPECT_EQ(pty.readSent(2), kStopCommands);
    EXPECT_TRUE(device.isOk()) << "a stop is no failure";
}

TEST(LinkRecovery, KeepAliveIsSentTwiceEveryPeriodOfPackets) {
    struct Case {
        const char *what;
        bool hr;
        int period;
    };
    const Case cases[] = {{"standard", false, LinkDevice::kKeepAlivePackets},
                          {"HR", true, HrLinkDevice::kKeepAlivePackets}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PtyDeviceEnd pty;
        LoggingSleeper sleeper;
        std::unique_ptr<SerialLinkDevice> device;
        if (c.hr)
            device = std::make_unique<HrLinkDevice>(pty.slavePath(), HrLinkDevice::kBaudRate, &sleeper);
        else
            device = std::make_unique<LinkDevice>(pty.slavePath(), LinkDevice::kBaudRate, -1, &sleeper);
        device->start();
        ASSERT_EQ(pty.readSent(3), kStartCommands);
        const QByteArray packet = c.hr ? hrPacket(numbered(1)) : standardPacket(numbered(1));
        const QByteArray chunk = packet.repeated(1000);
        for (int sent = 0; sent + 1000 < c.period; sent += 1000) ASSERT_TRUE(pty.write(chunk, 30000));
        ASSERT_TRUE(pty.write(packet.repeated(999), 30000));
        const int framesBefore = (c.period - 1) / (c.hr ? 2 : 1);
        ASSERT_EQ(takeFrames(*device, framesBefore, 60000).size(), static_cast<std::size_t>(14 * framesBefore));
        EXPECT_TRUE(pty.readSent(1, 100).isEmpty()) << "no keep-alive before the period is complete";
        ASSERT_TRUE(pty.write(packet));
        EXPECT_EQ(pty.readSent(2), QByteArray("\x09\x09", 2));
        EXPECT_EQ(sleeper.log(), (std::vector<int>{100, 5}));
        device->stop();
    }
}

// The whole path: a link that went silent is restarted by the acquisition
// worker on its own, without an error reaching the listeners, and its
// samples reach the sink again.
TEST(LinkRecovery, WorkerRestartsASilentLinkAndSamplesFlowAgain) {
    PtyDeviceEnd pty;
    AcqSettings settings;
    settings.mode = AcqDeviceFactory::kBluetoothMode;
    settings.bluetoothPort = pty.slavePath();
    auto device = AcqDeviceFactory::createDevice(settings, false, {});
    static_cast<SerialLinkDevice &>(*device).setReadTimeoutMs(800);
    auto sink = AcqDeviceFactory::createRawSink(*device);
    RecordingListener listener;
    TQtAcqDriver driver(*device, *sink);
    driver.addListener(&listener);
    driver.start();

    const auto sendNumbered = [&](int from, int count) {
        QByteArray s;
        for (int id = from; id < from + count; ++id) s += standardPacket(numbered(id));
        return pty.write(s);
    };
    // The worker hands over only more than 50 waiting frames, so what is
    // checked is the prefix delivered; frames left queued stay in order.
    ASSERT_EQ(pty.readSent(3), kStartCommands);
    ASSERT_TRUE(sendNumbered(0, 60));
    ASSERT_TRUE(waitUntil([&] { return sink->length() >= 51; }));

    ASSERT_EQ(pty.readSent(3, 5000), kStartCommands) << "reconnected after the silence";
    ASSERT_TRUE(sendNumbered(100, 100));
    ASSERT_TRUE(waitUntil([&] { return sink->length() >= 110; }))
        << sink->length() << " frames, device ok " << device->isOk() << " " << device->errorString().toStdString()
        << ", queued " << device->bytesAvailable();
    for (int f = 0; f < sink->length(); ++f) {
        const int id = f < 60 ? f : 40 + f;
        ASSERT_EQ(sink->readSample(I, f), id * 16) << f;
        ASSERT_EQ(sink->readSample(V6, f), id * 16 + V6) << f;
    }
    driver.stop();
    EXPECT_EQ(listener.count('e'), 0) << "a restart is silent";
    EXPECT_EQ(pty.readSent(2), kStopCommands);
}
