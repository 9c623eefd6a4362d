// The stage print during a test: the monitor window's request runs the
// event report while the recording goes on, the window is told once when
// it is done, and the PDF lands in the store's report folder.

#include "app/StagePrint.h"
#include "reports/ReportPdf.h"
#include "ui/MonitorWindowRig.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include "ui/BPDialog.h"

namespace {

void answerPrompt(StressMonitorWindow &window, bool print) {
    BPDialog *dialog = window.bloodPressurePrompt();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit *>(QStringLiteral("txtSBP"))->setText("135");
    dialog->findChild<QLineEdit *>(QStringLiteral("txtDBP"))->setText("82");
    dialog->findChild<QCheckBox *>(QStringLiteral("chkPrint"))->setChecked(print);
    dialog->accept();
}

// Starts the test and closes the first stage with "Print this stage" ticked.
// Returns false when the window never asked for a print.
bool runStageWithPrint(MonitorWindowRig &rig) {
    QSignalSpy requested(rig.window.data(), &StressMonitorWindow::stagePrintRequested);
    rig.feed(3.0);
    QTest::mouseClick(rig.child<QPushButton>("btnStart"), Qt::LeftButton);
    rig.feed(12.0);
    QTest::mouseClick(rig.child<QPushButton>("btnNext"), Qt::LeftButton);
    if (!rig.window->bloodPressurePrompt()) return false;
    answerPrompt(*rig.window, true);
    rig.feed(1.0);
    return requested.count() == 1;
}

}  // namespace

TEST(StagePrint, PrintsTheClosedStageToThePdfFolderWhileRecordingGoesOn) {
    QSettings().clear();
    MonitorWindowRig rig;
    if (!rig.hasRecording()) GTEST_SKIP() << "demonstration recording not built: " TARVELIN_DEMO_RECORDING;
    auto *print = new StagePrint(*rig.window, *rig.study, rig.store->rootFolder());
    QSignalSpy finished(print, &StagePrint::finished);
    ASSERT_TRUE(runStageWithPrint(rig)) << "the window did not start the stage print";
    const int eventIndex = rig.study->eventCount() - 1;
    const std::int64_t before = rig.engine().raw().length();
    // The recording goes on while the report is drawn.
    while (finished.isEmpty() && rig.window->prompts().printing()) rig.feed(0.5);
    ASSERT_TRUE(waitUntil([&] { return !finished.isEmpty(); }, 120000));
    EXPECT_GT(rig.engine().raw().length(), before);
    QTest::qWait(100);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool()) << finished.at(0).at(1).toString().toStdString();
    EXPECT_FALSE(rig.window->prompts().printing()) << "the window was told the print is done";
    const QString pdf = print->pdfPath(eventIndex);
    EXPECT_TRUE(
        pdf.startsWith(rig.store->rootFolder() + "/reports/" + QString::fromUtf8(rig.study->property("baseFilename"))))
        << qPrintable(pdf);
    EXPECT_TRUE(pdf.endsWith(QStringLiteral("_event%1.pdf").arg(eventIndex + 1)));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
}

TEST(StagePrint, AFailedPrintStillClearsTheWindowAndSaysWhy) {
    QSettings().clear();
    MonitorWindowRig rig;
    if (!rig.hasRecording()) GTEST_SKIP() << "demonstration recording not built: " TARVELIN_DEMO_RECORDING;
    // A file where the report folder should be.
    QFile blocker(rig.store->rootFolder() + "/reports");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto *print = new StagePrint(*rig.window, *rig.study, rig.store->rootFolder());
    QSignalSpy finished(print, &StagePrint::finished);
    ASSERT_TRUE(runStageWithPrint(rig));
    const QString pdf = print->pdfPath(rig.study->eventCount() - 1);
    ASSERT_TRUE(waitUntil([&] { return !finished.isEmpty(); }, 120000));
    QTest::qWait(100);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_EQ(finished.at(0).at(1).toString(), ReportPdf::failureMessage(pdf));
    EXPECT_FALSE(rig.window->prompts().printing());
    // The message waits beside the monitor; the test is not held up.
    QMessageBox *box = rig.window->findChild<QMessageBox *>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), ReportPdf::failureMessage(pdf));
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(rig.engine().running());
}
