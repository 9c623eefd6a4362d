// The stress monitor window driving the real Kipnet controller against the
// simulated treadmill: a ramp made by the ramp editor and kept in the ramp
// table reaches the treadmill as the loads of its line, and a treadmill that
// is gone shows in the banner as soon as its link is found dead, while the
// recording goes on.

#include "SimulatorRig.h"
#include "acquisition/FileSignal.h"
#include "store/Study.h"
#include "stress/EquipmentFactory.h"
#include "stress/KipnetController.h"
#include "stress/RampEditor.h"
#include "stress/RampTable.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>

namespace {

#define SKIP_WITHOUT_RECORDING(rig)                                                                                    \
    if (!(rig).hasRecording()) GTEST_SKIP() << "demonstration recording not built: " TARVELIN_DEMO_RECORDING

// The speed (km/h) or incline (%) commands a treadmill logged, in order:
// ";" address, 'V' (speed) or 'E' (incline), four digits in tenths.
std::vector<double> loadsSent(const QStringList &commands, QChar kind) {
    std::vector<double> values;
    for (const QString &command : commands)
        if (command.size() >= 7 && command.at(2) == kind) values.push_back(command.mid(3, 4).toInt() / 10.0);
    return values;
}

QByteArray kipnetLog(const QString &folder) {
    QFile file(QDir(folder).filePath(QLatin1String(KipnetController::kLogFileName)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

RampProtocol storedRamp(const QString &storeRoot) {
    // As the ramp dialog edits it: one minute from 3 km/h on the level to
    // 6 km/h at 12 %.
    RampEditor editor;
    editor.setDurationMinutes(1.0);
    editor.setInitialSpeed(3.0);
    editor.setInitialIncline(0.0);
    editor.setFinalSpeed(6.0);
    editor.setFinalIncline(12.0);
    const QString path = RampTable::filePathUnder(storeRoot);
    QDir().mkpath(QFileInfo(path).path());
    RampTable(path).setRamp(QStringLiteral("Quick ramp"), editor.ramp());
    RampProtocol ramp;
    EXPECT_TRUE(RampTable(path).ramp(QStringLiteral("Quick ramp"), ramp));
    return ramp;
}

}  // namespace

TEST(MonitorEquipmentFaults, ARampsLoadsReachTheTreadmillAndItsLossShowsAtOnceWhileTheRecordingGoesOn) {
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("treadmill"));
    SimulatorProcess treadmill(QStringLiteral("kipnet"), link);
    if (!treadmill.isReady()) GTEST_SKIP() << "the treadmill simulator did not start: " TARVELIN_SIM_EXECUTABLE;
    const RampProtocol ramp = storedRamp(folder.path());
    ASSERT_DOUBLE_EQ(ramp.durationMinutes, 1.0);

    EquipmentSettings settings;
    settings.treadmillEquipment = QString::fromLatin1(EquipmentFactory::kKipMachines);
    settings.treadmillPort = link;
    settings.kipnetLogFolder = folder.path();
    const std::unique_ptr<EquipmentController> controller = EquipmentFactory::create(ProtocolType::Treadmill, settings);
    ASSERT_NE(controller, nullptr);
    MonitorWindowRig rig(14, std::nullopt, controller.get(), ramp);
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(2.0);
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    ASSERT_TRUE(rig.engine().running());

    // The load goes out at the start and then ten seconds of the test after
    // the last one went out, that is with the first block at or past that
    // time; the treadmill is let to take each before the signal goes on.
    double earliest = 0.0;  // when the load may have been sent at the soonest
    double latest = 0.0;    // and at the latest
    for (std::size_t k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        if (k > 0) {
            earliest += StressRun::kRampSendInterval;
            rig.feed(latest + StressRun::kRampSendInterval + 0.4 - rig.engine().recordedTime());
            latest = rig.engine().recordedTime();
        }
        ASSERT_TRUE(waitUntil(
            [&] {
                const QStringList commands = treadmill.lines();
                return loadsSent(commands, QLatin1Char('V')).size() > k &&
                       loadsSent(commands, QLatin1Char('E')).size() > k;
            },
            10000))
            << "the treadmill received: " << qPrintable(treadmill.lines().join(' '))
            << "\nthe controller logged: " << kipnetLog(folder.path()).constData();
        // The treadmill takes tenths, cut off.
        const double speed = loadsSent(treadmill.lines(), QLatin1Char('V'))[k];
        const double incline = loadsSent(treadmill.lines(), QLatin1Char('E'))[k];
        EXPECT_GE(speed, ramp.loadAt(earliest).speed - 0.1001);
        EXPECT_LE(speed, ramp.loadAt(latest).speed + 0.0001);
        EXPECT_GE(incline, ramp.loadAt(earliest).incline - 0.1001);
        EXPECT_LE(incline, ramp.loadAt(latest).incline + 0.0001);
    }
    const QStringList received = treadmill.lines();
    EXPECT_EQ(std::count_if(received.begin(), received.end(),
                            [](const QString &c) { return c.mid(2, 2) == QLatin1String("GO"); }),
              1)
        << "the belt is started once";

    // The treadmill is gone; the next load finds its link dead.
    treadmill.kill();
    rig.feed(latest + StressRun::kRampSendInterval + 0.4 - rig.engine().recordedTime());
    ASSERT_TRUE(waitUntil([&] { return !controller->isReady(); }, 20000)) << "the dead link was never noticed";
    const double noticed = rig.engine().recordedTime();
    const std::int64_t recordedFrames = rig.study->recording()->length();
    rig.feed(0.5);
    QLabel *banner = rig.window->indicators().banner();
    ASSERT_NE(banner, nullptr) << "not shown with the next block, but only at the next load change";
    EXPECT_TRUE(banner->isVisible());
    const QString said = banner->text();
    EXPECT_EQ(said.split(QLatin1Char('\n')), (QStringList{StressRun::equipmentFailedText(),
                                                          "It no longer follows the protocol: set the load by hand."}));
    EXPECT_LT(rig.engine().recordedTime(), noticed + StressRun::kRampSendInterval);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    rig.feed(5.0);
    EXPECT_TRUE(rig.engine().running());
    EXPECT_FALSE(rig.engine().run()->hasEquipment()) << "the dead treadmill is no longer commanded";
    EXPECT_GT(rig.study->recording()->length(), recordedFrames + 4 * MonitorWindowRig::kRate)
        << "the recording goes on";
    EXPECT_EQ(banner->text(), said) << "said once";
}
