// The stress monitor window as a technician drives it, on a scripted device
// fed from the demonstration recording: a whole test into the study, the
// panels by lead count, the event entry, the heart rate and its trend, and
// the indicators of the device's state.

#include "MonitorWindowRig.h"
#include "stress/FakeEquipment.h"
#include "store/StudyEvent.h"
#include "ui/BPDialog.h"
#include "ui/DisplayColorScheme.h"
#include "ui/ElectrodeStatusWidget.h"
#include "ui/MonitorIndicators.h"
#include "ui/QPlotGraphic.h"
#include "ui/QSignalMonitorDisplay.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {

#define SKIP_WITHOUT_RECORDING(rig)                                                                                    \
    if (!(rig).hasRecording()) GTEST_SKIP() << "demonstration recording not built: " TARVELIN_DEMO_RECORDING

void answerPrompt(StressMonitorWindow &window, const QString &sbp, const QString &dbp, bool print = false) {
    BPDialog *dialog = window.bloodPressurePrompt();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit *>(QStringLiteral("txtSBP"))->setText(sbp);
    dialog->findChild<QLineEdit *>(QStringLiteral("txtDBP"))->setText(dbp);
    dialog->findChild<QCheckBox *>(QStringLiteral("chkPrint"))->setChecked(print);
    dialog->accept();
}

QStringList menuTexts(const QMenu *menu) {
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator()) texts << action->text();
    return texts;
}

QTimer *eventTimer(StressMonitorWindow &window) {
    for (QTimer *timer : window.findChildren<QTimer *>())
        if (timer->isSingleShot() && timer->interval() == StressMonitorWindow::kEventTimeoutMs) return timer;
    return nullptr;
}

}  // namespace

TEST(StressMonitorWindow, AWholeTestLeavesItsStagesPressuresAndEventsInTheStudy) {
    QSettings().clear();
    MonitorWindowRig rig;
    SKIP_WITHOUT_RECORDING(rig);
    auto *start = rig.child<QPushButton>("btnStart");
    auto *next = rig.child<QPushButton>("btnNext");
    auto *recovery = rig.child<QPushButton>("btnRecovery");
    auto *stop = rig.child<QPushButton>("btnStop");
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(next->isEnabled() || recovery->isEnabled() || stop->isEnabled());
    EXPECT_EQ(rig.child<QLabel>("lblPatientName")->text(), QStringLiteral("Doe, Jane"));

    rig.feed(3.0);
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    rig.feed(10.0);

    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_NE(rig.window->bloodPressurePrompt(), nullptr) << "Next asks for the closing stage's pressure";
    answerPrompt(*rig.window, "130", "85");
    EXPECT_TRUE(recovery->isEnabled()) << "an exercise stage can jump to recovery";
    rig.feed(8.0);

    const double atSpace = rig.engine().recordedTime();
    QTest::keyClick(rig.window, Qt::Key_Space);
    auto *description = rig.child<QLineEdit>("txtEventDescription");
    ASSERT_TRUE(description->isEnabled());
    QTest::keyClicks(description, "Chest pain");
    QTest::keyClick(description, Qt::Key_Return);
    EXPECT_FALSE(description->isEnabled());
    rig.feed(8.0);

    QTest::mouseClick(recovery, Qt::LeftButton);
    ASSERT_NE(rig.window->bloodPressurePrompt(), nullptr);
    rig.window->bloodPressurePrompt()->reject();
    rig.feed(8.0);

    ASSERT_TRUE(stop->isEnabled());
    ASSERT_TRUE(rig.engine().running());
    ASSERT_EQ(rig.window->bloodPressurePrompt(), nullptr);
    // Stop waits for its prompt; it is answered from the event loop.
    QTimer::singleShot(50, [&] { answerPrompt(*rig.window, "120", "80"); });
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_FALSE(rig.window->isVisible()) << "the window closes itself after Stop";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(rig.window.isNull()) << "and is deleted, which hands the study back";

    const Protocol *recorded = rig.study->protocol();
    ASSERT_NE(recorded, nullptr);
    ASSERT_EQ(recorded->stageCount(), 3);
    EXPECT_EQ(recorded->stage(1).phase, StagePhase::Exercise);
    EXPECT_EQ(recorded->stage(2).phase, StagePhase::Recovery);
    const StudyResults &r = rig.study->results();
    EXPECT_EQ(r.perStage(Result::SysBpPerStage, 0), 130);
    EXPECT_EQ(r.perStage(Result::DiaBpPerStage, 0), 85);
    EXPECT_EQ(r.perStage(Result::SysBpPerStage, 1), 0) << "the recovery prompt was cancelled";
    EXPECT_EQ(r.perStage(Result::SysBpPerStage, 2), 120);
    EXPECT_GT(r.perStage(Result::BpmPerStage, 1), 30);

    QStringList descriptions;
    for (int i = 0; i < rig.study->eventCount(); ++i)
        descriptions << QString::fromUtf8(rig.study->event(i).description);
    EXPECT_EQ(descriptions, (QStringList{"Rest 1", "Chest pain", "Exercise 1", "Recovery 1"}));
    const StudyEvent &operatorEvent = rig.study->event(1);
    EXPECT_NEAR(operatorEvent.position, atSpace - 5.0, 0.2);
    EXPECT_DOUBLE_EQ(operatorEvent.duration, 7.0);
    EXPECT_TRUE(QSettings().contains(QStringLiteral("MonitorWindow/ShowAverageBeat")));
}

TEST(StressMonitorWindow, PanelsAndMenuEntriesFollowTheDevicesLeadCount) {
    struct Case {
        int leads;
        bool rightPanel;
        bool lead6Left;
        bool doublePanel;
        bool hexaxial;
    };
    for (const Case &c :
         {Case{14, true, false, true, true}, Case{7, false, true, false, true}, Case{5, false, false, false, false}}) {
        SCOPED_TRACE(c.leads);
        MonitorWindowRig rig(c.leads);
        auto *left = rig.child<QSignalMonitorDisplay>("ecgDisplay1");
        auto *right = rig.child<QSignalMonitorDisplay>("ecgDisplay2");
        EXPECT_EQ(right->isVisible(), c.rightPanel);
        if (c.leads > 6) {
            EXPECT_EQ(left->isLeadShown(6), c.lead6Left);
        }
        EXPECT_TRUE(left->isLeadShown(0));
        if (c.leads > 12) {
            EXPECT_TRUE(right->isLeadShown(10));
            EXPECT_FALSE(left->isLeadShown(12) || right->isLeadShown(12)) << "CM5 is hidden in both";
        }
        emit left->customContextMenuRequested(QPoint(20, 20));
        QMenu *menu = rig.window->contextMenu();
        ASSERT_NE(menu, nullptr);
        const QStringList texts = menuTexts(menu);
        EXPECT_EQ(texts.contains("Double panel"), c.doublePanel);
        EXPECT_EQ(texts.contains("Hexaxial order"), c.hexaxial);
        EXPECT_TRUE(texts.contains("I") && texts.contains("Average beat"));
        // Choosing a lead toggles it and offers the menu again.
        for (QAction *action : menu->actions())
            if (action->text() == QLatin1String("I")) action->trigger();
        EXPECT_FALSE(left->isLeadShown(0));
        ASSERT_TRUE(waitUntil([&] { return rig.window->contextMenu()->isVisible(); }, 2000));
        rig.window->contextMenu()->close();
    }
}

TEST(StressMonitorWindow, TheEventEntryIgnoresASecondSpaceAndTimesOut) {
    MonitorWindowRig rig;
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(2.0);
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    rig.feed(12.0);
    auto *description = rig.child<QLineEdit>("txtEventDescription");
    QTimer *timer = eventTimer(*rig.window);
    ASSERT_NE(timer, nullptr) << "a 10 s event timer";

    struct Case {
        const char *typed;
        bool saved;
    };
    for (const Case &c : {Case{"", false}, Case{"ST depression", true}}) {
        SCOPED_TRACE(c.typed);
        const int events = rig.study->eventCount();
        const double atSpace = rig.engine().recordedTime();
        rig.window->findChild<QAction *>(QStringLiteral("actionSaveEvent"))->trigger();
        rig.feed(3.0);
        description->setText(QString::fromUtf8(c.typed));
        // A second Space while the description is open keeps the first position.
        rig.window->findChild<QAction *>(QStringLiteral("actionSaveEvent"))->trigger();
        EXPECT_EQ(description->text(), QString::fromUtf8(c.typed));
        ASSERT_TRUE(timer->isActive());
        timer->setInterval(1);
        timer->start();
        ASSERT_TRUE(waitUntil([&] { return !description->isEnabled(); }, 2000));
        timer->setInterval(StressMonitorWindow::kEventTimeoutMs);
        ASSERT_EQ(rig.study->eventCount(), events + (c.saved ? 1 : 0));
        if (c.saved) {
            EXPECT_NEAR(rig.study->event(events).position, atSpace - 5.0, 0.2);
        }
        EXPECT_EQ(description->placeholderText(), QStringLiteral("Press <Space> to mark event"));
    }
}

TEST(StressMonitorWindow, HeartRateAgainstTargetsAndTheTrendScrollsAfterTwoMinutes) {
    MonitorWindowRig rig;
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(8.0);
    rig.window->tick();
    const int resting = rig.child<QLabel>("lblHR")->text().toInt();
    EXPECT_GT(resting, 40) << "the rate shows before the protocol starts";
    EXPECT_LT(resting, 200);
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    rig.feed(20.0);
    rig.window->tick();
    const int hr = rig.child<QLabel>("lblHR")->text().toInt();
    EXPECT_GT(hr, 40);
    EXPECT_LT(hr, 200);
    EXPECT_EQ(rig.child<QLabel>("lblHRInfo")->text(), QStringLiteral("0% max 0<br/>0% sub 0"))
        << "no targets in the study";
    rig.study->setProperty("patient/trainingZoneMax", "200");
    rig.window->tick();
    EXPECT_TRUE(rig.child<QLabel>("lblHRInfo")->text().startsWith(QString::number(hr * 100 / 200) + "% max 200"));
    EXPECT_EQ(rig.child<QPlotGraphic>("graphicHR")->xRange().min, 0.0);

    rig.feed(110.0);
    rig.window->tick();
    const double t = rig.engine().recordedTime();
    ASSERT_GT(t, 125.0);
    const PlotRange range = rig.child<QPlotGraphic>("graphicHR")->xRange();
    EXPECT_DOUBLE_EQ(range.min, t - 120.0);
    EXPECT_DOUBLE_EQ(range.max, t);
    EXPECT_EQ(rig.child<QLabel>("lblTotalElapsedTime")->text(),
              QString::asprintf("%2d:%2.2d total", int(t) / 60, int(t) % 60));
}

TEST(StressMonitorWindow, DeviceProblemsAndFailuresShowWithoutStoppingTheTest) {
    MonitorWindowRig rig;
    MonitorIndicators &indicators = rig.window->indicators();
    struct Case {
        const char *what;
        std::function<void(ScriptedDevice &)> change;
        std::function<QWidget *()> indicator;
    };
    const std::vector<Case> cases = {
        {"V3 off", [](ScriptedDevice &d) { d.setElectrodesOff({"V3"}); },
         [&] { return static_cast<QWidget *>(indicators.electrodeStatus()); }},
        {"battery 2.2 V", [](ScriptedDevice &d) { d.battery = 2.2; }, [&] { return indicators.lowBatteryIcon(); }},
        {"link lost", [](ScriptedDevice &d) { d.ok = false; }, [&] { return indicators.connectingIcon(); }},
        {"V5 saturated", [](ScriptedDevice &d) { d.saturated = 10; }, [&] { return indicators.inoperativeLabel(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.change(*rig.device);
        rig.window->tick();
        ASSERT_NE(c.indicator(), nullptr);
        EXPECT_TRUE(c.indicator()->isVisible());
    }
    EXPECT_TRUE(indicators.electrodeStatus()->isElectrodeOff("V3"));
    EXPECT_FALSE(indicators.electrodeStatus()->isElectrodeOff("V2"));
    rig.device->ok = true;
    rig.device->battery = 3.9;
    // Signal flowing again: the link is back.
    const std::int64_t before = rig.engine().raw().length();
    rig.device->push(200);
    ASSERT_TRUE(waitUntil([&] { return rig.engine().raw().length() > before; }));
    rig.window->tick();
    EXPECT_FALSE(indicators.connectingIcon()->isVisible());
    EXPECT_FALSE(indicators.lowBatteryIcon()->isVisible());

    // A broken acquisition reaches the operator at once, in the window.
    rig.device->shortRead = true;
    rig.device->push(200);
    ASSERT_TRUE(waitUntil([&] { return indicators.banner() && indicators.banner()->isVisible(); }));
    EXPECT_EQ(indicators.banner()->text(), QStringLiteral("Communication with ECG acquiring device failed."));
    EXPECT_TRUE(rig.window->isVisible());
}

TEST(StressMonitorWindow, F4AsksForThePressureOnlyDuringTheTest) {
    MonitorWindowRig rig;
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(2.0);
    QTest::keyClick(rig.window, Qt::Key_F4);
    EXPECT_EQ(rig.window->bloodPressurePrompt(), nullptr) << "nothing to record before Start";
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    rig.feed(8.0);
    QTest::keyClick(rig.window, Qt::Key_F4);
    ASSERT_NE(rig.window->bloodPressurePrompt(), nullptr);
    answerPrompt(*rig.window, "140", "90");
    const auto &trend = rig.study->results().values(Result::SysBpTrend);
    ASSERT_EQ(trend.size(), 1u);
    EXPECT_EQ(trend[0], 140);
}

TEST(StressMonitorWindow, ASingleStageAsksOnceFifteenSecondsBeforeItsEndAndRunsUntilStop) {
    Protocol single;
    single.name = QStringLiteral("One stage");
    single.type = ProtocolType::Treadmill;
    single.appendTreadmillStage(StagePhase::Exercise, 30.0, 3.0, 5.0);
    MonitorWindowRig rig(14, single);
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(2.0);
    QTest::keyClick(rig.window, Qt::Key_F5);
    // A button's shortcut clicks it after its press is shown.
    ASSERT_TRUE(waitUntil([&] { return rig.engine().running(); }, 2000)) << "F5 starts";
    EXPECT_FALSE(rig.child<QPushButton>("btnNext")->isEnabled()) << "no stage to go to";
    rig.feed(12.0);
    EXPECT_EQ(rig.window->bloodPressurePrompt(), nullptr) << "18 s left";
    rig.feed(5.0);
    ASSERT_NE(rig.window->bloodPressurePrompt(), nullptr) << "13 s left";
    answerPrompt(*rig.window, "150", "90");
    rig.feed(25.0);
    EXPECT_EQ(rig.window->bloodPressurePrompt(), nullptr) << "once per stage, and the last stage never ends by itself";
    EXPECT_TRUE(rig.engine().running());
    EXPECT_EQ(rig.study->protocol()->stageCount(), 0);
}

TEST(StressMonitorWindow, AnEquipmentFailureIsShownAtOnceAndTheTestGoesOn) {
    FakeEquipment treadmill;
    treadmill.failOnSet = 1;
    MonitorWindowRig rig(14, std::nullopt, &treadmill);
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(2.0);
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    rig.feed(8.0);
    EXPECT_EQ(rig.window->indicators().banner(), nullptr);
    QTest::mouseClick(rig.child<QPushButton>("btnNext"), Qt::LeftButton);
    rig.window->bloodPressurePrompt()->reject();
    QLabel *banner = rig.window->indicators().banner();
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->text().section(QLatin1Char('\n'), 0, 0),
              QStringLiteral("Communication with ergometer/treadmill device failed."));
    EXPECT_TRUE(banner->text().contains(QStringLiteral("no longer follows the protocol")));
    rig.feed(6.0);
    EXPECT_TRUE(rig.engine().running());
    EXPECT_EQ(rig.engine().currentStageIndex(), 1);
}

TEST(StressMonitorWindow, ClosingDuringTheTestStopsItSoItsLastStageAndMaximaAreKept) {
    MonitorWindowRig rig;
    SKIP_WITHOUT_RECORDING(rig);
    rig.feed(2.0);
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    rig.feed(15.0);
    rig.window->close();
    EXPECT_FALSE(rig.engine().running());
    ASSERT_NE(rig.study->protocol(), nullptr);
    EXPECT_EQ(rig.study->protocol()->stageCount(), 1);
    EXPECT_GT(rig.study->results().scalar(Result::MaxBpm), 30);
}

TEST(StressMonitorWindow, DisplaySettingsAreReadAtOpeningAndWrittenAtClosing) {
    QSettings().setValue("MonitorWindow/DisplayColorScheme", "Black");
    QSettings().setValue("MonitorWindow/HexaxialOrder", true);
    QSettings().setValue("MonitorWindow/ShowAverageBeat", false);
    {
        MonitorWindowRig rig;
        for (const char *name : {"ecgDisplay1", "ecgDisplay2"}) {
            auto *display = rig.child<QSignalMonitorDisplay>(name);
            EXPECT_EQ(display->colorScheme(), QStringLiteral("Black"));
            EXPECT_TRUE(display->hexaxialOrder());
            EXPECT_FALSE(display->showAverageBeat());
        }
        auto *left = rig.child<QSignalMonitorDisplay>("ecgDisplay1");
        emit left->customContextMenuRequested(QPoint(10, 10));
        for (QAction *action : rig.window->contextMenu()->actions()) {
            if (action->text() == QLatin1String("Hexaxial order")) action->trigger();
            if (action->text() == QLatin1String("Average beat")) action->trigger();
            if (action->menu())
                for (QAction *scheme : action->menu()->actions())
                    if (scheme->text() == DisplayColorScheme::translatedName("Blue")) scheme->trigger();
        }
        EXPECT_EQ(rig.child<QSignalMonitorDisplay>("ecgDisplay2")->colorScheme(), QStringLiteral("Blue"));
    }
    EXPECT_EQ(QSettings().value("MonitorWindow/DisplayColorScheme").toString(), QStringLiteral("Blue"));
    EXPECT_FALSE(QSettings().value("MonitorWindow/HexaxialOrder").toBool());
    EXPECT_TRUE(QSettings().value("MonitorWindow/ShowAverageBeat").toBool());
    QSettings().clear();
}
