// A whole stress test started from the launcher's quick fields on a scripted
// device fed faster than real time: the study that comes back to the store,
// the recent list and the automatic export.

#include "app/GlobalConfig.h"
#include "app/MainWindow.h"
#include "app/RecentStudies.h"
#include "store/Study.h"
#include "store/StudyFiles.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "tests/app/LauncherTestSupport.h"
#include "ui/BPDialog.h"
#include "ui/ProtocolListDialog.h"
#include "ui/RampDialog.h"
#include "ui/StressMonitorWindow.h"
#include "ui/StudyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace LauncherTest;

namespace {

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

template <typename T>
T *child(QWidget &parent, const char *name) {
    T *found = parent.findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

}  // namespace

TEST(LauncherRun, AStressTestFromTheQuickFieldsIsStoredListedAndExported) {
    Profile profile;
    const QString exportFolder = profile.folder.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(exportFolder));
    GlobalConfig::setValue(GlobalConfig::Key::AutoExportStudies, true);
    GlobalConfig::setValue(GlobalConfig::Key::ExportStressStudyFolder, exportFolder);
    Devices devices;
    MainWindow launcher(devices.factory());
    QList<qint32> reviewed;
    launcher.setReviewOpener([&](Study &study, StudyStore &, QWidget *) -> QWidget * {
        reviewed << study.id();
        return nullptr;
    });
    launcher.show();

    QTest::keyClicks(child<QLineEdit>(launcher, "txtLastName"), "Doe");
    QTest::keyClicks(child<QLineEdit>(launcher, "txtFirstName"), "John");
    child<QRadioButton>(launcher, "radMale")->setChecked(true);
    QTest::keyClicks(child<QLineEdit>(launcher, "txtPatientId"), "HC-1");
    child<QComboBox>(launcher, "cmbProtocol")->setCurrentText(QStringLiteral("Bruce"));
    QTest::mouseClick(child<QPushButton>(launcher, "btnStartStress"), Qt::LeftButton);
    StressMonitorWindow *window = launcher.monitorWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(devices.last, nullptr);
    EXPECT_FALSE(launcher.isEnabled());
    ScriptedDevice &device = *devices.last;
    MonitorEngine &engine = window->session().engine();

    feed(device, engine, 3.0);
    QTest::mouseClick(child<QPushButton>(*window, "btnStart"), Qt::LeftButton);
    ASSERT_TRUE(engine.running());
    feed(device, engine, 10.0);
    QTest::mouseClick(child<QPushButton>(*window, "btnNext"), Qt::LeftButton);
    answerPrompt(*window, "130", "85");
    feed(device, engine, 8.0);
    QTest::keyClick(window, Qt::Key_Space);
    auto *description = child<QLineEdit>(*window, "txtEventDescription");
    ASSERT_TRUE(description->isEnabled());
    QTest::keyClicks(description, "ST depression");
    QTest::keyClick(description, Qt::Key_Return);
    feed(device, engine, 8.0);
    QTest::mouseClick(child<QPushButton>(*window, "btnRecovery"), Qt::LeftButton);
    answerPrompt(*window, "140", "80");
    feed(device, engine, 8.0);

    MessageCatcher messages;
    QTimer::singleShot(50, [window] { answerPrompt(*window, "120", "75"); });
    QTest::mouseClick(child<QPushButton>(*window, "btnStop"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return launcher.monitorWindow() == nullptr && !messages.texts().isEmpty(); }));
    EXPECT_TRUE(launcher.isEnabled()) << "the launcher is back once the window is gone";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor of the export is gone";

    const QList<StudyInfo> studies = launcher.store().listStudies();
    ASSERT_EQ(studies.size(), 1);
    const qint32 id = studies[0].id;
    EXPECT_FALSE(launcher.store().isStudyOpen(id));
    EXPECT_EQ(reviewed, QList<qint32>{id}) << "the test goes on to its review";
    const std::unique_ptr<Study> saved = launcher.store().readStudy(id);
    ASSERT_NE(saved, nullptr);
    const StudyInfo info = launcher.store().studyInfo(*saved);
    EXPECT_EQ(info.patientLastName, QByteArray("Doe"));
    EXPECT_EQ(info.patientSex, QByteArray("M"));
    EXPECT_EQ(info.patientMedicalHistoryNumber, QByteArray("HC-1"));
    EXPECT_EQ(info.protocolName, QByteArray("Bruce"));
    ASSERT_NE(saved->protocol(), nullptr);
    EXPECT_EQ(saved->protocol()->stageCount(), 3) << "rest, the first exercise stage, recovery";
    const StudyResults &results = saved->results();
    EXPECT_EQ(results.perStage(Result::SysBpPerStage, 0), 130);
    EXPECT_EQ(results.perStage(Result::DiaBpPerStage, 0), 85);
    EXPECT_EQ(results.perStage(Result::SysBpPerStage, 1), 140);
    EXPECT_EQ(results.perStage(Result::SysBpPerStage, 2), 120);
    QStringList events;
    for (int i = 0; i < saved->eventCount(); ++i) events << QString::fromUtf8(saved->event(i).description);
    EXPECT_TRUE(events.contains(QStringLiteral("ST depression"))) << qPrintable(events.join(", "));

    const QList<RecentStudies::Entry> recent = RecentStudies::parse(RecentStudies::load());
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(recent[0].id, id);
    EXPECT_EQ(recent[0].dateTime, info.recordingDateTime);
    auto *tree = child<QTreeWidget>(launcher, "treeStudies");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(1), QStringLiteral("Doe, John"));

    EXPECT_TRUE(QFileInfo::exists(StudyFiles::archivePathOf(exportFolder, QString::fromUtf8(info.baseFilename))));
    EXPECT_EQ(
        messages.texts(),
        QStringList{QStringLiteral("Information: Study file was succesfully exported to folder: ") + exportFolder});
}

TEST(LauncherRun, ARampCreatedInTheEditorIsOfferedAndRunsItsLoads) {
    Profile profile;
    Devices devices;
    MainWindow launcher(devices.factory());
    launcher.show();
    // More..., "Protocols..." in the study data dialog, New ramp in the list.
    whenModalShows<StudyDialog>([](StudyDialog *study) {
        whenModalShows<ProtocolListDialog>([](ProtocolListDialog *list) {
            whenModalShows<RampDialog>([](RampDialog *ramp) {
                ramp->findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(QStringLiteral("Rampa 12 min"));
                ramp->findChild<QDoubleSpinBox *>(QStringLiteral("spnDuration"))->setValue(12.0);
                ramp->findChild<QDoubleSpinBox *>(QStringLiteral("spnTargetVo2"))->setValue(30.0);
                ramp->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
            });
            list->findChild<QPushButton *>(QStringLiteral("btnNewRamp"))->click();
            list->reject();
        });
        study->findChild<QPushButton *>(QStringLiteral("btnProtocols"))->click();
        study->reject();
    });
    child<QPushButton>(launcher, "btnMoreStress")->click();

    auto *protocols = child<QComboBox>(launcher, "cmbProtocol");
    ASSERT_EQ(protocols->itemText(protocols->count() - 2), QStringLiteral("Rampa 12 min"));
    protocols->setCurrentText(QStringLiteral("Rampa 12 min"));
    QTest::mouseClick(child<QPushButton>(launcher, "btnStartStress"), Qt::LeftButton);
    StressMonitorWindow *window = launcher.monitorWindow();
    ASSERT_NE(window, nullptr);
    MonitorEngine &engine = window->session().engine();
    feed(*devices.last, engine, 2.0);
    QTest::mouseClick(child<QPushButton>(*window, "btnStart"), Qt::LeftButton);
    ASSERT_TRUE(engine.running());
    ASSERT_NE(engine.run(), nullptr);
    ASSERT_NE(engine.run()->rampProtocol(), nullptr);
    const double startSpeed = engine.run()->rampLoad().speed;
    feed(*devices.last, engine, 12.0);
    // Twelve seconds into a twelve-minute ramp from 3 to 6 km/h.
    EXPECT_NEAR(engine.run()->rampLoad().speed - startSpeed, 3.0 * 12.0 / 720.0, 0.01);
    QTimer::singleShot(50, [window] { answerPrompt(*window, "120", "80"); });
    QTest::mouseClick(child<QPushButton>(*window, "btnStop"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return launcher.monitorWindow() == nullptr; }));

    const QList<StudyInfo> studies = launcher.store().listStudies();
    ASSERT_EQ(studies.size(), 1);
    const std::unique_ptr<Study> saved = launcher.store().readStudy(studies[0].id);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(launcher.store().studyInfo(*saved).protocolName, QByteArray("Rampa 12 min"));
    EXPECT_EQ(QSettings().value(QLatin1String(StudyDialog::kLastProtocolKey)).toString(),
              QStringLiteral("Rampa 12 min"));
}
