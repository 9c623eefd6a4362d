// The launcher as a technician uses it: quick fields, Start, a short test in
// the monitor window on a scripted device, and the study in the store after
// the window is gone.

#include "app/GlobalConfig.h"
#include "app/MainWindow.h"
#include "app/RecentStudies.h"
#include "app/StressTestStart.h"
#include "store/Study.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "stress/ScriptedDevice.h"
#include "ui/BPDialog.h"
#include "ui/StressMonitorWindow.h"
#include "ui/StudyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 500;
constexpr int kChannels = 14;

bool waitUntil(const std::function<bool()> &done, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // A window closed outside a running event loop is deleted here.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

// Points the store at a temporary folder for the test's lifetime.
struct TemporaryStore {
    QTemporaryDir folder;
    QByteArray saved = qgetenv("TARVELIN_STORE");
    TemporaryStore() { qputenv("TARVELIN_STORE", folder.path().toLocal8Bit()); }
    ~TemporaryStore() { saved.isNull() ? qunsetenv("TARVELIN_STORE") : qputenv("TARVELIN_STORE", saved); }
};

void feed(ScriptedDevice &device, MonitorEngine &engine, double seconds) {
    const std::int64_t wanted = engine.raw().length() + static_cast<std::int64_t>(seconds * kRate);
    for (double pushed = 0; pushed < seconds; pushed += 0.5) device.push(kRate / 2, 100);
    ASSERT_TRUE(waitUntil([&] { return engine.raw().length() >= wanted - kRate / 10; }));
}

void answerPrompt(StressMonitorWindow &window, const QString &sbp, const QString &dbp) {
    BPDialog *dialog = window.bloodPressurePrompt();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit *>(QStringLiteral("txtSBP"))->setText(sbp);
    dialog->findChild<QLineEdit *>(QStringLiteral("txtDBP"))->setText(dbp);
    dialog->findChild<QCheckBox *>(QStringLiteral("chkPrint"))->setChecked(false);
    dialog->accept();
}

}  // namespace

TEST(MainWindow, RunsAStressTestFromTheQuickFieldsAndSavesItsStudy) {
    TemporaryStore storeFolder;
    QSettings().clear();
    ScriptedDevice *device = nullptr;
    std::vector<bool> tiltFlags;
    MainWindow launcher([&](bool tiltTest) {
        tiltFlags.push_back(tiltTest);
        auto created = std::make_unique<ScriptedDevice>(kChannels, kRate);
        device = created.get();
        return created;
    });
    launcher.show();

    auto *protocols = launcher.findChild<QComboBox *>(QStringLiteral("cmbProtocol"));
    ASSERT_GT(protocols->count(), 1);
    EXPECT_EQ(protocols->itemText(protocols->count() - 1), QStringLiteral("Tilt test"));
    QTest::keyClicks(launcher.findChild<QLineEdit *>(QStringLiteral("txtLastName")), "Doe");
    QTest::keyClicks(launcher.findChild<QLineEdit *>(QStringLiteral("txtFirstName")), "Jane");
    protocols->setCurrentText(QStringLiteral("Bruce"));
    ASSERT_EQ(protocols->currentText(), QStringLiteral("Bruce"));

    QTest::mouseClick(launcher.findChild<QPushButton *>(QStringLiteral("btnStartStress")), Qt::LeftButton);
    StressMonitorWindow *window = launcher.monitorWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(tiltFlags, std::vector<bool>{false});
    EXPECT_FALSE(launcher.isEnabled()) << "the launcher waits while the monitor window exists";
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_EQ(QSettings().value(QLatin1String(StudyDialog::kLastProtocolKey)).toString(), QStringLiteral("Bruce"));

    MonitorEngine &engine = window->session().engine();
    feed(*device, engine, 3.0);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnStart")), Qt::LeftButton);
    ASSERT_TRUE(engine.running());
    feed(*device, engine, 5.0);
    QTimer::singleShot(50, [window] { answerPrompt(*window, "120", "80"); });
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnStop")), Qt::LeftButton);

    ASSERT_TRUE(waitUntil([&] { return launcher.monitorWindow() == nullptr; }));
    EXPECT_TRUE(launcher.isEnabled());
    const QList<StudyInfo> studies = launcher.store().listStudies();
    ASSERT_EQ(studies.size(), 1);
    EXPECT_EQ(studies[0].patientLastName, QByteArray("Doe"));
    EXPECT_EQ(studies[0].patientFirstName, QByteArray("Jane"));
    EXPECT_FALSE(launcher.store().isStudyOpen(studies[0].id)) << "the launcher closes the study it saved";
    const std::unique_ptr<Study> saved = launcher.store().readStudy(studies[0].id);
    ASSERT_NE(saved, nullptr);
    const StudyInfo savedInfo = launcher.store().studyInfo(*saved);
    EXPECT_EQ(savedInfo.protocolName, QByteArray("Bruce"));
    EXPECT_EQ(savedInfo.patientLastName, QByteArray("Doe"));

    // The next start preselects the protocol just used.
    MainWindow next([](bool) { return std::make_unique<ScriptedDevice>(kChannels, kRate); });
    EXPECT_EQ(next.findChild<QComboBox *>(QStringLiteral("cmbProtocol"))->currentText(), QStringLiteral("Bruce"));
}

TEST(MainWindow, AMonitorClosedBeforeStartKeepsNoStudy) {
    // The wrong patient, noticed before Start: nothing was recorded, so
    // nothing is kept, listed or opened for review.
    TemporaryStore storeFolder;
    QSettings().clear();
    ScriptedDevice *device = nullptr;
    MainWindow launcher([&](bool) {
        auto created = std::make_unique<ScriptedDevice>(kChannels, kRate);
        device = created.get();
        return created;
    });
    int reviews = 0;
    launcher.setReviewOpener([&reviews](Study &, StudyStore &, QWidget *) -> QWidget * {
        ++reviews;
        return nullptr;
    });
    launcher.show();
    QTest::keyClicks(launcher.findChild<QLineEdit *>(QStringLiteral("txtLastName")), "Wrong");
    QTest::mouseClick(launcher.findChild<QPushButton *>(QStringLiteral("btnStartStress")), Qt::LeftButton);
    StressMonitorWindow *window = launcher.monitorWindow();
    ASSERT_NE(window, nullptr);
    feed(*device, window->session().engine(), 2.0);
    ASSERT_EQ(launcher.store().listStudies().size(), 1);
    window->close();

    ASSERT_TRUE(waitUntil([&] { return launcher.monitorWindow() == nullptr; }));
    EXPECT_TRUE(launcher.isEnabled());
    EXPECT_TRUE(launcher.store().listStudies().isEmpty());
    EXPECT_TRUE(RecentStudies::load().isEmpty());
    EXPECT_EQ(reviews, 0);
}

TEST(StressTestStart, TheTiltTestRunsWithoutStagesAndAMissingProtocolIsRefused) {
    QTemporaryDir folder;
    StudyStore store(folder.path());
    EXPECT_TRUE(StressTestStart::isTiltTest(QStringLiteral("Tilt test")));
    EXPECT_FALSE(StressTestStart::plan(store, QStringLiteral("Tilt test")).stages.has_value());
    const StressRun::Plan bruce = StressTestStart::plan(store, QStringLiteral("Bruce"));
    ASSERT_TRUE(bruce.stages.has_value());
    EXPECT_GT(bruce.stages->stageCount(), 0);
    EXPECT_THROW(StressTestStart::plan(store, QStringLiteral("No such protocol")), std::runtime_error);

    ScriptedDevice device(3, 250);
    StressTestStart::QuickFields fields{QStringLiteral(" Doe "), QStringLiteral("Jane"), QStringLiteral("Bruce"),
                                        QStringLiteral("F"), QStringLiteral(" 4711 ")};
    const StudyInfo info = StressTestStart::studyInfo(fields, device);
    EXPECT_EQ(info.patientLastName, QByteArray("Doe"));
    EXPECT_EQ(info.patientSex, QByteArray("F"));
    EXPECT_EQ(info.patientMedicalHistoryNumber, QByteArray("4711"));
    EXPECT_EQ(info.studyType, QByteArray("stress"));
    EXPECT_EQ(info.channelCount, 3);
    EXPECT_EQ(info.samplingRate, 250);
    EXPECT_EQ(info.channelNames, QByteArray("I,II,III"));
    EXPECT_EQ(info.gainMax, 300.0);
}

// The path `make run` takes: the configured demonstration replay, in real
// time, with the "Simulated ECG" notice on the monitor window.
TEST(MainWindow, RunsAStressTestOnTheConfiguredDemoReplay) {
    TemporaryStore storeFolder;
    QSettings().clear();
    GlobalConfig::setValue(GlobalConfig::Key::AcqMode, "demo");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (!QFileInfo::exists(QStringLiteral("ecg500.dat"))) {
        QDir::setCurrent(previous);
        GTEST_SKIP() << "demonstration recording not built beside the tests";
    }
    MainWindow launcher;
    launcher.findChild<QLineEdit *>(QStringLiteral("txtLastName"))->setText(QStringLiteral("Demo"));
    launcher.findChild<QLineEdit *>(QStringLiteral("txtFirstName"))->setText(QStringLiteral("Replay"));
    launcher.findChild<QComboBox *>(QStringLiteral("cmbProtocol"))->setCurrentText(QStringLiteral("Bruce"));
    QTest::mouseClick(launcher.findChild<QPushButton *>(QStringLiteral("btnStartStress")), Qt::LeftButton);
    QDir::setCurrent(previous);
    StressMonitorWindow *window = launcher.monitorWindow();
    ASSERT_NE(window, nullptr);
    bool simulatedShown = false;
    for (const QLabel *label : window->findChildren<QLabel *>())
        simulatedShown |= label->isVisible() && label->text() == QStringLiteral("Simulated ECG");
    EXPECT_TRUE(simulatedShown);

    MonitorEngine &engine = window->session().engine();
    ASSERT_TRUE(waitUntil([&] { return engine.raw().length() >= kRate; })) << "the replay delivers";
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnStart")), Qt::LeftButton);
    ASSERT_TRUE(engine.running());
    const std::int64_t atStart = engine.raw().length();
    ASSERT_TRUE(waitUntil([&] { return engine.raw().length() >= atStart + kRate; }));
    QTimer::singleShot(50, [window] { answerPrompt(*window, "125", "82"); });
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnStop")), Qt::LeftButton);

    ASSERT_TRUE(waitUntil([&] { return launcher.monitorWindow() == nullptr; }));
    EXPECT_TRUE(launcher.isEnabled());
    const QList<StudyInfo> studies = launcher.store().listStudies();
    ASSERT_EQ(studies.size(), 1);
    EXPECT_EQ(studies[0].patientLastName, QByteArray("Demo"));
    GlobalConfig::setValue(GlobalConfig::Key::AcqMode, QString());
}
