// The stress monitor window on the real link device and driver, with the
// front end played by the simulator: a link that falls silent, electrodes
// off and a low battery show on their indicators, and a disk that refuses
// the recording shows in the banner, while the test goes on each time.

#include "SimulatorRig.h"
#include "acquisition/FileSignal.h"
#include "store/Study.h"
#include "stress/SessionListener.h"
#include "stress/StressMonitorTexts.h"
#include "ui/ElectrodeStatusWidget.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

#define SKIP_WITHOUT_SIMULATOR(rig)                                                                                    \
    if (!(rig).isReady()) GTEST_SKIP() << "the front-end simulator did not start: " TARVELIN_SIM_EXECUTABLE

bool shown(const QWidget *indicator) { return indicator && indicator->isVisible(); }

// Nothing of the window may wait for the operator to close a box.
bool noBoxOpen() { return QApplication::activeModalWidget() == nullptr; }

// Pixels of the widget's picture in a strong red and in a strong green.
struct Colours {
    int red = 0;
    int green = 0;
};
Colours coloursOf(QWidget &widget) {
    const QImage image = widget.grab().toImage();
    Colours colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++colours.red;
            if (c.green() > 90 && c.red() < 60 && c.blue() < 60) ++colours.green;
        }
    return colours;
}

QLabel *electrodeLabel(ElectrodeStatusWidget &status, const QString &name) {
    for (QLabel *label : status.findChildren<QLabel *>())
        if (label->text() == name) return label;
    return nullptr;
}

void startTest(LinkMonitorRig &rig) {
    ASSERT_TRUE(rig.waitForSignal(0.5)) << "no signal from the simulated front end";
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    ASSERT_TRUE(rig.engine().running());
}

// A short treadmill protocol, so a stage change fits in a test run in real time.
Protocol quickProtocol() {
    Protocol protocol;
    protocol.name = QStringLiteral("Quick");
    protocol.type = ProtocolType::Treadmill;
    protocol.appendTreadmillStage(StagePhase::Rest, 3.0, 0.0, 0.0);
    protocol.appendTreadmillStage(StagePhase::Exercise, 60.0, 2.7, 10.0);
    return protocol;
}

}  // namespace

// What the window showed at the moment the session found the link lost:
// the window hears of it first, so its indicators are already up to date.
struct LossWatch : SessionListener {
    LossWatch(LinkMonitorRig &rig) : rig(rig) { rig.window->session().addListener(this); }
    ~LossWatch() override {
        if (rig.window) rig.window->session().removeListener(this);
    }
    void deviceStateChanged(MonitorSession &, const DeviceState &state) override {
        if (state.connected || seen) return;
        seen = true;
        iconShown = shown(rig.indicators().connectingIcon());
        boxOpen = !noBoxOpen();
        testRunning = rig.engine().running();
        framesAtLoss = rig.signalFrames();
    }
    LinkMonitorRig &rig;
    bool seen = false;
    bool iconShown = false;
    bool boxOpen = false;
    bool testRunning = false;
    std::int64_t framesAtLoss = 0;
};

TEST(MonitorDeviceFaults, ASilentFrontEndShowsConnectingWithoutABoxAndTheSignalReturnsAfterReconnection) {
    LinkMonitorRig rig({"--silent-after", "3"});
    SKIP_WITHOUT_SIMULATOR(rig);
    // Started at once, so the silence falls inside the test however slow
    // the machine is.
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    ASSERT_TRUE(rig.engine().running());
    LossWatch loss(rig);
    MonitorIndicators &indicators = rig.indicators();

    ASSERT_TRUE(rig.waitTicking([&] { return loss.seen; }, 30000)) << "the link fell silent unnoticed";
    EXPECT_TRUE(loss.iconShown);
    EXPECT_FALSE(loss.boxOpen);
    EXPECT_TRUE(loss.testRunning) << "a silent link does not end the test";
    EXPECT_GT(loss.framesAtLoss, 0) << "the front end streamed before it fell silent";

    ASSERT_TRUE(rig.waitTicking(
        [&] { return !shown(indicators.connectingIcon()) && rig.signalFrames() > loss.framesAtLoss + 500; }, 30000))
        << "the front end never came back";
    EXPECT_TRUE(rig.engine().running());
    EXPECT_TRUE(rig.child<QPushButton>("btnStop")->isEnabled());
    EXPECT_FALSE(rig.window->session().failed()) << "a reconnected link is no failed acquisition";
    EXPECT_EQ(indicators.banner(), nullptr) << "nothing failed for good";
    rig.window->tick();
    EXPECT_EQ(rig.child<QLabel>("lblTotalElapsedTime")->text(),
              StressMonitorTexts::totalTimeText(rig.engine().recordedTime()));
}

TEST(MonitorDeviceFaults, AFrontEndUnpluggedDuringTheTestIsTakenBackWhenItReappears) {
    LinkMonitorRig rig({});
    SKIP_WITHOUT_SIMULATOR(rig);
    startTest(rig);
    ASSERT_TRUE(rig.waitForSignal(1.0));
    MonitorIndicators &indicators = rig.indicators();

    rig.frontEnd->kill();
    // What the terminal and the queues still held arrives, late on a loaded
    // machine; then nothing, for longer than the reader waits for a packet.
    ASSERT_TRUE(rig.waitForSilence(LinkMonitorRig::kReadTimeoutMs + 1000, 60000));
    ASSERT_TRUE(rig.waitTicking([&] { return shown(indicators.connectingIcon()); }))
        << "the lost device went unnoticed";
    // Well past the reader's time-out: the port is tried again and again,
    // without a box and without ending the test.
    const std::int64_t atLoss = rig.signalFrames();
    rig.waitTicking([] { return false; }, LinkMonitorRig::kReadTimeoutMs + 1000);
    EXPECT_TRUE(shown(indicators.connectingIcon()));
    EXPECT_EQ(rig.signalFrames(), atLoss);
    EXPECT_TRUE(noBoxOpen());
    EXPECT_TRUE(rig.engine().running());

    // Plugged in again: the same port name comes back.
    QFile::remove(rig.link);
    rig.frontEnd = std::make_unique<SimulatorProcess>(QStringLiteral("device"), rig.link);
    ASSERT_TRUE(rig.frontEnd->isReady());
    ASSERT_TRUE(rig.waitTicking([&] { return rig.signalFrames() > atLoss + 500; }, 25000)) << "never reconnected";
    ASSERT_TRUE(rig.waitTicking([&] { return !shown(indicators.connectingIcon()); }, 5000));
    EXPECT_TRUE(rig.engine().running());
    EXPECT_FALSE(rig.window->session().failed());
}

TEST(MonitorDeviceFaults, ElectrodesOffAndALowBatteryReportedByTheFrontEndShowOnTheirIndicators) {
    struct Case {
        const char *what;
        QStringList options;
        bool electrodeShown;
        bool batteryShown;
    };
    const std::vector<Case> cases = {
        {"V3 off", {"--electrode-off", "V3"}, true, false},
        {"battery 2.2 V", {"--battery", "2.2"}, false, true},
        {"all well", {}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LinkMonitorRig rig(c.options);
        SKIP_WITHOUT_SIMULATOR(rig);
        startTest(rig);
        MonitorIndicators &indicators = rig.indicators();
        // Two seconds of signal and at least one clock tick after it.
        ASSERT_TRUE(rig.waitForSignal(2.0));
        rig.window->tick();
        if (c.electrodeShown || c.batteryShown) {
            ASSERT_TRUE(rig.waitTicking(
                [&] {
                    return shown(indicators.electrodeStatus()) == c.electrodeShown &&
                           shown(indicators.lowBatteryIcon()) == c.batteryShown;
                },
                10000));
        }
        EXPECT_EQ(shown(indicators.electrodeStatus()), c.electrodeShown);
        EXPECT_EQ(shown(indicators.lowBatteryIcon()), c.batteryShown);
        EXPECT_FALSE(shown(indicators.connectingIcon()));
        EXPECT_TRUE(noBoxOpen());
        EXPECT_TRUE(rig.engine().running());
        if (!c.electrodeShown) continue;

        ElectrodeStatusWidget &status = *indicators.electrodeStatus();
        for (const QString &name : ElectrodeStatusWidget::electrodeNames())
            EXPECT_EQ(status.isElectrodeOff(name), name == QLatin1String("V3")) << qPrintable(name);
        QLabel *v3 = electrodeLabel(status, QStringLiteral("V3"));
        QLabel *v2 = electrodeLabel(status, QStringLiteral("V2"));
        ASSERT_TRUE(v3 && v2);
        EXPECT_GT(coloursOf(*v3).red, 5) << "V3 is not drawn red";
        EXPECT_EQ(coloursOf(*v3).green, 0);
        EXPECT_GT(coloursOf(*v2).green, 5) << "an attached electrode is drawn green";
        EXPECT_EQ(coloursOf(*v2).red, 0);
    }
}

TEST(MonitorDeviceFaults, ADiskThatFailsWhileRecordingShowsTheBannerAtOnceAndTheTestGoesOn) {
    LinkMonitorRig rig({}, quickProtocol());
    SKIP_WITHOUT_SIMULATOR(rig);
    startTest(rig);
    ASSERT_TRUE(rig.waitForSignal(1.0));
    ASSERT_EQ(rig.engine().currentStageIndex(), 0);
    const double beforeFailure = rig.engine().recordedTime();
    ASSERT_GT(beforeFailure, 0.5);

    // From here on every write of the recording meets a full disk.
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "this test needs /dev/full";
    const FileSignal &kept = *rig.study->recording();
    rig.study->setRecording(std::make_unique<FileSignal>(QStringLiteral("/dev/full"), kept.channelCount(),
                                                         kept.samplingRate(), FileSignal::StudyHeaderSize, true));

    ASSERT_TRUE(rig.waitForSignal(0.3));
    QLabel *banner = rig.indicators().banner();
    ASSERT_TRUE(shown(banner)) << "the failure is shown with the first block the disk refused";
    EXPECT_TRUE(banner->text().startsWith(QStringLiteral("Recording to disk failed"))) << qPrintable(banner->text());
    EXPECT_TRUE(noBoxOpen());

    // The test's clock, stages and prompts go on with the signal, not with
    // what reached the disk.
    ASSERT_TRUE(rig.waitForSignal(3.0));
    EXPECT_TRUE(rig.engine().running());
    EXPECT_GT(rig.engine().recordedTime(), beforeFailure + 3.0);
    EXPECT_EQ(rig.engine().currentStageIndex(), 1) << "the rest stage of 3 s is over";
    EXPECT_TRUE(rig.child<QPushButton>("btnStop")->isEnabled());
    EXPECT_EQ(banner->text().count(QStringLiteral("Recording to disk failed")), 1) << "said once, not per block";
}
