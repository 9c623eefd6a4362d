// The report dialog as the user drives it: choices remembered under their
// keys, the PDF in the store's report folder, the failure message when it
// cannot be written (and no file left), and the automatic export copy.

#include "app/GlobalConfig.h"
#include "app/ReportDialog.h"
#include "app/ReportDialogSettings.h"
#include "app/ReviewWindows.h"
#include "reports/ReportPdf.h"
#include "store/Study.h"
#include "store/StudyStore.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ReportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear();
        ASSERT_TRUE(folder.isValid());
        store = std::make_unique<StudyStore>(folder.filePath("store"));
        StudyInfo info;
        info.studyType = "Stress test";
        info.studyDateTime = "20261208101500";
        info.patientLastName = "O'Neil/Doe";
        info.samplingRate = 500;
        info.channelCount = 12;
        info.channelNames = "I,II,III,aVR,aVL,aVF,V1,V2,V3,V4,V5,V6";
        info.resolution = 16;
        info.gainMax = 300.0;
        study = store->createStudy(info);
    }
    void TearDown() override { QSettings().clear(); }

    template <typename T>
    static T *child(ReportDialog &dialog, const char *name) {
        T *widget = dialog.findChild<T *>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // Presses OK; returns the text of the message box it raised, if any.
    static QString pressOk(ReportDialog &dialog) {
        QString shown;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&shown] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->close();
            }
        });
        watcher.start(20);
        child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        return shown;
    }

    QTemporaryDir folder;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;
};

}  // namespace

TEST_F(ReportDialogTest, ChoicesAreRememberedUnderTheirKeys) {
    struct Case {
        const char *title, *signature, *layout, *lead;
    } cases[] = {{"Cardiology, Hospital Norte", "Dr. A. Ruiz", "6by2", "V5"}, {"Clinic", "", "4by3", "aVF"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.layout);
        {
            ReportDialog dialog(*study, store->rootFolder());
            dialog.show();
            child<QLineEdit>(dialog, "txtHeaderTitle")->setText(c.title);
            child<QLineEdit>(dialog, "txtSignatureName")->setText(c.signature);
            auto *layouts = child<QComboBox>(dialog, "cboTraceLayout");
            layouts->setCurrentIndex(layouts->findData(c.layout));
            child<QComboBox>(dialog, "cboRhythmLead")->setCurrentText(c.lead);
            child<QRadioButton>(dialog, "rbtPdf")->setChecked(true);
            EXPECT_EQ(pressOk(dialog), QString());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(QFile::exists(dialog.pdfPath()));
        }
        const QSettings settings;
        EXPECT_EQ(settings.value("ReportDialog/HeaderTitle").toString(), c.title);
        EXPECT_EQ(settings.value("ReportDialog/SignatureName").toString(), c.signature);
        EXPECT_EQ(settings.value("ReportDialog/TraceLayout").toString(), c.layout);
        EXPECT_EQ(settings.value("ReportDialog/RhythmLead").toString(), c.lead);
        EXPECT_EQ(settings.value("ReportDialog/Destination").toString(), "pdf");

        ReportDialog again(*study, store->rootFolder());
        EXPECT_EQ(child<QLineEdit>(again, "txtHeaderTitle")->text(), c.title);
        EXPECT_EQ(child<QLineEdit>(again, "txtSignatureName")->text(), c.signature);
        EXPECT_EQ(child<QComboBox>(again, "cboTraceLayout")->currentData().toString(), c.layout);
        EXPECT_EQ(child<QComboBox>(again, "cboRhythmLead")->currentText(), c.lead);
        EXPECT_TRUE(child<QRadioButton>(again, "rbtPdf")->isChecked());
        EXPECT_FALSE(child<QComboBox>(again, "cboPrinter")->isEnabled());
    }
    // Values no longer offered read as the defaults.
    QSettings().setValue("ReportDialog/TraceLayout", "3by4");
    QSettings().setValue("ReportDialog/RhythmLead", "CM5");
    const ReportDialogSettings::State state = ReportDialogSettings::load();
    EXPECT_EQ(state.report.traceLayout, "12by1");
    EXPECT_EQ(state.report.rhythmLead, "II");
}

TEST_F(ReportDialogTest, PdfGoesToTheStoresReportFolderUnderASafeName) {
    ReportDialog dialog(*study, store->rootFolder());
    // The study's base name, where the study browser's "Show report" looks;
    // the patient's name cannot make the file land outside the folder.
    const QString base = QString::fromUtf8(study->property("baseFilename"));
    EXPECT_FALSE(base.isEmpty());
    EXPECT_FALSE(base.contains('/'));
    EXPECT_EQ(dialog.pdfPath(), ReportPdf::defaultPath(store->rootFolder(), base)) << qPrintable(dialog.pdfPath());
    EXPECT_EQ(QFileInfo(dialog.pdfPath()).path(), store->rootFolder() + "/reports");
    EXPECT_EQ(pressOk(dialog), QString());
    QFile pdf(dialog.pdfPath());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
}

TEST_F(ReportDialogTest, UnwritableFolderShowsTheMessageAndLeavesNoFile) {
    // A file where the report folder should be: nothing can be written there.
    QFile blocker(store->rootFolder() + "/reports");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ReportDialog dialog(*study, store->rootFolder());
    dialog.show();
    const QString shown = pressOk(dialog);
    EXPECT_EQ(shown, ReportPdf::failureMessage(dialog.pdfPath()));
    EXPECT_TRUE(shown.startsWith("Report file could not be generated at:\n\n"));
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open for another destination";
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(QFile::exists(dialog.pdfPath()));
    EXPECT_EQ(QFileInfo(store->rootFolder() + "/reports").size(), 0);
}

TEST_F(ReportDialogTest, AutomaticExportCopiesIntoTheFolderForTheStudysKind) {
    const QString shared = folder.filePath("shared-stress"), ecgShared = folder.filePath("shared-ecg");
    ASSERT_TRUE(QDir().mkpath(shared) && QDir().mkpath(ecgShared));
    struct Case {
        bool autoExport;
        QString stressFolder;
        bool copied;
        bool failure;
    } cases[] = {
        {false, shared, false, false},
        {true, shared, true, false},
        {true, QString(), false, false},  // on, but no folder chosen
        {true, folder.filePath("no-such-share"), false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stressFolder.toStdString() + (c.autoExport ? " on" : " off"));
        for (const QString &pdf : QDir(shared).entryList({QStringLiteral("*.pdf")})) QFile::remove(shared + "/" + pdf);
        GlobalConfig::setValue(GlobalConfig::Key::AutoExportReports, c.autoExport);
        GlobalConfig::setValue(GlobalConfig::Key::ExportStressReportFolder, c.stressFolder);
        GlobalConfig::setValue(GlobalConfig::Key::ExportEcgReportFolder, ecgShared);
        ReportDialog dialog(*study, store->rootFolder());
        dialog.show();
        const QString shown = pressOk(dialog);
        const QString copy = QDir(c.stressFolder).filePath(QFileInfo(dialog.pdfPath()).fileName());
        EXPECT_EQ(QFile::exists(copy) && !c.stressFolder.isEmpty(), c.copied);
        EXPECT_EQ(dialog.exportedCopy(), c.copied ? copy : QString());
        EXPECT_EQ(shown, c.failure ? ReportPdf::failureMessage(copy) : QString());
        EXPECT_TRUE(QDir(ecgShared).isEmpty()) << "a stress report never goes to the ECG folder";
        if (c.copied) {
            QFile a(dialog.pdfPath()), b(copy);
            ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            EXPECT_EQ(a.readAll(), b.readAll());
        }
    }
}

TEST_F(ReportDialogTest, AReportedStudyIsMarkedForTheStudyBrowser) {
    EXPECT_TRUE(study->property("status").isEmpty());
    ReviewWindows::markReported(*study, *store, nullptr);
    EXPECT_EQ(study->property("status"), QByteArray("report"));
    const QList<StudyInfo> rows = store->listStudies();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].status, QByteArray("report")) << "the index row the browser lists";
    const std::unique_ptr<Study> stored = store->readStudy(study->id());
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->property("status"), QByteArray("report")) << "the saved document";
}
