#include "tools/screenshots/DialogScreenshots.h"

#include "tools/screenshots/ConfigScreenshots.h"

#include "app/ReportDialog.h"
#include "store/Study.h"
#include "store/StudyStore.h"
#include "stress/RampTable.h"
#include "ui/ProtocolDialog.h"
#include "ui/ProtocolListDialog.h"
#include "ui/RampDialog.h"
#include "ui/StudyDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>
#include <stdexcept>

namespace {

const QString kWorkloadUnit = QStringLiteral("watts");

// A walking ramp to 8 METs over ten minutes.
RampProtocol walkingRamp() {
    RampProtocol ramp;
    ramp.name = QString::fromUtf8(sample("Walking ramp 10 min", "Rampa caminando 10 min"));
    ramp.durationMinutes = 10.0;
    ramp.initialSpeed = 3.0;
    ramp.finalSpeed = 5.5;
    ramp.initialIncline = 0.0;
    ramp.finalIncline = 9.0;
    return ramp;
}

// A store of its own in a temporary folder, holding the standard protocols
// and one ramp, so the pictures never depend on (or touch) the user's studies.
struct ScratchStore {
    QTemporaryDir folder;
    std::unique_ptr<StudyStore> store;
    ScratchStore() {
        if (!folder.isValid()) throw std::runtime_error("Cannot create temporary folder");
        store = std::make_unique<StudyStore>(folder.path());
        RampTable(RampTable::filePathUnder(folder.path())).setRamp(walkingRamp().name, walkingRamp());
    }
};

StudyInfo samplePatient() {
    StudyInfo info;
    info.studyType = "stress";
    info.studyDateTime = "20261208093000";
    info.protocolName = "Bruce";
    info.patientFirstName = "Ana María";
    info.patientLastName = "Pérez Gómez";
    info.patientSex = "F";
    info.patientBirthDate = "19620305";
    info.patientAge = "64";
    info.patientWeight = "68";
    info.patientHeight = "163";
    info.patientPersonIdType = "DNI";
    info.patientPersonIdNumber = "14.325.876";
    info.patientMedicalGroupName = "OSDE";
    info.patientMedicalGroupNumber = "61 304 558 / 02";
    info.patientMedicalHistoryNumber = "HC-20417";
    info.patientPhoneNumber = "+54 341 455 0192";
    info.patientAddress = "Bv. Oroño 1450, 3º B";
    info.patientCity = "Rosario";
    info.patientState = "Santa Fe";
    info.technicianName = "Marta Ibáñez";
    info.doctorName = "Dr. Julián Ortega";
    info.referringDoctorName = "Dra. Lucía Ferrari";
    info.indication =
        sample("Chest pain on exertion; evaluation of ischaemia", "Dolor torácico de esfuerzo; valoración de isquemia");
    info.treatment = sample("Atenolol 50 mg/day, aspirin 100 mg/day", "Atenolol 50 mg/día, AAS 100 mg/día");
    info.comments = sample("Beta-blocker not suspended.", "No se suspendió el betabloqueante.");
    info.riskFactors = {
        {"Hipertensión", true, sample("Since 2015, treated", "Desde 2015, en tratamiento")},
        {"Ex-tabaquismo", true, sample("Stopped 2010, 20 pack-years", "Lo dejó en 2010, 20 paquetes-año")},
        {"Dislipemia", true, ""}};
    return info;
}

QImage studyDialogPage(int page) {
    ScratchStore scratch;
    StudyInfo info = samplePatient();
    StudyDialog dialog(*scratch.store, info, StudyDialog::Mode::Stored, kWorkloadUnit);
    dialog.findChild<QListWidget *>(QStringLiteral("lstPages"))->setCurrentRow(page);
    dialog.adjustSize();
    return dialog.grab().toImage();
}

QImage protocolList() {
    ScratchStore scratch;
    ProtocolListDialog dialog(*scratch.store, kWorkloadUnit);
    auto *list = dialog.findChild<QListWidget *>(QStringLiteral("lstProtocols"));
    const auto bruce = list->findItems(QStringLiteral("Bruce"), Qt::MatchExactly);
    if (!bruce.isEmpty()) list->setCurrentItem(bruce.first());
    return dialog.grab().toImage();
}

QImage protocolEditor() {
    ScratchStore scratch;
    Protocol bruce;
    if (!scratch.store->protocol(QStringLiteral("Bruce"), bruce)) throw std::runtime_error("Cannot load protocol");
    ProtocolDialog dialog(bruce, kWorkloadUnit, QStringList());
    auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("treeStages"));
    tree->setCurrentItem(tree->topLevelItem(3));
    dialog.resize(dialog.width(), 480);
    return dialog.grab().toImage();
}

QImage rampEditor() {
    RampDialog dialog(walkingRamp(), QStringList());
    dialog.adjustSize();
    return dialog.grab().toImage();
}

// The report dialog as a practice fills it in; the fields are typed, not
// read from the settings, so the picture never depends on the user's.
QImage reportDialog() {
    ScratchStore scratch;
    Study study(1);
    study.setProperty("patient/lastName", samplePatient().patientLastName);
    ReportDialog dialog(study, scratch.store->rootFolder());
    const auto type = [&dialog](const char *name, const QString &text) {
        auto *field = dialog.findChild<QLineEdit *>(QLatin1String(name));
        field->setText(text);
        field->setCursorPosition(0);
    };
    type("txtHeaderTitle", QStringLiteral("Servicio de Cardiología — Hospital Norte"));
    type("txtHeaderInfo", QStringLiteral("Bv. Oroño 1500, Rosario · Tel. +54 341 455 0100"));
    type("txtSignatureName", QStringLiteral("Dr. Julián Ortega"));
    type("txtSignatureLicense", QStringLiteral("M.P. 12 345"));
    type("txtSignatureFilename", QStringLiteral("/home/cardio/firma-ortega.png"));
    auto *layouts = dialog.findChild<QComboBox *>(QStringLiteral("cboTraceLayout"));
    layouts->setCurrentIndex(layouts->findData(QStringLiteral("4by3")));
    dialog.findChild<QComboBox *>(QStringLiteral("cboRhythmLead"))->setCurrentText(QStringLiteral("II"));
    dialog.resize(640, dialog.sizeHint().height());
    return dialog.grab().toImage();
}

}  // namespace

void addDialogScreenshots(ScreenshotList &list) {
    list.push_back({QStringLiteral("study-dialog-patient"), [] { return studyDialogPage(0); }});
    list.push_back({QStringLiteral("study-dialog-risk-factors"), [] { return studyDialogPage(1); }});
    list.push_back({QStringLiteral("study-dialog-study-info"), [] { return studyDialogPage(2); }});
    list.push_back({QStringLiteral("study-dialog-protocol"), [] { return studyDialogPage(3); }});
    list.push_back({QStringLiteral("protocol-list-dialog"), protocolList});
    list.push_back({QStringLiteral("report-dialog"), reportDialog});
    list.push_back({QStringLiteral("protocol-editor-bruce"), protocolEditor});
    list.push_back({QStringLiteral("ramp-editor"), rampEditor});
    addConfigScreenshots(list);
}
