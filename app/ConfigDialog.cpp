#include "app/ConfigDialog.h"

#include "acquisition/AcqDevice.h"
#include "acquisition/PortDetection.h"
#include "acquisition/SerialPortCatalog.h"
#include "app/ConfiguredAcquisition.h"
#include "app/GlobalConfig.h"
#include "stress/EquipmentFactory.h"
#include "stress/MonitorSession.h"
#include "ui/AcquisitionTestWindow.h"
#include "ui_ConfigDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressDialog>
#include <QThread>
#include <exception>

using GlobalConfig::Key;

namespace {

// What the dialog shows for a key never written, where it differs from
// what a reader of the key gets.
constexpr double kProposedLowBatteryVolts = 2.6;
constexpr double kProposedSignalGainMv = 450.0;

const char *const kWatts = "watts";
const QSize kPreviewSize(200, 90);

void selectByValue(QComboBox *combo, const QString &value) {
    const int index = combo->findData(value);
    combo->setCurrentIndex(index >= 0 ? index : 0);
}

void setPortText(QComboBox *combo, const QString &port) { combo->setCurrentText(port); }

}  // namespace

ConfigDialog::Services ConfigDialog::systemServices() {
    Services services;
    services.detectBluetoothDevices = [] { return PortDetection::detectBluetoothDevices(SerialPortCatalog::system()); };
    services.replaySearchFolders = [] { return ConfiguredAcquisition::replaySearchFolders(); };
    services.serialPorts = [] {
        QStringList names;
        for (const SerialPortEntry &entry : SerialPortCatalog::system().ports()) names << entry.portName;
        return names;
    };
    return services;
}

ConfigDialog::ConfigDialog(QWidget *parent) : ConfigDialog(systemServices(), parent) {}

ConfigDialog::ConfigDialog(Services services, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ConfigDialog>()), services_(std::move(services)) {
    ui_->setupUi(this);
    fillChoices();
    loadSettings();
    ui_->listCategory->setCurrentRow(0);
}

ConfigDialog::~ConfigDialog() = default;

void ConfigDialog::fillChoices() {
    ui_->cboErgometerEquipment->addItem(tr("<Manual>"), QString());
    ui_->cboErgometerEquipment->addItem(tr("OLMO bicycle"), QString::fromLatin1(EquipmentFactory::kOlmo));
    ui_->cboErgometerEquipment->addItem(tr("Kip Machines"), QString::fromLatin1(EquipmentFactory::kKipMachines));
    // A treadmill is driven only through Kip Machines' interface.
    ui_->cboTreadmillEquipment->addItem(tr("<Manual>"), QString());
    ui_->cboTreadmillEquipment->addItem(tr("Kip Machines"), QString::fromLatin1(EquipmentFactory::kKipMachines));
    const QStringList ports = services_.serialPorts ? services_.serialPorts() : QStringList();
    ui_->cboErgometerPort->addItems(ports);
    ui_->cboTreadmillPort->addItems(ports);
}

void ConfigDialog::loadSettings() {
    ui_->txtHeaderTitle->setText(GlobalConfig::text(Key::ReportHeaderTitle));
    ui_->txtHeaderInfo->setPlainText(GlobalConfig::text(Key::ReportHeaderInfo));
    logoFile_ = GlobalConfig::text(Key::ReportHeaderLogoFilename);
    showImage(ui_->lblLogo, logoFile_);
    ui_->txtSignatureName->setText(GlobalConfig::text(Key::ReportSignatureName));
    ui_->txtSignatureLicense->setText(GlobalConfig::text(Key::ReportSignatureLicense));
    signatureFile_ = GlobalConfig::text(Key::ReportSignatureFilename);
    showImage(ui_->lblSignature, signatureFile_);

    const QString mode = GlobalConfig::text(Key::AcqMode);
    if (mode == QLatin1String(AcqDeviceFactory::kDemoMode))
        ui_->rbtAcqDemo->setChecked(true);
    else if (mode == QLatin1String(AcqDeviceFactory::kBluetoothMode))
        ui_->rbtAcqDeviceBT->setChecked(true);
    else
        ui_->rbtAcqDeviceUSB->setChecked(true);
    ui_->txtBluetoothPort->setText(GlobalConfig::text(Key::AcqBluetoothPort));
    on_rbtAcqDeviceBT_toggled(ui_->rbtAcqDeviceBT->isChecked());

    const bool watts = GlobalConfig::text(Key::ErgometerWorkloadUnits) == QLatin1String(kWatts);
    (watts ? ui_->rbtWorkloadWatts : ui_->rbtWorkloadKgm)->setChecked(true);
    selectByValue(ui_->cboErgometerEquipment, GlobalConfig::text(Key::ErgometerEquipment));
    selectByValue(ui_->cboTreadmillEquipment, GlobalConfig::text(Key::TreadmillEquipment));
    setPortText(ui_->cboErgometerPort, GlobalConfig::text(Key::ErgometerPort));
    setPortText(ui_->cboTreadmillPort, GlobalConfig::text(Key::TreadmillPort));
    on_cboErgometerEquipment_currentIndexChanged(ui_->cboErgometerEquipment->currentIndex());
    on_cboTreadmillEquipment_currentIndexChanged(ui_->cboTreadmillEquipment->currentIndex());

    ui_->chkAutoExportReports->setChecked(GlobalConfig::flag(Key::AutoExportReports));
    ui_->txtExportEcgReportFolder->setText(GlobalConfig::text(Key::ExportEcgReportFolder));
    ui_->txtExportStressReportFolder->setText(GlobalConfig::text(Key::ExportStressReportFolder));
    ui_->chkAutoExportStudies->setChecked(GlobalConfig::flag(Key::AutoExportStudies));
    ui_->txtExportStressStudyFolder->setText(GlobalConfig::text(Key::ExportStressStudyFolder));
    ui_->txtExportEcgStudyFolder->setText(GlobalConfig::text(Key::ExportEcgStudyFolder));
    applyExportRules();

    ui_->spnLowBatteryLevel->setValue(GlobalConfig::isStored(Key::LowBatteryLevel)
                                          ? GlobalConfig::number(Key::LowBatteryLevel)
                                          : kProposedLowBatteryVolts);
    ui_->spnSignalGain->setValue(GlobalConfig::isStored(Key::SignalGain) ? GlobalConfig::number(Key::SignalGain)
                                                                         : kProposedSignalGainMv);
    ui_->chkHRProtocol->setChecked(GlobalConfig::flag(Key::HRProtocol));
}

AcqSettings ConfigDialog::acquisitionChoices() const {
    AcqSettings settings;
    if (ui_->rbtAcqDemo->isChecked())
        settings.mode = QString::fromLatin1(AcqDeviceFactory::kDemoMode);
    else if (ui_->rbtAcqDeviceBT->isChecked())
        settings.mode = QString::fromLatin1(AcqDeviceFactory::kBluetoothMode);
    settings.bluetoothPort = ui_->txtBluetoothPort->text().trimmed();
    settings.signalGain = ui_->spnSignalGain->value();
    settings.hrProtocol = ui_->chkHRProtocol->isChecked();
    return settings;
}

void ConfigDialog::on_ConfigDialog_accepted() {
    GlobalConfig::setValue(Key::ReportHeaderTitle, ui_->txtHeaderTitle->text());
    GlobalConfig::setValue(Key::ReportHeaderInfo, ui_->txtHeaderInfo->toPlainText());
    GlobalConfig::setValue(Key::ReportHeaderLogoFilename, logoFile_);
    GlobalConfig::setValue(Key::ReportSignatureName, ui_->txtSignatureName->text());
    GlobalConfig::setValue(Key::ReportSignatureLicense, ui_->txtSignatureLicense->text());
    GlobalConfig::setValue(Key::ReportSignatureFilename, signatureFile_);

    const AcqSettings acquisition = acquisitionChoices();
    GlobalConfig::setValue(Key::AcqMode, acquisition.mode);
    GlobalConfig::setValue(Key::AcqBluetoothPort, acquisition.bluetoothPort);

    GlobalConfig::setValue(Key::ErgometerWorkloadUnits,
                           ui_->rbtWorkloadWatts->isChecked() ? QString::fromLatin1(kWatts) : QString());
    GlobalConfig::setValue(Key::ErgometerEquipment, ui_->cboErgometerEquipment->currentData().toString());
    GlobalConfig::setValue(Key::ErgometerPort, ui_->cboErgometerPort->currentText().trimmed());
    GlobalConfig::setValue(Key::TreadmillEquipment, ui_->cboTreadmillEquipment->currentData().toString());
    GlobalConfig::setValue(Key::TreadmillPort, ui_->cboTreadmillPort->currentText().trimmed());

    GlobalConfig::setValue(Key::AutoExportReports, ui_->chkAutoExportReports->isChecked());
    GlobalConfig::setValue(Key::ExportEcgReportFolder, ui_->txtExportEcgReportFolder->text());
    GlobalConfig::setValue(Key::ExportStressReportFolder, ui_->txtExportStressReportFolder->text());
    GlobalConfig::setValue(Key::AutoExportStudies, ui_->chkAutoExportStudies->isChecked());
    GlobalConfig::setValue(Key::ExportStressStudyFolder, ui_->txtExportStressStudyFolder->text());
    GlobalConfig::setValue(Key::ExportEcgStudyFolder, ui_->txtExportEcgStudyFolder->text());

    GlobalConfig::setValue(Key::LowBatteryLevel, ui_->spnLowBatteryLevel->value());
    GlobalConfig::setValue(Key::SignalGain, acquisition.signalGain);
    GlobalConfig::setValue(Key::HRProtocol, acquisition.hrProtocol);
}

void ConfigDialog::on_listCategory_currentRowChanged(int row) {
    if (row >= 0 && row < ui_->stackedPages->count()) ui_->stackedPages->setCurrentIndex(row);
}

bool ConfigDialog::showImage(QLabel *preview, const QString &file) {
    QPixmap image;
    if (!file.isEmpty()) image.load(file);
    if (image.isNull()) {
        preview->setPixmap(QPixmap());
        preview->setText(tr("[none]"));
        return false;
    }
    preview->setPixmap(image.scaled(kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}

QString ConfigDialog::askForImage(const QString &current) {
    return QFileDialog::getOpenFileName(this, tr("Open Image"), current, tr("Image Files (*.png *.jpg *.bmp)"));
}

bool ConfigDialog::useImage(QLabel *preview, QString &file, const QString &chosen, const QString &failure) {
    if (!showImage(preview, chosen)) {
        // The report keeps the image it had rather than a file it cannot print.
        showImage(preview, file);
        QMessageBox::warning(this, tr("Warning"), failure.arg(chosen));
        return false;
    }
    file = chosen;
    return true;
}

bool ConfigDialog::useLogo(const QString &file) {
    return useImage(ui_->lblLogo, logoFile_, file, tr("Logo image could not be loaded from file: %1"));
}

bool ConfigDialog::useSignature(const QString &file) {
    return useImage(ui_->lblSignature, signatureFile_, file, tr("Signature image could not be loaded from file: %1"));
}

void ConfigDialog::on_btnSelectLogo_clicked() {
    const QString chosen = askForImage(logoFile_);
    if (!chosen.isEmpty()) useLogo(chosen);
}

void ConfigDialog::on_btnRemoveLogo_clicked() {
    logoFile_.clear();
    showImage(ui_->lblLogo, logoFile_);
}

void ConfigDialog::on_btnSelectSignature_clicked() {
    const QString chosen = askForImage(signatureFile_);
    if (!chosen.isEmpty()) useSignature(chosen);
}

void ConfigDialog::on_btnRemoveSignature_clicked() {
    signatureFile_.clear();
    showImage(ui_->lblSignature, signatureFile_);
}

void ConfigDialog::on_rbtAcqDeviceBT_toggled(bool checked) {
    ui_->txtBluetoothPort->setEnabled(checked);
    ui_->btnBluetoothDetect->setEnabled(checked);
}

QStringList ConfigDialog::runDetection() {
    if (!services_.detectBluetoothDevices) return {};
    QProgressDialog progress(tr("Please wait..."), QString(), 0, 0, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Each candidate port may take seconds to answer; the window keeps
    // painting while a thread of its own asks them.
    QStringList found;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] { found = services_.detectBluetoothDevices(); }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    QApplication::restoreOverrideCursor();
    return found;
}

void ConfigDialog::on_btnBluetoothDetect_clicked() {
    const auto answer = QMessageBox::information(
        this, tr("Information"),
        tr("Make sure that the device has been paired and is turned on.\nPress <OK> to continue."),
        QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return;
    applyDetectedDevices(runDetection());
}

void ConfigDialog::applyDetectedDevices(const QStringList &ports) {
    if (ports.size() == 1) {
        ui_->txtBluetoothPort->setText(ports.first());
    } else if (ports.isEmpty()) {
        QMessageBox::information(this, tr("Information"),
                                 tr("No device found.\nPlease make sure that the device is paired and turned on."));
    } else {
        QMessageBox::information(this, tr("Information"),
                                 tr("There is more than one device in range.\nPlease make sure that only one "
                                    "device is turned on and try again."));
    }
}

void ConfigDialog::on_btnHardwareDefaults_clicked() {
    ui_->spnLowBatteryLevel->setValue(kProposedLowBatteryVolts);
    ui_->spnSignalGain->setValue(kProposedSignalGainMv);
    ui_->chkHRProtocol->setChecked(false);
}

// A manual load needs no port; the text stays and is still saved, so
// switching back to the equipment finds it again.
void ConfigDialog::on_cboErgometerEquipment_currentIndexChanged(int) {
    ui_->cboErgometerPort->setEnabled(!ui_->cboErgometerEquipment->currentData().toString().isEmpty());
}

void ConfigDialog::on_cboTreadmillEquipment_currentIndexChanged(int) {
    ui_->cboTreadmillPort->setEnabled(!ui_->cboTreadmillEquipment->currentData().toString().isEmpty());
}

void ConfigDialog::applyExportRules() {
    const bool reports = ui_->chkAutoExportReports->isChecked();
    for (QWidget *w :
         {static_cast<QWidget *>(ui_->txtExportEcgReportFolder), static_cast<QWidget *>(ui_->btnExportEcgReportFolder),
          static_cast<QWidget *>(ui_->txtExportStressReportFolder),
          static_cast<QWidget *>(ui_->btnExportStressReportFolder)})
        w->setEnabled(reports);
    const bool studies = ui_->chkAutoExportStudies->isChecked();
    for (QWidget *w :
         {static_cast<QWidget *>(ui_->txtExportStressStudyFolder),
          static_cast<QWidget *>(ui_->btnExportStressStudyFolder), static_cast<QWidget *>(ui_->txtExportEcgStudyFolder),
          static_cast<QWidget *>(ui_->btnExportEcgStudyFolder)})
        w->setEnabled(studies);
}

void ConfigDialog::on_chkAutoExportReports_clicked() { applyExportRules(); }
void ConfigDialog::on_chkAutoExportStudies_clicked() { applyExportRules(); }

void ConfigDialog::chooseFolder(QLineEdit *field) {
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Select shared folder"), field->text());
    if (!folder.isEmpty()) field->setText(folder);
}

void ConfigDialog::on_btnExportEcgReportFolder_clicked() { chooseFolder(ui_->txtExportEcgReportFolder); }
void ConfigDialog::on_btnExportStressReportFolder_clicked() { chooseFolder(ui_->txtExportStressReportFolder); }
void ConfigDialog::on_btnExportEcgStudyFolder_clicked() { chooseFolder(ui_->txtExportEcgStudyFolder); }
void ConfigDialog::on_btnExportStressStudyFolder_clicked() { chooseFolder(ui_->txtExportStressStudyFolder); }

void ConfigDialog::on_btnAcqTest_clicked() { startAcquisitionTest(); }

AcquisitionTestWindow *ConfigDialog::startAcquisitionTest() {
    if (testWindow_) testWindow_->close();
    try {
        const QStringList folders = services_.replaySearchFolders ? services_.replaySearchFolders() : QStringList();
        auto session =
            std::make_unique<MonitorSession>(AcqDeviceFactory::createDevice(acquisitionChoices(), false, folders));
        testWindow_ = new AcquisitionTestWindow(std::move(session), this);
        testWindow_->show();
        return testWindow_;
    } catch (const std::exception &e) {
        QMessageBox::critical(this, tr("Error"), QString::fromUtf8(e.what()));
        return nullptr;
    }
}

AcquisitionTestWindow *ConfigDialog::acquisitionTestWindow() const { return testWindow_.data(); }
