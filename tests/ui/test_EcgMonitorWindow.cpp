// The resting ECG monitor window as a technician drives it, on a scripted
// device fed from the demonstration recording: a take, a repeated take and
// what the saved study holds, the countdown and buttons, a failed disk, and
// leaving without saving.

#include "EcgMonitorWindowRig.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecordCodec.h"
#include "stress/RestingRecording.h"
#include "ui/ElectrodeStatusWidget.h"
#include "ui/MonitorIndicators.h"
#include "ui/QSignalMonitorDisplay.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <csignal>
#include <sys/resource.h>

namespace {

#define SKIP_WITHOUT_RECORDING(rig)                                                                                    \
    if (!(rig).hasRecording()) GTEST_SKIP() << "demonstration recording not built: " TARVELIN_DEMO_RECORDING

// The next modal message box, answered with `button` as soon as it shows.
struct BoxAnswer {
    explicit BoxAnswer(QMessageBox::StandardButton button) {
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [this, button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) return;
            poll.stop();
            title = box->windowTitle();
            text = box->text();
            box->button(button)->click();
        });
        poll.start();
    }
    QTimer poll;
    QString title;
    QString text;
};

void click(EcgMonitorWindowRig &rig, const char *button) {
    QTest::mouseClick(rig.child<QPushButton>(button), Qt::LeftButton);
}

QString countdown(EcgMonitorWindowRig &rig) { return rig.child<QLabel>("lblCountdown")->text(); }

}  // namespace

TEST(EcgMonitorWindow, StartRepeatStartSaveLeavesExactlyOneTenSecondTakeAndItsMeasurements) {
    QSettings().clear();
    EcgMonitorWindowRig rig;
    SKIP_WITHOUT_RECORDING(rig);
    EXPECT_EQ(rig.child<QLabel>("lblPatientName")->text(), QStringLiteral("Doe, John"));
    rig.feed(8.0);
    click(rig, "btnStartRecording");
    rig.feed(12.0);
    ASSERT_EQ(rig.window->recording().state(), RestingRecording::State::Recorded);
    const QStringList firstTake = rig.window->shownMeasurements();
    ASSERT_EQ(firstTake.size(), RestingEcgMeasurements::tableHeaders().size());

    click(rig, "btnRepeatRecording");
    EXPECT_EQ(rig.study->recording()->length(), 0);
    EXPECT_EQ(rig.study->beats()->count(), 0);
    EXPECT_TRUE(rig.window->shownMeasurements().isEmpty()) << "the discarded take's figures are gone";
    rig.feed(6.0);

    // The take starts at the live signal's end as the button is pressed.
    const std::int64_t start = rig.engine().raw().length();
    click(rig, "btnStartRecording");
    rig.feed(12.0);
    ASSERT_EQ(rig.window->recording().state(), RestingRecording::State::Recorded);
    const QStringList secondTake = rig.window->shownMeasurements();
    click(rig, "btnSaveRecording");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(rig.window.isNull()) << "Save closes the window, which deletes itself";
    ASSERT_EQ(rig.finished->count(), 1);
    EXPECT_TRUE(rig.finished->at(0).at(0).toBool());

    // What the store now holds, read back from the disk.
    StudyStore other(rig.folder.path());
    const std::unique_ptr<Study> saved = other.readStudy(rig.study->id());
    ASSERT_NE(saved, nullptr);
    const FileSignal &recording = *saved->recording();
    ASSERT_EQ(recording.length(), 10 * kDemoRate) << "one take of ten seconds, not more, not fewer";
    for (int c : {0, 1, 7})
        for (std::int64_t i : {std::int64_t{0}, std::int64_t{2500}, recording.length() - 1})
            ASSERT_EQ(recording.readSample(c, i), rig.demoSample(c, start + i)) << c << " " << i;
    const BeatFile &beats = *saved->beats();
    ASSERT_GE(beats.count(), 5);
    for (std::int64_t k = 0; k < beats.count(); ++k) {
        QByteArray bytes;
        ASSERT_TRUE(beats.read(k, bytes));
        const double t = BeatRecordCodec::fromBytes(bytes.constData(), rig.channels).fiducialTime();
        EXPECT_GE(t, 0.0);
        EXPECT_LT(t, 10.0);
    }
    const StudyResults &r = saved->results();
    EXPECT_EQ(r.scalar(Result::MeasurementChannel), 1.0) << "lead II";
    const double hr = r.scalar(Result::GlobalHeartRate);
    EXPECT_GT(hr, 40.0);
    EXPECT_LT(hr, 150.0);
    EXPECT_GT(r.scalar(Result::GlobalQrsDuration), 0.05);
    EXPECT_LT(r.scalar(Result::GlobalQrsDuration), 0.14);
    EXPECT_EQ(secondTake.value(0), QString::number(std::lround(hr))) << "the figures shown are the ones stored";
    EXPECT_EQ(saved->property("studyType"), QByteArray("ECG"));
    EXPECT_TRUE(QSettings().contains(QStringLiteral("EcgMonitorWindow/ShowAverageBeat")));
}

TEST(EcgMonitorWindow, TheCountdownRunsDownAndTheButtonsFollowTheTake) {
    EcgMonitorConfig config;
    config.recordingSeconds = 6;
    EcgMonitorWindowRig rig(config);
    SKIP_WITHOUT_RECORDING(rig);
    struct Expected {
        const char *when;
        bool start, stop, repeat, save;
    };
    const auto expectButtons = [&rig](const Expected &e) {
        SCOPED_TRACE(e.when);
        EXPECT_EQ(rig.child<QPushButton>("btnStartRecording")->isEnabled(), e.start);
        EXPECT_EQ(rig.child<QPushButton>("btnStopRecording")->isEnabled(), e.stop);
        EXPECT_EQ(rig.child<QPushButton>("btnRepeatRecording")->isEnabled(), e.repeat);
        EXPECT_EQ(rig.child<QPushButton>("btnSaveRecording")->isEnabled(), e.save);
    };
    expectButtons({"ready", true, false, false, false});
    EXPECT_EQ(countdown(rig), QStringLiteral("0:06"));
    rig.feed(4.0);
    // The buttons from the keyboard too: a shortcut clicks after showing the press.
    QTest::keyClick(rig.window, Qt::Key_F5);
    ASSERT_TRUE(waitUntil([&] { return rig.engine().running(); }, 2000)) << "F5 starts";
    expectButtons({"recording", false, true, true, false});
    rig.feed(2.6);
    EXPECT_EQ(countdown(rig), QStringLiteral("0:04")) << "3.4 s to go, counted in whole seconds up";
    rig.feed(5.0);
    EXPECT_FALSE(rig.engine().running()) << "the take ends by itself";
    EXPECT_EQ(countdown(rig), QStringLiteral("0:00"));
    expectButtons({"recorded", false, false, true, true});
    EXPECT_EQ(rig.study->recording()->length(), 6 * kDemoRate);

    QTest::keyClick(rig.window, Qt::Key_F7, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return rig.window->recording().state() == RestingRecording::State::Ready; }, 2000))
        << "Ctrl+F7 repeats";
    expectButtons({"ready again", true, false, false, false});
    EXPECT_EQ(countdown(rig), QStringLiteral("0:06"));

    // Stopped early, the take is kept as it is and can be saved.
    click(rig, "btnStartRecording");
    rig.feed(2.0);
    QTest::keyClick(rig.window, Qt::Key_F6);
    ASSERT_TRUE(waitUntil([&] { return !rig.engine().running(); }, 2000)) << "F6 stops";
    expectButtons({"stopped early", false, false, true, true});
    EXPECT_NEAR(rig.study->recording()->length(), 2 * kDemoRate, kDemoRate / 5);
    rig.feed(3.0);
    EXPECT_NEAR(rig.study->recording()->length(), 2 * kDemoRate, kDemoRate / 5) << "nothing after Stop";
}

TEST(EcgMonitorWindow, SaveAfterADiskFailureReportsItAndDoesNotClaimSuccess) {
    EcgMonitorWindowRig rig;
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(8.0);
    click(rig, "btnStartRecording");
    rig.feed(2.0);
    {
        // The file size limit holds for root too: writes past it fail (EFBIG).
        struct rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = static_cast<rlim_t>(FileSignal::StudyHeaderSize + 1200 * 2 * rig.channels);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        rig.feed(1.0);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
        std::signal(SIGXFSZ, previousHandler);
    }
    QLabel *banner = rig.window->indicators().banner();
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_TRUE(banner->text().startsWith(QStringLiteral("Recording to disk failed"))) << banner->text().toStdString();
    rig.feed(9.0);
    ASSERT_EQ(rig.window->recording().state(), RestingRecording::State::Recorded);

    {
        BoxAnswer answer(QMessageBox::Ok);
        click(rig, "btnSaveRecording");
        EXPECT_EQ(answer.title, QStringLiteral("Error"));
        EXPECT_TRUE(answer.text.startsWith(QStringLiteral("Recording to disk failed"))) << answer.text.toStdString();
    }
    EXPECT_TRUE(rig.window->isVisible()) << "the window stays for the take to be repeated";
    EXPECT_EQ(rig.finished->count(), 0);
    EXPECT_FALSE(rig.study->results().contains(Result::GlobalHeartRate));

    click(rig, "btnRepeatRecording");
    click(rig, "btnStartRecording");
    rig.feed(12.0);
    click(rig, "btnSaveRecording");
    ASSERT_EQ(rig.finished->count(), 1);
    EXPECT_TRUE(rig.finished->at(0).at(0).toBool()) << "a clean take after Repeat is saved";
}

TEST(EcgMonitorWindow, ClosingWithoutSavingAsksBeforeATakeIsDiscarded) {
    struct Case {
        const char *what;
        bool record;
        QMessageBox::StandardButton answer;
        bool asked;
        bool closes;
    };
    for (const Case &c :
         {Case{"nothing recorded", false, QMessageBox::No, false, true},
          Case{"kept", true, QMessageBox::No, true, false}, Case{"discarded", true, QMessageBox::Yes, true, true}}) {
        SCOPED_TRACE(c.what);
        EcgMonitorConfig config;
        config.recordingSeconds = 3;
        EcgMonitorWindowRig rig(config);
        SKIP_WITHOUT_RECORDING(rig);
        rig.feed(2.0);
        if (c.record) {
            click(rig, "btnStartRecording");
            rig.feed(4.0);
        }
        BoxAnswer answer(c.answer);
        rig.window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(!answer.title.isEmpty(), c.asked);
        if (c.asked) {
            EXPECT_EQ(answer.title, QStringLiteral("Confirm"));
        }
        EXPECT_EQ(rig.window.isNull(), c.closes);
        ASSERT_EQ(rig.finished->count(), c.closes ? 1 : 0);
        if (c.closes) {
            EXPECT_FALSE(rig.finished->at(0).at(0).toBool()) << "the launcher removes the study";
        }
    }
}

TEST(EcgMonitorWindow, DeviceProblemsShowInTheWindowAndTheLiveEcgGoesOn) {
    EcgMonitorConfig config;
    config.simulated = true;
    EcgMonitorWindowRig rig(config);
    MonitorIndicators &indicators = rig.window->indicators();
    ASSERT_NE(indicators.simulatedLabel(), nullptr);
    EXPECT_TRUE(indicators.simulatedLabel()->isVisible());
    rig.device->battery = 2.2;
    rig.device->setElectrodesOff({"V3"});
    rig.window->tick();
    ASSERT_NE(indicators.lowBatteryIcon(), nullptr);
    EXPECT_TRUE(indicators.lowBatteryIcon()->isVisible());
    EXPECT_TRUE(indicators.electrodeStatus()->isElectrodeOff("V3"));

    rig.device->shortRead = true;
    rig.device->push(200);
    ASSERT_TRUE(waitUntil([&] { return indicators.banner() && indicators.banner()->isVisible(); }));
    EXPECT_EQ(indicators.banner()->text(), QStringLiteral("Communication with ECG acquiring device failed."));
    EXPECT_TRUE(rig.window->isVisible());
}

TEST(EcgMonitorWindow, DisplaySettingsAreKeptUnderTheWindowsOwnKeys) {
    QSettings().clear();
    QSettings().setValue("EcgMonitorWindow/DisplayColorScheme", "Black");
    QSettings().setValue("EcgMonitorWindow/HexaxialOrder", true);
    QSettings().setValue("EcgMonitorWindow/ShowAverageBeat", false);
    {
        EcgMonitorWindowRig rig;
        auto *left = rig.child<QSignalMonitorDisplay>("ecgDisplay1");
        EXPECT_EQ(left->colorScheme(), QStringLiteral("Black"));
        EXPECT_TRUE(left->hexaxialOrder());
        EXPECT_FALSE(left->showAverageBeat());
        emit left->customContextMenuRequested(QPoint(10, 10));
        for (QAction *action : rig.window->contextMenu()->actions()) {
            if (action->text() == QLatin1String("Hexaxial order")) action->trigger();
            if (action->text() == QLatin1String("Average beat")) action->trigger();
        }
        rig.window->contextMenu()->close();
    }
    EXPECT_EQ(QSettings().value("EcgMonitorWindow/DisplayColorScheme").toString(), QStringLiteral("Black"));
    EXPECT_FALSE(QSettings().value("EcgMonitorWindow/HexaxialOrder").toBool());
    EXPECT_TRUE(QSettings().value("EcgMonitorWindow/ShowAverageBeat").toBool());
    EXPECT_FALSE(QSettings().contains("MonitorWindow/HexaxialOrder")) << "the stress monitor's keys are its own";
    QSettings().clear();
}
