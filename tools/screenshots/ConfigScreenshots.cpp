#include "tools/screenshots/ConfigScreenshots.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "app/ConfigDialog.h"
#include "app/GlobalConfig.h"
#include "app/OpenStudyDialog.h"
#include "store/Study.h"
#include "store/StudyStore.h"
#include "ui/AcquisitionTestWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <stdexcept>

using GlobalConfig::Key;

namespace {

// Settings of their own in a temporary folder for as long as it lives, so the
// pictures never read (or write) the user's configuration.
class ScratchSettings {
public:
    ScratchSettings() {
        if (!folder_.isValid()) throw std::runtime_error("Cannot create temporary folder");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    }
    ~ScratchSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    QString filePath(const QString &name) const { return folder_.filePath(name); }
    ScratchSettings(const ScratchSettings &) = delete;
    ScratchSettings &operator=(const ScratchSettings &) = delete;

private:
    QTemporaryDir folder_;
};

// The practice's logo and the doctor's signature as a practice would scan them.
void drawImages(const QString &logoPath, const QString &signaturePath) {
    QImage logo(320, 120, QImage::Format_RGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(170, 20, 40), 6));
    QPainterPath heart;
    heart.moveTo(60, 100);
    heart.cubicTo(0, 60, 20, 10, 60, 35);
    heart.cubicTo(100, 10, 120, 60, 60, 100);
    painter.drawPath(heart);
    painter.setPen(QColor(30, 50, 110));
    QFont font = painter.font();
    font.setPixelSize(30);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(125, 20, 190, 80), Qt::AlignVCenter | Qt::TextWordWrap, QStringLiteral("Cardiología Norte"));
    painter.end();
    logo.save(logoPath, "PNG");

    QImage signature(300, 110, QImage::Format_RGB32);
    signature.fill(Qt::white);
    painter.begin(&signature);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 30, 90), 3));
    QPainterPath stroke;
    stroke.moveTo(20, 80);
    stroke.cubicTo(40, 10, 70, 10, 60, 70);
    stroke.cubicTo(90, 20, 120, 90, 150, 40);
    stroke.cubicTo(170, 20, 190, 90, 220, 50);
    stroke.cubicTo(240, 30, 260, 60, 285, 45);
    painter.drawPath(stroke);
    painter.drawLine(30, 95, 270, 92);
    painter.end();
    signature.save(signaturePath, "PNG");
}

void practiceSettings(const ScratchSettings &scratch) {
    const QString logo = scratch.filePath(QStringLiteral("logo.png"));
    const QString signature = scratch.filePath(QStringLiteral("signature.png"));
    drawImages(logo, signature);
    GlobalConfig::setValue(Key::ReportHeaderLogoFilename, logo);
    GlobalConfig::setValue(Key::ReportSignatureFilename, signature);
    GlobalConfig::setValue(Key::ReportHeaderTitle, QStringLiteral("Cardiología Norte — Servicio de Ergometría"));
    GlobalConfig::setValue(
        Key::ReportHeaderInfo,
        QStringLiteral("Bv. Oroño 1450, Rosario\nTel. +54 341 455 0192 — turnos@cardionorte.example"));
    GlobalConfig::setValue(Key::ReportSignatureName, QStringLiteral("Dr. Julián Ortega"));
    GlobalConfig::setValue(Key::ReportSignatureLicense, QStringLiteral("MP 12345 — Cardiólogo"));
    GlobalConfig::setValue(Key::AcqMode, QStringLiteral("bluetooth-com"));
    GlobalConfig::setValue(Key::AcqBluetoothPort, QStringLiteral("/dev/rfcomm0"));
    GlobalConfig::setValue(Key::ErgometerWorkloadUnits, QStringLiteral("watts"));
    GlobalConfig::setValue(Key::ErgometerEquipment, QStringLiteral("olmo"));
    GlobalConfig::setValue(Key::ErgometerPort, QStringLiteral("/dev/ttyUSB1"));
    GlobalConfig::setValue(Key::TreadmillEquipment, QStringLiteral("kipmachines"));
    GlobalConfig::setValue(Key::TreadmillPort, QStringLiteral("/dev/ttyUSB2"));
    GlobalConfig::setValue(Key::AutoExportReports, true);
    GlobalConfig::setValue(Key::ExportEcgReportFolder, QStringLiteral("/srv/compartido/informes/ecg"));
    GlobalConfig::setValue(Key::ExportStressReportFolder, QStringLiteral("/srv/compartido/informes/ergometria"));
    GlobalConfig::setValue(Key::AutoExportStudies, false);
    GlobalConfig::setValue(Key::ExportStressStudyFolder, QStringLiteral("/srv/compartido/estudios/ergometria"));
    GlobalConfig::setValue(Key::ExportEcgStudyFolder, QStringLiteral("/srv/compartido/estudios/ecg"));
}

ConfigDialog::Services noMachine() {
    ConfigDialog::Services services;
    services.detectBluetoothDevices = [] { return QStringList(); };
    services.replaySearchFolders = [] { return QStringList(); };
    services.serialPorts = [] {
        return QStringList{QStringLiteral("/dev/ttyUSB1"), QStringLiteral("/dev/ttyUSB2"),
                           QStringLiteral("/dev/ttyS0")};
    };
    return services;
}

QImage configPage(int page) {
    ScratchSettings settings;
    practiceSettings(settings);
    ConfigDialog dialog(noMachine(), nullptr);
    dialog.findChild<QListWidget *>(QStringLiteral("listCategory"))->setCurrentRow(page);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(820, 440)));
    return dialog.grab().toImage();
}

void addStudy(StudyStore &store, const char *last, const char *first, const char *type, const char *when,
              const char *status) {
    StudyInfo info;
    info.studyType = type;
    info.studyDateTime = when;
    info.recordingDateTime = when;
    info.status = status;
    info.patientLastName = last;
    info.patientFirstName = first;
    info.samplingRate = 500;
    info.channelCount = 3;
    info.channelNames = "I,II,V5";
    info.resolution = 16;
    info.gainMax = 10.0;
    Study *study = store.createStudy(info);
    // One sample per channel: enough for a study the browser lists.
    const std::int16_t lead1[] = {1}, lead2[] = {-2}, lead3[] = {3};
    const std::int16_t *channels[] = {lead1, lead2, lead3};
    study->recording()->append(1, channels);
    study->beats()->append(QByteArray(BeatFile::recordLengthFor(3), '\0'));
    store.saveStudy(*study);
    store.closeStudy(study);
}

QImage studyBrowser() {
    ScratchSettings settings;
    QTemporaryDir folder;
    if (!folder.isValid()) throw std::runtime_error("Cannot create temporary folder");
    StudyStore store(folder.path());
    addStudy(store, "Pérez Gómez", "Ana María", "stress", "20261208093000", "report");
    addStudy(store, "Núñez", "Pedro", "stress", "20261207161500", "");
    addStudy(store, "Ibáñez", "Marta", "ECG", "20261207103000", "report");
    addStudy(store, "Ferrari", "Lucía", "stress", "20261203084500", "report");
    addStudy(store, "Ortega", "José Luis", "ECG", "20261130120000", "");
    QSettings().setValue(QStringLiteral("OpenStudyDialog/DefaultSharedFolder"),
                         QStringLiteral("/srv/compartido/estudios"));
    OpenStudyDialog dialog(store, OpenStudyDialog::Services());
    auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("treeStudies"));
    tree->setCurrentItem(tree->topLevelItem(0));
    dialog.resize(760, 420);
    return dialog.grab().toImage();
}

// The acquisition test over the demonstration replay, after a few seconds of
// the sweep (the replay plays in real time).
QImage acquisitionTest() {
    ScratchSettings settings;
    ConfigDialog::Services services = noMachine();
    services.replaySearchFolders = [] {
        return QStringList{QFileInfo(QStringLiteral(TARVELIN_DEMO_RECORDING)).absolutePath()};
    };
    ConfigDialog dialog(services, nullptr);
    dialog.findChild<QRadioButton *>(QStringLiteral("rbtAcqDemo"))->setChecked(true);
    AcquisitionTestWindow *window = dialog.startAcquisitionTest();
    if (!window) throw std::runtime_error("Cannot open file");
    window->resize(900, 720);
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 6000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QImage image = window->grab().toImage();
    window->close();
    return image;
}

}  // namespace

void addConfigScreenshots(ScreenshotList &list) {
    const char *const pages[] = {"report-header",  "report-signature", "acquisition", "stress-test",
                                 "export-reports", "export-studies",   "hardware"};
    for (int page = 0; page < 7; ++page)
        list.push_back(
            {QStringLiteral("config-dialog-%1").arg(QLatin1String(pages[page])), [page] { return configPage(page); }});
    list.push_back({QStringLiteral("acquisition-test"), acquisitionTest});
    list.push_back({QStringLiteral("study-browser"), studyBrowser});
}
