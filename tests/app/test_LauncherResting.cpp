// A resting ECG started from the launcher's "New ECG" page on a scripted
// device fed from the demonstration recording faster than real time: a take,
// a repeat, a second take saved; or a window closed without a take.

#include "acquisition/FileSignal.h"
#include "app/MainWindow.h"
#include "app/RecentStudies.h"
#include "store/Study.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "stress/RestingRecording.h"
#include "tests/app/LauncherTestSupport.h"
#include "ui/EcgMonitorWindow.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace LauncherTest;

namespace {

// The demonstration recording built beside the tests: 14 channels of int16
// at 500 samples/s, as the scripted device delivers them.
class DemoFeed {
public:
    DemoFeed() {
        QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/ecg500.dat"));
        if (file.open(QIODevice::ReadOnly)) bytes_ = file.readAll();
    }
    bool available() const { return bytes_.size() >= kFrameBytes * kRate * 30; }

    void feed(ScriptedDevice &device, MonitorEngine &engine, double seconds) {
        const std::int64_t frames = static_cast<std::int64_t>(seconds * kRate);
        const std::int64_t total = bytes_.size() / kFrameBytes;
        for (std::int64_t f = 0; f < frames; f += kRate / 2) {
            QByteArray piece;
            for (std::int64_t i = f; i < std::min(frames, f + kRate / 2); ++i)
                piece.append(bytes_.constData() + ((fed_ + i) % total) * kFrameBytes, kFrameBytes);
            device.fifo.append(piece.constData(), piece.size());
        }
        fed_ += frames;
        ASSERT_TRUE(waitUntil([&] { return engine.raw().length() >= fed_ - kRate / 10; }));
    }

private:
    static constexpr int kFrameBytes = kChannels * 2;
    QByteArray bytes_;
    std::int64_t fed_ = 0;
};

EcgMonitorWindow *startFromTheEcgPage(MainWindow &launcher) {
    launcher.findChild<QPushButton *>(QStringLiteral("btnNewStudyEcg"))->click();
    launcher.findChild<QLineEdit *>(QStringLiteral("txtLastNameEcg"))->setText(QStringLiteral("Ruiz"));
    launcher.findChild<QLineEdit *>(QStringLiteral("txtFirstNameEcg"))->setText(QStringLiteral("Ana"));
    launcher.findChild<QRadioButton *>(QStringLiteral("radFemaleEcg"))->setChecked(true);
    QTest::mouseClick(launcher.findChild<QPushButton *>(QStringLiteral("btnStartEcg")), Qt::LeftButton);
    return qobject_cast<EcgMonitorWindow *>(launcher.anyMonitorWindow());
}

void click(QWidget &window, const char *name) {
    auto *button = window.findChild<QPushButton *>(QLatin1String(name));
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

TEST(LauncherResting, ARepeatedTakeIsSavedOnceWithItsMeasurementsAndListed) {
    Profile profile;
    DemoFeed demo;
    if (!demo.available()) GTEST_SKIP() << "demonstration recording not built beside the tests";
    Devices devices;
    MainWindow launcher(devices.factory());
    launcher.show();
    EcgMonitorWindow *window = startFromTheEcgPage(launcher);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(devices.tiltFlags, std::vector<bool>{false});
    EXPECT_FALSE(launcher.isEnabled());
    // Shown full screen as the stress monitor is; the offscreen test screen
    // (800 x 600) is narrower than this window's controls, so its resize
    // there drops the full-screen state, which a workstation's screen keeps.
    EXPECT_TRUE(window->isVisible());
    MonitorEngine &engine = window->session().engine();

    demo.feed(*devices.last, engine, 3.0);
    click(*window, "btnStartRecording");
    demo.feed(*devices.last, engine, 4.0);
    click(*window, "btnRepeatRecording");
    ASSERT_EQ(window->recording().state(), RestingRecording::State::Ready);
    demo.feed(*devices.last, engine, 1.0);
    click(*window, "btnStartRecording");
    demo.feed(*devices.last, engine, 11.0);
    ASSERT_TRUE(waitUntil([&] { return window->recording().state() == RestingRecording::State::Recorded; }));
    click(*window, "btnSaveRecording");
    ASSERT_TRUE(waitUntil([&] { return launcher.anyMonitorWindow() == nullptr; }));
    EXPECT_TRUE(launcher.isEnabled());

    const QList<StudyInfo> studies = launcher.store().listStudies();
    ASSERT_EQ(studies.size(), 1);
    const std::unique_ptr<Study> saved = launcher.store().readStudy(studies[0].id);
    ASSERT_NE(saved, nullptr);
    const StudyInfo info = launcher.store().studyInfo(*saved);
    EXPECT_EQ(info.studyType, QByteArray("ECG"));
    EXPECT_EQ(info.patientLastName, QByteArray("Ruiz"));
    EXPECT_EQ(info.patientSex, QByteArray("F"));
    ASSERT_NE(saved->recording(), nullptr);
    EXPECT_EQ(saved->recording()->length(), 10 * kRate) << "one take of ten seconds, nothing of the first";
    ASSERT_TRUE(saved->results().contains(Result::GlobalHeartRate)) << "the take's measurements are stored";
    EXPECT_GT(saved->results().scalar(Result::GlobalHeartRate), 40.0);
    EXPECT_LT(saved->results().scalar(Result::GlobalHeartRate), 150.0);

    const QList<RecentStudies::Entry> recent = RecentStudies::parse(RecentStudies::load());
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(recent[0].id, studies[0].id);
    EXPECT_EQ(launcher.findChild<QTreeWidget *>(QStringLiteral("treeStudies"))->topLevelItemCount(), 1);
}

TEST(LauncherResting, AWindowClosedWithoutATakeLeavesNoStudy) {
    Profile profile;
    DemoFeed demo;
    if (!demo.available()) GTEST_SKIP() << "demonstration recording not built beside the tests";
    Devices devices;
    MainWindow launcher(devices.factory());
    launcher.show();
    EcgMonitorWindow *window = startFromTheEcgPage(launcher);
    ASSERT_NE(window, nullptr);
    demo.feed(*devices.last, window->session().engine(), 2.0);
    window->close();
    ASSERT_TRUE(waitUntil([&] { return launcher.anyMonitorWindow() == nullptr; }));
    EXPECT_TRUE(launcher.isEnabled());
    EXPECT_TRUE(launcher.store().listStudies().isEmpty());
    EXPECT_TRUE(RecentStudies::load().isEmpty());
}
